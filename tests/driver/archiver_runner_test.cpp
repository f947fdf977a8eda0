#include "archiver/driver/archiver_runner.h"

#include <gtest/gtest.h>

#include "archiver/driver/command_lines.h"
#include "platform/file.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/temp_dir.h"

namespace {

using drivertest::FakeWorkspace;
using testsupport::TempDir;

std::span<const unsigned char> bytesOf(std::string_view s) {
    return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
        auto end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// ---- writePayload

TEST(WritePayload, WritesEveryByteOfThePayloadAsMyrarExe) {
    TempDir dir;
    const std::string payload = std::string("MZ fake payload\0with a zero\r\n", 30);
    ArchiverRunner runner(dir.path(), bytesOf(payload));
    ASSERT_TRUE(runner.writePayload());
    EXPECT_EQ(*platform::readWholeFile(dir / "myrar.exe"), payload);
    dir.write("myrar.exe", "planted");
    ASSERT_TRUE(runner.writePayload());
    EXPECT_EQ(*platform::readWholeFile(dir / "myrar.exe"), payload);
}

TEST(WritePayload, FailsWhenTheBuildCarriesNoArchiver) {
    TempDir dir;
    ArchiverRunner runner(dir.path(), {});
    auto written = runner.writePayload();
    EXPECT_FALSE(written);
    EXPECT_NE(written.message().find("myrar.exe"), std::string::npos) << written.message();
    EXPECT_FALSE(std::filesystem::exists(dir / "myrar.exe"));
}

TEST(WritePayload, FailsWhenAFolderTakesTheArchiversName) {
    TempDir dir;
    std::filesystem::create_directory(dir / "myrar.exe");
    ArchiverRunner runner(dir.path(), bytesOf("x"));
    EXPECT_FALSE(runner.writePayload());
}

TEST(WritePayload, ARunnerWithoutAFolderFollowsTheProcesssWorkingDirectory) {
    const auto before = std::filesystem::current_path();
    ArchiverRunner runner({}, bytesOf("x"));
    TempDir dir;
    std::filesystem::current_path(dir.path());
    EXPECT_TRUE(runner.writePayload());
    EXPECT_EQ(runner.fileInWorkingDirectory("myrar.exe"), dir / "myrar.exe");
    std::filesystem::current_path(before);
    EXPECT_TRUE(std::filesystem::exists(dir / "myrar.exe"));
}

// ---- run

TEST(ArchiverRunnerRun, RunsMyrarInTheWorkingDirectoryAndReturnsItsOutputRaw) {
    FakeWorkspace ws;
    ws.script("split-character\nflood 10000\nexit 3\n");
    ArchiverRun run = ws.runner().run(drivertest::commandOf({"v"}));
    ASSERT_TRUE(run.started) << run.problem;
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_FALSE(run.exitedCleanly());
    ASSERT_EQ(run.output.size(), 4u + 10000u);
    EXPECT_EQ(run.output.substr(0, 4), "\xCD\xEA\r\n");
}

TEST(ArchiverRunnerRun, WritesTheStandardOutputIntoTheNamedExchangeFile) {
    FakeWorkspace ws;
    ws.write("filelist.txt", "the listing of another archive, longer than the new one\r\n");
    ArchiverRun run = ws.runner().run({{"v", "-ptz5083", "a b.rar"}, "filelist.txt", false});
    ASSERT_TRUE(run.started) << run.problem;
    EXPECT_EQ(run.output, "");
    EXPECT_EQ(ws.read("filelist.txt"), "v\r\n-ptz5083\r\na b.rar\r\n");
    run = ws.runner().run({{"more"}, "filelist.txt", true});
    EXPECT_EQ(ws.read("filelist.txt"), "v\r\n-ptz5083\r\na b.rar\r\nmore\r\n");
    EXPECT_EQ(ws.calls().size(), 2u);
}

// What once was a command line for an interpreter, a second program or a redirection is
// now only ever text in myrar's arguments.
TEST(ArchiverRunnerRun, StartsNothingButTheWorkingDirectorysMyrar) {
    FakeWorkspace ws;
    const std::string marker = ws.at("pwned");
    const std::vector<std::vector<std::string>> commands = {
        {"cmd", "/c", "touch", marker},
        {"/usr/bin/touch", marker},
        {"sh", "-c", "touch " + marker},
        {"./myrar.exe", "v"},
        {drivertest::utf8(ws.runner().fileInWorkingDirectory("myrar.exe")), "v"},
        {"v & touch " + marker},
        {"v && touch " + marker},
        {"v | touch " + marker},
        {"v", "<", "input"},
        {"v", ">" + marker},
        {"v >a >b"},
        {"v\ntouch " + marker},
        {"v\rtouch " + marker},
    };
    for (const auto& arguments : commands) {
        SCOPED_TRACE(testing::PrintToString(arguments));
        ArchiverRun run = ws.runner().run(drivertest::commandOf(arguments));
        ASSERT_TRUE(run.started) << run.problem;
        EXPECT_EQ(linesOf(run.output), arguments);
        EXPECT_EQ(ws.calls().back(), arguments);
    }
    EXPECT_EQ(ws.calls().size(), commands.size());
    EXPECT_FALSE(std::filesystem::exists(marker));
}

TEST(ArchiverRunnerRun, DoesNotRunWithoutTheArchiverInTheWorkingDirectory) {
    FakeWorkspace ws;
    std::filesystem::remove(ws / "myrar.exe");
    ArchiverRun run = ws.runner().run({{"v"}, "filelist.txt", false});
    EXPECT_FALSE(run.started);
    EXPECT_NE(run.problem.find("myrar.exe"), std::string::npos) << run.problem;
    EXPECT_EQ(run.output, "");
    EXPECT_FALSE(ws.has("filelist.txt"));
}

// Archive paths and entry names full of shell syntax, quotes and line ends reach myrar
// whole, as data, and nothing else runs.
TEST(ArchiverRunnerRun, ShellTextInPathsAndNamesIsOnlyEverData) {
    FakeWorkspace ws;
    const std::string m = ws.at("pwned");
    const std::vector<std::string> texts = {
        "/tmp/$(touch " + m + ").rar",
        "/tmp/`touch " + m + "`.rar",
        "/tmp/a; touch " + m + ";.rar",
        "/tmp/a & touch " + m + " &.rar",
        "/tmp/a | touch " + m + " |.rar",
        "/tmp/it's ' ; touch " + m + " ; '.rar",
        "/tmp/it's \"q\".rar",
        "/tmp/\" & touch " + m + " & \".rar",
        "/tmp/%PATH%/!PATH!/a.rar",
        "/tmp/  many   blanks  .rar",
        "/tmp/> " + m,
        "/tmp/< input.rar",
        "/tmp/^& touch " + m + ".rar",
        "/tmp/line\nend.rar",
        "/tmp/tab\there.rar",
        "D:\\资料\\a\\b.rar",
        "/tmp/ends with a backslash\\",
        "/tmp/ends with a backslash and a quote\\\"",
        "-starts-with-a-dash.rar",
    };
    std::size_t expectedCalls = 0;
    for (const auto& text : texts) {
        SCOPED_TRACE(testing::PrintToString(text));
        auto listing = commandlines::listingCommand(text, "");
        ASSERT_TRUE(listing) << listing.message();
        ArchiverRun run = ws.runner().run(*listing);
        ASSERT_TRUE(run.started) << run.problem;
        EXPECT_EQ(ws.read("filelist.txt"), "v\r\n-ptz5083\r\n" + text + "\r\n");

        auto del = commandlines::deleteCommand(text, {text, "x.txt"});
        ASSERT_TRUE(del) << del.message();
        run = ws.runner().run(*del);
        ASSERT_TRUE(run.started) << run.problem;
        EXPECT_EQ(ws.calls().back(), (std::vector<std::string>{"d", "-y", text, "--", text, "x.txt"}));
        expectedCalls += 2;
    }
    EXPECT_EQ(ws.calls().size(), expectedCalls);
    EXPECT_FALSE(std::filesystem::exists(m));
}

}  // namespace
