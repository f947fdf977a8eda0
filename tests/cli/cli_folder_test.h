#pragma once
// A folder of its own for one run of the built pimingbao-cli with the real myrar: the
// program is copied into bin/ there, so its working directory (myrar.exe, the exchange
// files, the journal) and its trash belong to the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/paths.h"
#include "tests/cli/cli_process.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace testsupport {

class CliFolderTest : public ::testing::Test {
protected:
    using Lines = std::vector<std::string>;

    TempDir dir;
    std::filesystem::path program = dir / "bin" / std::filesystem::path(PIMINGBAO_CLI_PROGRAM).filename();
    ProcessRun last;

    void SetUp() override {
        std::filesystem::create_directories(program.parent_path());
        std::filesystem::copy_file(PIMINGBAO_CLI_PROGRAM, program);
    }

    int run(const Lines& args) {
#ifdef _WIN32
        const std::map<std::string, std::string> environment;
#else
        const std::map<std::string, std::string> environment = {{"XDG_DATA_HOME", (dir / "data").string()},
                                                                {"XDG_STATE_HOME", (dir / "state").string()},
                                                                {"HOME", (dir / "home").string()}};
#endif
        last = runProcess(program, args, environment, dir.path());
        return last.exitCode;
    }

    Lines out() const {
        Lines lines;
        std::istringstream in(last.out);
        for (std::string l; std::getline(in, l);) {
            if (!l.empty() && l.back() == '\r') l.pop_back();
            lines.push_back(l);
        }
        return lines;
    }

    std::string copy(const std::string& fixtureName, const std::string& relative) {
        auto target = dir / relative;
        std::filesystem::create_directories(target.parent_path());
        std::filesystem::copy_file(fixture(fixtureName), target);
        std::filesystem::permissions(target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        return platform::utf8FromPath(target);
    }
    std::string at(const std::string& relative) const { return platform::utf8FromPath(dir / relative); }
    bool sameBytes(const std::string& relative, const std::string& fixtureName) const {
        return platform::readWholeFile(dir / relative).value() == platform::readWholeFile(fixture(fixtureName)).value();
    }
};

}  // namespace testsupport
