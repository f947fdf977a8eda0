// The process runner of the platform layer, driven with the fake archiver started directly.
#include "platform/process.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/text_codec.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/temp_dir.h"

namespace {

using testsupport::TempDir;

platform::ProcessRequest fakeIn(const TempDir& dir, std::vector<std::string> arguments = {}) {
    platform::ProcessRequest request;
    request.program = drivertest::fakeArchiverPath();
    request.arguments = std::move(arguments);
    request.workingDirectory = dir.path();
    return request;
}

std::string expectedFlood(std::size_t total) {
    std::string bytes(total, '\0');
    for (std::size_t i = 0; i < total; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

TEST(RunProcess, HandsEachArgumentOverUnchanged) {
    TempDir dir;
    const std::vector<std::string> arguments = {"a b", "", "$(touch pwned)", "`touch pwned`", "\"q\"", "; & | > <", "'", "%PATH%", "line\nend", "cr\rhere", "end\\"};
    auto outcome = platform::runProcess(fakeIn(dir, arguments));
    ASSERT_TRUE(outcome) << outcome.message();
    std::string expected;
    for (const auto& a : arguments) expected += a + "\r\n";
    EXPECT_EQ(outcome->output, expected);
    EXPECT_EQ(outcome->exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(dir / "pwned"));
}

TEST(RunProcess, ReturnsOutputLargerThanItsBufferWholeAndInOrder) {
    TempDir dir;
    dir.write("fake-archiver.script", "flood 1000003\n");
    auto outcome = platform::runProcess(fakeIn(dir));
    ASSERT_TRUE(outcome) << outcome.message();
    ASSERT_EQ(outcome->output.size(), 1000003u);
    EXPECT_TRUE(outcome->output == expectedFlood(1000003));
}

TEST(RunProcess, KeepsACharacterSplitAcrossTwoWritesAndTheCrLf) {
    TempDir dir;
    dir.write("fake-archiver.script", "split-character\n");
    auto outcome = platform::runProcess(fakeIn(dir));
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->output, "\xCD\xEA\r\n");
}

TEST(RunProcess, ASilentChildGivesEmptyOutputOnlyAfterItHasEnded) {
    TempDir dir;
    dir.write("fake-archiver.script", "sleep 300\ntouch ended\n");
    auto outcome = platform::runProcess(fakeIn(dir));
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->output, "");
    EXPECT_TRUE(std::filesystem::exists(dir / "ended"));
}

TEST(RunProcess, ReportsTheExitCode) {
    TempDir dir;
    dir.write("fake-archiver.script", "exit 7\n");
    auto outcome = platform::runProcess(fakeIn(dir));
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->exitCode, 7);
}

TEST(RunProcess, GivesTheChildNoInputToWaitFor) {
    TempDir dir;
    dir.write("fake-archiver.script", "read-stdin\n");
    auto outcome = platform::runProcess(fakeIn(dir));
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->output, "0\r\n");
}

TEST(RunProcess, StartsTheChildInTheWorkingDirectory) {
    TempDir dir;
    dir.write("fake-archiver.script", "touch here\n");
    ASSERT_TRUE(platform::runProcess(fakeIn(dir)));
    EXPECT_TRUE(std::filesystem::exists(dir / "here"));
}

TEST(RunProcess, RedirectsStandardOutputIntoAFileAndKeepsErrorsInThePipe) {
    TempDir dir;
    dir.write("fake-archiver.script", "echo-args\nsay-error 出错\n");
    dir.write("out.txt", "old listing that must go\r\n");
    auto request = fakeIn(dir, {"一", "two"});
    request.outputFile = "out.txt";
    auto outcome = platform::runProcess(request);
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(*platform::readWholeFile(dir / "out.txt"), "一\r\ntwo\r\n");
    EXPECT_EQ(outcome->output, *platform::utf8ToGb18030("出错\r\n"));

    request.appendToOutputFile = true;
    request.arguments = {"three"};
    ASSERT_TRUE(platform::runProcess(request));
    EXPECT_EQ(*platform::readWholeFile(dir / "out.txt"), "一\r\ntwo\r\nthree\r\n");
}

TEST(RunProcess, RefusesToWriteThroughALinkPlantedAsTheOutputFile) {
    TempDir dir;
    auto victim = dir.write("victim.txt", "keep me");
    std::filesystem::create_symlink(victim, dir / "out.txt");
    auto request = fakeIn(dir, {"x"});
    request.outputFile = "out.txt";
    auto outcome = platform::runProcess(request);
    EXPECT_FALSE(outcome);
    EXPECT_EQ(*platform::readWholeFile(victim), "keep me");
}

TEST(RunProcess, FailsWithThePathWhenTheProgramCannotBeStarted) {
    TempDir dir;
    struct Case {
        std::filesystem::path program;
        std::filesystem::path workingDirectory;
    };
    auto notRunnable = dir.write("plain.txt", "not a program");
    const std::vector<Case> cases = {
        {dir / "missing.exe", dir.path()},
        {notRunnable, dir.path()},
        {drivertest::fakeArchiverPath(), dir / "no such folder"},
        {{}, dir.path()},
    };
    for (const auto& c : cases) {
        platform::ProcessRequest request;
        request.program = c.program;
        request.workingDirectory = c.workingDirectory;
        auto outcome = platform::runProcess(request);
        EXPECT_FALSE(outcome) << c.program;
        if (!c.program.empty()) {
            EXPECT_NE(outcome.message().find(c.program.string()), std::string::npos) << outcome.message();
        }
    }
}

}  // namespace
