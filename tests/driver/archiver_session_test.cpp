#include "archiver/driver/archiver_session.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/file.h"
#include "tests/driver/fake_workspace.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using testsupport::TempDir;

std::span<const unsigned char> bytesOf(std::string_view s) {
    return {reinterpret_cast<const unsigned char*>(s.data()), s.size()};
}

TEST(ArchiverSession, WritesThePayloadOnceItHoldsTheArchiver) {
    TempDir dir;
    const std::string payload = "payload bytes";
    ArchiverRunner runner(dir.path(), bytesOf(payload));
    int waits = 0;
    auto session = ArchiverSession::begin(runner, [&] { ++waits; });
    ASSERT_TRUE(session) << session.message();
    EXPECT_EQ(waits, 0);
    EXPECT_EQ(*platform::readWholeFile(dir / "myrar.exe"), payload);
    EXPECT_TRUE(std::filesystem::exists(dir / "myrar.lock"));
}

TEST(ArchiverSession, ASecondJobWaitsForTheFirstAndIsToldSo) {
    TempDir dir;
    const std::string payload = "payload bytes";
    ArchiverRunner runner(dir.path(), bytesOf(payload));
    std::optional<ArchiverSession> first;
    {
        auto begun = ArchiverSession::begin(runner);
        ASSERT_TRUE(begun) << begun.message();
        first.emplace(std::move(*begun));
    }
    std::atomic<int> waits{0};
    std::atomic<bool> begun{false};
    std::thread second([&] {
        auto session = ArchiverSession::begin(runner, [&] { ++waits; });
        begun = session.ok();
    });
    for (int i = 0; i < 1000 && waits.load() == 0; ++i) std::this_thread::sleep_for(10ms);
    ASSERT_EQ(waits.load(), 1);
    std::this_thread::sleep_for(50ms);
    EXPECT_FALSE(begun.load());
    first.reset();
    second.join();
    EXPECT_TRUE(begun.load());
}

TEST(ArchiverSession, FailsAndLetsGoWhenThereIsNoArchiverToWrite) {
    TempDir dir;
    ArchiverRunner empty(dir.path(), {});
    auto session = ArchiverSession::begin(empty);
    ASSERT_FALSE(session);
    EXPECT_NE(session.message().find("myrar.exe"), std::string::npos) << session.message();

    int waits = 0;
    ArchiverRunner runner(dir.path(), bytesOf("x"));
    EXPECT_TRUE(ArchiverSession::begin(runner, [&] { ++waits; }));
    EXPECT_EQ(waits, 0);
}

TEST(ArchiverSession, FailsWhenTheWorkingDirectoryIsMissing) {
    TempDir dir;
    ArchiverRunner runner(dir / "gone", bytesOf("x"));
    EXPECT_FALSE(ArchiverSession::begin(runner));
}

}  // namespace
