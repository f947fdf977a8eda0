// What only the Windows process runner has to take care of: which handles a child gets,
// and helpers of the child that outlive it.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/process.h"
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

// Under Wine the desktop process is such a helper: the first program that asks for a
// window starts it, with that program's standard handles, and it lives on.
TEST(ProcessRunnerWindows, ReturnsWhenTheChildEndsThoughAHelperKeepsItsOutputOpen) {
    TempDir dir;
    const auto release = dir / "release";
    const auto started = std::chrono::steady_clock::now();
    auto outcome = platform::runProcess(child(dir, {"leave-behind", platform::utf8FromPath(release)}));
    const auto took = std::chrono::steady_clock::now() - started;
    // The helper takes the release away as it goes; the folder must outlive its wait.
    dir.write("release", "");
    for (int i = 0; i < 500 && std::filesystem::exists(release); ++i) ::Sleep(20);
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(outcome->exitCode, 0);
    EXPECT_EQ(outcome->output, "left\n");
    // The helper waits a minute at most for the release.
    EXPECT_LT(took, std::chrono::seconds(30));
}

// An inheritable handle of this process (another thread's pipe to its own child, say)
// must not reach the child.
TEST(ProcessRunnerWindows, GivesTheChildNoneOfTheOtherInheritableHandles) {
    TempDir dir;
    const auto file = dir / "leak.txt";
    SECURITY_ATTRIBUTES sa{};
    sa.nLength = sizeof sa;
    sa.bInheritHandle = TRUE;
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE);
    const auto number = std::to_string(reinterpret_cast<std::uintptr_t>(handle));
    auto outcome = platform::runProcess(child(dir, {"write-handle", number}));
    ::CloseHandle(handle);
    ASSERT_TRUE(outcome) << outcome.message();
    EXPECT_EQ(*platform::readWholeFile(file), "");
}

}  // namespace
