#include "archiver/driver/working_directory.h"

#include <gtest/gtest.h>

#include "platform/paths.h"

namespace {

TEST(ChooseWorkingDirectory, PrefersTheProgramsFolderWhenItCanBeWritten) {
    struct Case {
        std::filesystem::path programDirectory;
        bool writable;
        std::filesystem::path chosen;
    };
    const std::vector<Case> cases = {
        {"/opt/pimingbao", true, "/opt/pimingbao"},
        {"/opt/pimingbao", false, "/home/u/.local/state/pimingbao"},
        {"", true, "/home/u/.local/state/pimingbao"},
    };
    for (const auto& c : cases) {
        auto chosen = chooseWorkingDirectory(
            c.programDirectory, [&](const std::filesystem::path&) { return c.writable; },
            [] { return std::filesystem::path("/home/u/.local/state/pimingbao"); });
        EXPECT_EQ(chosen, c.chosen) << c.programDirectory << " writable " << c.writable;
    }
}

TEST(EnterWorkingDirectory, MakesTheProgramsFolderTheWorkingDirectory) {
    const auto before = std::filesystem::current_path();
    auto entered = enterWorkingDirectory();
    ASSERT_TRUE(entered) << entered.message();
    // The test program's folder is writable in the build tree.
    EXPECT_EQ(*entered, platform::programDirectory());
    EXPECT_EQ(std::filesystem::current_path(), *entered);
    std::filesystem::current_path(before);
}

}  // namespace
