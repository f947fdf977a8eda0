#include "platform/file_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/process.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using testsupport::TempDir;

// Waits up to ten seconds for `condition`; the tests never rely on a guessed delay.
template <class F>
bool eventually(F condition) {
    for (int i = 0; i < 1000; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

TEST(FileLock, AFreeLockIsTakenWithoutWaiting) {
    TempDir dir;
    int waits = 0;
    auto lock = platform::FileLock::acquire(dir / "x.lock", [&] { ++waits; });
    ASSERT_TRUE(lock) << lock.message();
    EXPECT_EQ(waits, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "x.lock"));
}

TEST(FileLock, ASecondHolderInTheSameProcessWaitsUntilTheFirstLetsGo) {
    TempDir dir;
    std::optional<platform::FileLock> first;
    {
        auto taken = platform::FileLock::acquire(dir / "x.lock");
        ASSERT_TRUE(taken) << taken.message();
        first.emplace(std::move(*taken));
    }
    std::atomic<int> waits{0};
    std::atomic<bool> acquired{false};
    std::thread second([&] {
        auto lock = platform::FileLock::acquire(dir / "x.lock", [&] { ++waits; });
        acquired = lock.ok();
    });
    ASSERT_TRUE(eventually([&] { return waits.load() == 1; }));
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(acquired.load());
    first.reset();
    second.join();
    EXPECT_TRUE(acquired.load());
    EXPECT_EQ(waits.load(), 1);
}

TEST(FileLock, AnotherProcessWaitsUntilTheLockIsReleased) {
    TempDir dir;
    dir.write("fake-archiver.script", "lock shared.lock\n");
    std::optional<platform::FileLock> held;
    {
        auto taken = platform::FileLock::acquire(dir / "shared.lock");
        ASSERT_TRUE(taken) << taken.message();
        held.emplace(std::move(*taken));
    }
    std::string childOutput;
    std::atomic<bool> childDone{false};
    std::thread child([&] {
        platform::ProcessRequest request;
        request.program = drivertest::fakeArchiverPath();
        request.workingDirectory = dir.path();
        auto outcome = platform::runProcess(request);
        if (outcome) childOutput = outcome->output;
        childDone = true;
    });
    ASSERT_TRUE(eventually([&] { return std::filesystem::exists(dir / "shared.lock.waiting"); }));
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(childDone.load());
    held.reset();
    child.join();
    EXPECT_EQ(childOutput, "acquired\r\n");
}

TEST(FileLock, IsFreeAgainOnceMovedFromAndDestroyed) {
    TempDir dir;
    {
        auto lock = platform::FileLock::acquire(dir / "x.lock");
        ASSERT_TRUE(lock);
        platform::FileLock moved = std::move(*lock);
    }
    int waits = 0;
    EXPECT_TRUE(platform::FileLock::acquire(dir / "x.lock", [&] { ++waits; }));
    EXPECT_EQ(waits, 0);
}

TEST(FileLock, NamesTheFileWhenItCannotBeCreated) {
    TempDir dir;
    auto lock = platform::FileLock::acquire(dir / "no such folder" / "x.lock");
    ASSERT_FALSE(lock);
    EXPECT_NE(lock.message().find("x.lock"), std::string::npos) << lock.message();
}

}  // namespace
