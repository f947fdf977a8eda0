// The tests' own way of starting a Windows program: it must not trip over the files an
// ended process of the same id left held.
#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "tests/support/windows_child.h"

namespace {

// Wine hands the id of an ended test process to a later one, and the console host of the
// earlier one's child may still hold that child's files: the names this process would
// take first are held here without sharing, as such a host would.
TEST(WindowsChild, PassesOverChildFilesThatAnotherProcessHolds) {
    std::error_code ec;
    const auto temp = std::filesystem::temp_directory_path(ec);
    ASSERT_FALSE(ec) << ec.message();
    std::vector<HANDLE> held;
    for (int run = 1; run <= 3; ++run) {
        for (const wchar_t* suffix : {L".in", L".out", L".err"}) {
            const auto name = temp / (L"pimingbao-child-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                      std::to_wstring(run) + suffix);
            const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
            ASSERT_NE(h, INVALID_HANDLE_VALUE) << "error " << ::GetLastError();
            held.push_back(h);
        }
    }

    const auto run = testsupport::runWindowsChild(
        {std::filesystem::absolute(PROCESS_CHILD_PATH), {"args", "spoken"}, {}, {}, std::nullopt});
    for (HANDLE h : held) ::CloseHandle(h);

    ASSERT_TRUE(run.started) << run.err;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("spoken"), std::string::npos) << run.out;
}

TEST(WindowsChild, SaysWhyAProgramDidNotStart) {
    const auto run =
        testsupport::runWindowsChild({std::filesystem::absolute("no-such-program.exe"), {}, {}, {}, std::nullopt});
    EXPECT_FALSE(run.started);
    EXPECT_EQ(run.exitCode, -1);
    EXPECT_NE(run.err.find("cannot start"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("no-such-program.exe"), std::string::npos) << run.err;
}

}  // namespace
