// The process runner with a small child program, above all that each argument arrives
// exactly as given, whatever quotes, backslashes or characters of a shell it holds.
#include "platform/process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/file.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"

namespace {

using testsupport::TempDir;

platform::ProcessRequest child(const TempDir& dir, std::vector<std::string> arguments) {
    platform::ProcessRequest request;
    request.program = std::filesystem::absolute(PROCESS_CHILD_PATH);
    request.arguments = std::move(arguments);
    request.workingDirectory = dir.path();
    return request;
}

TEST(ProcessRunner, HandsEachArgumentOverExactly) {
    const std::vector<std::string> arguments = {
        "plain",
        "",
        "two words",
        "tab\there",
        "\"quoted\"",
        "in\"side",
        "trailing\\",
        "trailing space\\",
        "back\\\\slashes\\\"quote",
        "C:\\资料\\a b.rar",
        "\\\\server\\share\\",
        "%PATH%",
        "^& | < > ( )",
        "*.rar",
        "?",
        "文件 😀",
        "'single'",
    };
    TempDir dir;
    std::vector<std::string> all = {"args"};
    all.insert(all.end(), arguments.begin(), arguments.end());
    auto outcome = platform::runProcess(child(dir, all));
    ASSERT_TRUE(outcome) << outcome.message();
    std::string expected;
    for (const auto& a : arguments) expected += a + "\n";
    EXPECT_EQ(outcome->output, expected);
    EXPECT_EQ(outcome->exitCode, 0);
}

TEST(ProcessRunner, ReportsTheExitCodeAndGivesNoInput) {
    TempDir dir;
    auto exited = platform::runProcess(child(dir, {"exit", "7"}));
    ASSERT_TRUE(exited) << exited.message();
    EXPECT_EQ(exited->exitCode, 7);
    auto input = platform::runProcess(child(dir, {"stdin"}));
    ASSERT_TRUE(input) << input.message();
    EXPECT_EQ(input->output, "0\n");
}

TEST(ProcessRunner, ReturnsLargeOutputWholeAndInOrder) {
    TempDir dir;
    auto outcome = platform::runProcess(child(dir, {"flood", "300007"}));
    ASSERT_TRUE(outcome) << outcome.message();
    ASSERT_EQ(outcome->output.size(), 300007u);
    std::string expected(300007, '\0');
    for (std::size_t i = 0; i < expected.size(); ++i) expected[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    EXPECT_TRUE(outcome->output == expected);
}

TEST(ProcessRunner, StartsInAWorkingDirectoryWithAChineseName) {
    TempDir dir;
    const auto folder = dir / "工作 目录";
    std::filesystem::create_directory(folder);
    auto request = child(dir, {"touch", "here"});
    request.workingDirectory = folder;
    auto outcome = platform::runProcess(request);
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(folder / "here"));
}

TEST(ProcessRunner, SendsStandardOutputToAFileAndErrorsToThePipe) {
    TempDir dir;
    dir.write("out.txt", "old text that must go\n");
    auto request = child(dir, {"args", "一", "two"});
    request.outputFile = "out.txt";
    auto outcome = platform::runProcess(request);
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->output, "");
    EXPECT_EQ(*platform::readWholeFile(dir / "out.txt"), "一\ntwo\n");

    request.arguments = {"args", "three"};
    request.appendToOutputFile = true;
    ASSERT_TRUE(platform::runProcess(request));
    EXPECT_EQ(*platform::readWholeFile(dir / "out.txt"), "一\ntwo\nthree\n");

    request.arguments = {"stderr", "出错"};
    auto errors = platform::runProcess(request);
    ASSERT_TRUE(errors) << errors.message();
    EXPECT_EQ(errors->output, "出错\n");
}

// Each child must hold its own pipe only: one that also held another's would keep that
// one's caller reading until it ends itself.
TEST(ProcessRunner, ChildrenStartedSideBySideKeepTheirOwnOutput) {
    TempDir dir;
    const auto release = dir / "release";
    std::string slowOutput;
    std::thread slow([&] {
        auto outcome = platform::runProcess(child(dir, {"wait-for", platform::utf8FromPath(release)}));
        if (outcome) slowOutput = outcome->output;
    });

    const auto started = std::chrono::steady_clock::now();
    constexpr int kThreads = 3;
    constexpr int kRunsEach = 4;
    std::vector<std::vector<std::string>> outputs(kThreads);
    std::vector<std::thread> quick;
    for (int t = 0; t < kThreads; ++t) {
        quick.emplace_back([&, t] {
            for (int r = 0; r < kRunsEach; ++r) {
                auto outcome = platform::runProcess(child(dir, {"args", "线程" + std::to_string(t) + "-" + std::to_string(r)}));
                outputs[t].push_back(outcome ? outcome->output : outcome.message());
            }
        });
    }
    for (auto& q : quick) q.join();
    const auto quickTook = std::chrono::steady_clock::now() - started;
    dir.write("release", "");
    slow.join();

    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(outputs[t].size(), static_cast<std::size_t>(kRunsEach));
        for (int r = 0; r < kRunsEach; ++r) {
            EXPECT_EQ(outputs[t][r], "线程" + std::to_string(t) + "-" + std::to_string(r) + "\n");
        }
    }
    EXPECT_EQ(slowOutput, "released\n");
    // The slow child waits a minute at most; the quick ones must not have waited for it.
    EXPECT_LT(quickTook, std::chrono::seconds(30));
}

// A program may leave a helper of its own running with its output; under Wine the desktop
// process is one (the first program that asks for a window starts it, and it lives on).
TEST(ProcessRunner, ReturnsWhenTheChildEndsThoughAHelperKeepsItsOutputOpen) {
    TempDir dir;
    const auto release = dir / "release";
    const auto started = std::chrono::steady_clock::now();
    auto outcome = platform::runProcess(child(dir, {"leave-behind", platform::utf8FromPath(release)}));
    const auto took = std::chrono::steady_clock::now() - started;
    // The helper takes the release away as it goes; the folder must outlive its wait.
    dir.write("release", "");
    for (int i = 0; i < 500 && std::filesystem::exists(release); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->exitCode, 0);
    EXPECT_EQ(outcome->output, "left\n");
    // The helper waits a minute at most for the release.
    EXPECT_LT(took, std::chrono::seconds(30));
}

TEST(ProcessRunner, NamesTheProgramWhenItCannotStart) {
    TempDir dir;
    auto notAProgram = dir.write("plain.txt", "not a program");
    struct Case {
        std::filesystem::path program;
        std::filesystem::path workingDirectory;
        const char* reason;  // in Chinese, where every system gives the same one
    } cases[] = {
        {dir / "missing.exe", dir.path(), "：找不到文件或文件夹"},
        {notAProgram, dir.path(), ""},
        {std::filesystem::absolute(PROCESS_CHILD_PATH), dir / "no such folder", ""},
    };
    for (const auto& c : cases) {
        platform::ProcessRequest request;
        request.program = c.program;
        request.arguments = {"exit", "0"};
        request.workingDirectory = c.workingDirectory;
        auto outcome = platform::runProcess(request);
        ASSERT_FALSE(outcome) << platform::utf8FromPath(c.program);
        EXPECT_NE(outcome.message().find(platform::utf8FromPath(c.program.filename())), std::string::npos) << outcome.message();
        EXPECT_EQ(outcome.message().rfind("无法启动 ", 0), 0u) << outcome.message();
        EXPECT_NE(outcome.message().find(c.reason), std::string::npos) << outcome.message();
    }
    EXPECT_FALSE(platform::runProcess(platform::ProcessRequest{}));
}

}  // namespace
