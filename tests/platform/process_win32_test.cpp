// What only the Windows process runner has to take care of: which handles a child gets.
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
