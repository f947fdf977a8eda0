#include "platform/system_random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

namespace {

bool allZero(std::span<const std::uint8_t> bytes) {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

TEST(SystemRandom, FillsEveryByteAndNeverRepeats) {
    std::array<std::uint8_t, 16> first{}, second{};
    ASSERT_TRUE(platform::fillWithSystemRandom(first).ok());
    ASSERT_TRUE(platform::fillWithSystemRandom(second).ok());
    EXPECT_NE(first, second);

    // A buffer larger than one request of the system may serve is filled to its end.
    std::vector<std::uint8_t> large(4 << 20);
    ASSERT_TRUE(platform::fillWithSystemRandom(large).ok());
    EXPECT_FALSE(allZero(std::span(large).last(64)));

    EXPECT_TRUE(platform::fillWithSystemRandom({}).ok());
}

}  // namespace
