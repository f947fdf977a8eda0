#pragma once
// The real RAR archives beside the project. Tests that need them call
// SKIP_WITHOUT_FIXTURES() first: a clone without them skips, never fails.
#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

namespace testsupport {

std::filesystem::path fixturesDir();
bool fixturesAvailable();
std::filesystem::path fixture(std::string_view name);

}  // namespace testsupport

#define SKIP_WITHOUT_FIXTURES()                                                               \
    do {                                                                                      \
        if (!::testsupport::fixturesAvailable())                                              \
            GTEST_SKIP() << "fixtures not found at " << ::testsupport::fixturesDir().string(); \
    } while (0)
