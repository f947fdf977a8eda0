// How the platform compares path names and tells a link from a folder.
#include "platform/folder_link.h"
#include "platform/path_key.h"

#include <gtest/gtest.h>

#include "tests/support/symbolic_link.h"
#include "tests/support/temp_dir.h"

namespace {

TEST(PathKey, EqualExactlyForTheSpellingsTheFileSystemTakesAsOneName) {
    struct Case {
        const char* a;
        const char* b;
        bool sameOnWindows;
    } cases[] = {
        {"C:\\资料\\a.rar", "C:\\资料\\a.rar", true},
        {"C:\\资料\\a.rar", "c:\\资料\\A.RAR", true},
        {"C:\\资料\\a.rar", "C:/资料/a.rar", true},
        {"C:\\Ärger\\ß.rar", "c:\\ärger\\ß.RAR", true},
        {"C:\\资料\\a.rar", "C:\\资料\\b.rar", false},
        {"C:\\资料\\a.rar", "C:\\资料\\a.rar ", false},
    };
    for (const auto& c : cases) {
#ifdef _WIN32
        const bool same = c.sameOnWindows;
#else
        const bool same = std::string(c.a) == c.b;
#endif
        EXPECT_EQ(platform::pathKey(c.a) == platform::pathKey(c.b), same) << c.a << " | " << c.b;
    }
}

TEST(FolderLink, OnlyALinkInPlaceOfAFolderIsOne) {
    testsupport::TempDir dir;
    const auto file = dir.write("sub/a.rar", "A");
    EXPECT_FALSE(platform::isFolderLink(dir / "sub"));
    EXPECT_FALSE(platform::isFolderLink(file));
    EXPECT_FALSE(platform::isFolderLink(dir / "missing"));
    CREATE_SYMBOLIC_LINK_OR_SKIP(dir / "sub", dir / "linked", true);
    EXPECT_TRUE(platform::isFolderLink(dir / "linked"));
    CREATE_SYMBOLIC_LINK_OR_SKIP(file, dir / "linked.rar", false);
    EXPECT_FALSE(platform::isFolderLink(dir / "linked.rar"));
}

}  // namespace
