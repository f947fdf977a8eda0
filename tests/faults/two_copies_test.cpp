// Two copies of pimingbao-cli started at once from the same folder share the archiver's
// exchange files there: one must wait for the other, and both batches come out right.
#include <gtest/gtest.h>

#include "tests/faults/fault_workspace.h"
#include "tests/support/temp_dir.h"

namespace testfaults {
namespace {

namespace fs = std::filesystem;

constexpr int kArchives = 24;

// Each archive's entries carry its number, so an answer meant for another archive (a
// listing or a delete crossed between the two copies) shows in the result.
void makeArchives(const fs::path& folder) {
    for (int i = 1; i <= kArchives; ++i) {
        const std::string n = std::to_string(i);
        buildArchive(folder / ("archive-" + n + ".rar"),
                     {{"ad.txt", "advert\r\n"}, {"episode-" + n + ".exe", randomBytes(2048, i)}, {"note-" + n + ".txt", n}});
    }
}

TEST(TwoCopiesTest, BatchesInTheSameWorkingFolderDoNotCross) {
    testsupport::TempDir dir;
    const auto cli = installCli(dir / "bin");
    const auto one = dir / "one", other = dir / "other";
    makeArchives(one);
    makeArchives(other);
    const ChildOptions options = withEnvironment(cliEnvironment(dir / "home"));
    const auto rename = [&](const fs::path& f) { return std::vector<std::string>{cli.string(), "rename", "--ext", "exe", f.string()}; };
    const auto clean = [&](const fs::path& f) { return std::vector<std::string>{cli.string(), "clean", "--name", "ad.txt", f.string()}; };

    // Each folder is renamed by one copy while the other copy cleans the other folder.
    bool waited = false;
    const std::vector<std::string> rounds[][2] = {{rename(one), clean(other)}, {clean(one), rename(other)}};
    for (const auto& round : rounds) {
        Child first = Child::start(round[0], options);
        Child second = Child::start(round[1], options);
        const ChildExit a = first.wait();
        const ChildExit b = second.wait();
        EXPECT_EQ(a.exitCode, 0) << a.output;
        EXPECT_EQ(b.exitCode, 0) << b.output;
        for (const auto* e : {&a, &b}) waited |= cliText(e->output).find("正在等待另一个星禾批名宝") != std::string::npos;
    }
    EXPECT_TRUE(waited) << "neither copy waited for the other";

    for (const auto& folder : {one, other}) {
        SCOPED_TRACE(folder.filename().string());
        std::size_t files = 0;
        for (const auto& e : fs::directory_iterator(folder)) files += e.is_regular_file();
        EXPECT_EQ(files, static_cast<std::size_t>(kArchives));
        for (int i = 1; i <= kArchives; ++i) {
            const std::string n = std::to_string(i);
            const auto archive = folder / ("episode-" + n + ".rar");
            ASSERT_TRUE(fs::exists(archive)) << archive;
            EXPECT_EQ(entryPaths(archive), (std::vector<std::string>{"episode-" + n + ".exe", "note-" + n + ".txt"})) << archive;
        }
    }
    EXPECT_TRUE(temporaryFilesIn(dir / "bin").empty());
}

}  // namespace
}  // namespace testfaults
