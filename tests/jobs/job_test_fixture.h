#pragma once
// What the job tests share: a fresh folder, the fake command set, a trash inside the
// folder, and a status sink that records.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "jobs/real_job_file_system.h"
#include "jobs/vector_archive_rows.h"
#include "tests/jobs/fake_archive_commands.h"
#include "tests/jobs/recording_sink.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

class JobTest : public ::testing::Test {
protected:
    TempDir dir;
    FakeArchiveCommands commands{std::filesystem::path(PIMINGBAO_JOBS_TEST_DATA) / "fake_archives.txt"};
    std::filesystem::path trashDir = dir / "home-trash";
    jobs::RealJobFileSystem files{trashDir};
    RecordingSink status;

    JobTest() { commands.trash = trashDir; }

    // The path of a file under the folder, as UTF-8.
    std::string at(const std::string& relative) const { return (dir / relative).string(); }
    // Writes a fake archive and returns its path.
    std::string archive(const std::string& relative, const std::string& contents, const std::string& tag = {}) {
        commands.writeArchive(dir / relative, contents, tag.empty() ? relative : tag);
        return at(relative);
    }
    bool exists(const std::string& relative) const { return std::filesystem::exists(dir / relative); }
    std::string tag(const std::string& relative) const { return FakeArchiveCommands::tagOf(dir / relative); }
    // Names of the files in the trash.
    std::vector<std::string> trashed() const {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(trashDir / "files", ec)) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }
};

}  // namespace testsupport
