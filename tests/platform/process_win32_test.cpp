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

// How many handles this process holds. Where the system does not count them (Wine says 0),
// the number of a new handle stands in: Wine hands out the lowest free one, so a handle
// left behind moves it up.
std::uintptr_t handleMark() {
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0) return count;
    HANDLE probe = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ::CloseHandle(probe);
    return reinterpret_cast<std::uintptr_t>(probe);
}

// A batch runs the archiver hundreds of times from one process: no run may leave a handle
// behind, with its output in a pipe or in a file.
TEST(ProcessRunnerWindows, LeavesNoHandleBehind) {
    TempDir dir;
    auto runBoth = [&] {
        auto piped = platform::runProcess(child(dir, {"flood", "1000"}));
        ASSERT_TRUE(piped) << piped.message();
        auto request = child(dir, {"flood", "1000"});
        request.outputFile = dir / "out.txt";
        auto filed = platform::runProcess(request);
        ASSERT_TRUE(filed) << filed.message();
    };
    runBoth();  // whatever the first start sets up once
    const auto before = handleMark();
    for (int i = 0; i < 20; ++i) runBoth();
    EXPECT_EQ(handleMark(), before);
}

}  // namespace
