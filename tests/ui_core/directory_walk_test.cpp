#include "ui/core/directory_walk.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "tests/support/symbolic_link.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// Depth of `path` below `root`, 0 for a file directly in it.
std::size_t depthBelow(const fs::path& root, const std::string& path) {
    auto rel = fs::path(path).lexically_relative(root);
    return static_cast<std::size_t>(std::distance(rel.begin(), rel.end())) - 1;
}

std::set<std::string> under(const fs::path& root, std::initializer_list<const char*> rels) {
    std::set<std::string> out;
    for (const char* r : rels) out.insert((root / r).make_preferred().string());
    return out;
}

TEST(RarExtension, MatchesInAnyLetterCase) {
    struct Case {
        const char* name;
        bool matches;
    };
    const Case cases[] = {
        {"a.rar", true},         {"A.RAR", true},         {"b.Rar", true},     {"文件2.rar", true},
        {"x.part1.rar", true},   {".rar", true},          {"a.zip", false},    {"a.rar.zip", false},
        {"a.rarx", false},       {"rar", false},          {"a_rar", false},    {"", false},
    };
    for (const Case& c : cases) EXPECT_EQ(hasRarExtension(c.name), c.matches) << c.name;
}

TEST(DirectoryWalk, GoesLevelByLevelAndKeepsEachFolderTogether) {
    testsupport::TempDir tmp;
    const fs::path root = tmp.path();
    tmp.write("a.rar", "");
    tmp.write("a.zip", "");
    tmp.write("B.RAR", "");
    tmp.write("s1/c.rar", "");
    tmp.write("s1/notes.txt", "");
    tmp.write("s1/deep/d.rar", "");
    tmp.write("s2/e.Rar", "");
    tmp.write("s2/f.rar", "");
    tmp.write("s2/inner/g.rar", "");
    tmp.write("s2/x/y/z/far.rar", "");
    fs::create_directories(root / "empty");
    fs::create_directories(root / "folder.rar");

    auto found = collectFromDirectory(root);

    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()),
              under(root, {"a.rar", "B.RAR", "s1/c.rar", "s1/deep/d.rar", "s2/e.Rar", "s2/f.rar", "s2/inner/g.rar",
                           "s2/x/y/z/far.rar"}));
    ASSERT_EQ(found.size(), 8u);
    for (std::size_t i = 1; i < found.size(); ++i)
        EXPECT_LE(depthBelow(root, found[i - 1]), depthBelow(root, found[i])) << found[i - 1] << " before " << found[i];
    // The archives of one folder stay together, and the deeper folders follow their parents' order.
    auto parentOf = [](const std::string& p) { return fs::path(p).parent_path().string(); };
    std::vector<std::string> parents;
    for (const auto& p : found) {
        if (parents.empty() || parents.back() != parentOf(p)) parents.push_back(parentOf(p));
    }
    EXPECT_EQ(parents.size(), std::set<std::string>(parents.begin(), parents.end()).size());
    auto at = [&](const char* rel) { return std::find(found.begin(), found.end(), (root / rel).make_preferred().string()); };
    // s1 visited before s2 means s1's subfolders are visited before s2's.
    EXPECT_EQ(at("s1/c.rar") < at("s2/f.rar"), at("s1/deep/d.rar") < at("s2/inner/g.rar"));
    EXPECT_EQ(found.back(), (root / "s2/x/y/z/far.rar").make_preferred().string());
}

TEST(DirectoryWalk, InStepsGivesTheSameOrderAsAtOnce) {
    testsupport::TempDir tmp;
    for (int i = 0; i < 20; ++i) tmp.write("d" + std::to_string(i % 3) + "/sub/" + std::to_string(i) + ".rar", "");
    auto whole = collectFromDirectory(tmp.path());
    DirectoryWalk walk(tmp.path());
    std::vector<std::string> stepped;
    int steps = 0;
    while (!walk.done()) {
        auto part = walk.next(1);
        EXPECT_LE(part.size(), 1u);
        stepped.insert(stepped.end(), part.begin(), part.end());
        ASSERT_LT(++steps, 1000);
    }
    EXPECT_EQ(whole.size(), 20u);
    EXPECT_EQ(stepped, whole);
}

TEST(DirectoryWalk, NeverFollowsALinkToAFolder) {
    testsupport::TempDir tmp;
    const fs::path root = tmp.path() / "root";
    tmp.write("root/a.rar", "");
    tmp.write("root/sub/b.rar", "");
    tmp.write("outside/o.rar", "");
    CREATE_SYMBOLIC_LINK_OR_SKIP(root, root / "sub" / "loop", true);
    CREATE_SYMBOLIC_LINK_OR_SKIP(".", root / "self", true);
    CREATE_SYMBOLIC_LINK_OR_SKIP(tmp.path() / "outside", root / "elsewhere", true);
    CREATE_SYMBOLIC_LINK_OR_SKIP(tmp.path() / "outside" / "o.rar", root / "linked.rar", false);
    CREATE_SYMBOLIC_LINK_OR_SKIP(tmp.path() / "missing.rar", root / "dangling.rar", false);

    auto found = collectFromDirectory(root);
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), under(root, {"a.rar", "sub/b.rar", "linked.rar"}));
    EXPECT_EQ(found.size(), 3u);
}

TEST(DirectoryWalk, SkipsAFolderItCannotReadAndGoesOn) {
    testsupport::TempDir tmp;
    const fs::path root = tmp.path();
    tmp.write("gone/lost.rar", "");
    tmp.write("kept/k.rar", "");
    tmp.write("top.rar", "");
    DirectoryWalk walk(root);
    std::vector<std::string> found;
    // The first pass over the root queues both folders; one vanishes before it is visited.
    for (int i = 0; i < 3; ++i) {
        auto part = walk.next(1);
        found.insert(found.end(), part.begin(), part.end());
    }
    fs::remove_all(root / "gone");
    while (!walk.done()) {
        auto part = walk.next(1);
        found.insert(found.end(), part.begin(), part.end());
    }
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), under(root, {"top.rar", "kept/k.rar"}));
}

TEST(DirectoryWalk, SkipsAFolderWithoutReadPermission) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder's read permission is an access list entry on Windows, which Wine does not enforce";
#else
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    testsupport::TempDir tmp;
    tmp.write("locked/l.rar", "");
    tmp.write("open/o.rar", "");
    fs::permissions(tmp.path() / "locked", fs::perms::none);
    auto found = collectFromDirectory(tmp.path());
    EXPECT_EQ(std::set<std::string>(found.begin(), found.end()), under(tmp.path(), {"open/o.rar"}));
#endif
}

TEST(DirectoryWalk, AnEmptyOrMissingFolderGivesNothing) {
    testsupport::TempDir tmp;
    fs::create_directories(tmp.path() / "a" / "b");
    tmp.write("a/readme.txt", "");
    EXPECT_TRUE(collectFromDirectory(tmp.path()).empty());
    EXPECT_TRUE(collectFromDirectory(tmp.path() / "missing").empty());
    DirectoryWalk walk(tmp.path() / "missing");
    EXPECT_TRUE(walk.next(10).empty());
    EXPECT_TRUE(walk.done());
}

}  // namespace
