#include "ui/core/directory_walk.h"

#include "platform/name_order.h"

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <fstream>
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

// NTFS's order: UTF-16 code units compared after upper-casing, so "_" (after "Z") follows
// every letter, a character beyond the BMP (a surrogate pair) comes before the full-width
// letters, and Chinese names go by their code units, not by pinyin.
const std::vector<std::string> kNtfsOrder = {"10.rar", "9.rar",  "A.rar",    "a1.rar", "b.rar", "Z.rar",
                                             "_x.rar", "ä.rar",  "一.rar",   "中文.rar", "𠀀.rar", "ｆ.rar"};

TEST(NtfsNameOrder, ComparesUpperCasedUtf16Units) {
    for (std::size_t i = 0; i < kNtfsOrder.size(); ++i) {
        for (std::size_t j = 0; j < kNtfsOrder.size(); ++j) {
            EXPECT_EQ(platform::ntfsNameLess(kNtfsOrder[i], kNtfsOrder[j]), i < j) << kNtfsOrder[i] << " " << kNtfsOrder[j];
        }
    }
    struct Case {
        const char* a;
        const char* b;
        bool less;
    } cases[] = {
        {"abc", "ABD", true},  {"ABC", "abd", true},   {"ab", "abc", true},    {"Ä", "ä", true},  // case: by bytes
        {"ä", "Ä", false},     {"é", "F", false},      {"я", "Я", false},      {"Ω", "ω", true},
        {"ő", "Ő", false},     {"x", "x", false},      {"\xff", "\xfe", false}, {"a\xff", "b", true},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::ntfsNameLess(c.a, c.b), c.less) << c.a << " " << c.b;
    EXPECT_EQ(platform::ntfsUpperCase(u'ÿ'), u'Ÿ');
    EXPECT_EQ(platform::ntfsUpperCase(u'ｚ'), u'Ｚ');
    EXPECT_EQ(platform::ntfsUpperCase(u'中'), u'中');
}

// Made in an order of their own: the walk still takes every folder's entries, files and
// subfolders, in NTFS's order, the same on every run.
TEST(DirectoryWalk, TakesEachFolderInNtfsOrder) {
    testsupport::TempDir tmp;
    std::vector<std::string> made = kNtfsOrder;
    std::reverse(made.begin(), made.end());
    std::rotate(made.begin(), made.begin() + 5, made.end());
    for (const auto& name : made) tmp.write(name, "");
    tmp.write("子/z.rar", "");
    tmp.write("Sub_b/a.rar", "");
    tmp.write("sub_A/b.rar", "");
    tmp.write("sub_A/deep/c.rar", "");
    tmp.write("Sub_b/deep/d.rar", "");

    std::vector<std::string> expected;
    for (const auto& name : kNtfsOrder) expected.push_back((tmp / name).string());
    for (const char* rel : {"sub_A/b.rar", "Sub_b/a.rar", "子/z.rar", "sub_A/deep/c.rar", "Sub_b/deep/d.rar"}) {
        expected.push_back((tmp / rel).string());
    }
    for (int run = 0; run < 3; ++run) EXPECT_EQ(collectFromDirectory(tmp.path()), expected) << "run " << run;
}

#ifndef _WIN32
// Linux lets a name hold any bytes; one that is no UTF-8 cannot reach the archiver or the
// window, so it is left out and said so, and the rest is collected.
TEST(DirectoryWalk, LeavesOutNamesThatAreNoUtf8AndSaysSo) {
    testsupport::TempDir tmp;
    tmp.write("好.rar", "");
    tmp.write("b.rar", "");
    std::ofstream(tmp.path() / "坏\xff.rar") << "";
    std::ofstream(tmp.path() / "x\xfe.txt") << "";
    fs::create_directories(tmp.path() / "dir\xfe");
    std::ofstream(tmp.path() / "dir\xfe" / "inside.rar") << "";
    tmp.write("ok/c.rar", "");

    std::vector<SkippedName> skipped;
    auto found = collectFromDirectory(tmp.path(), &skipped);
    EXPECT_EQ(found, (std::vector<std::string>{(tmp / "b.rar").string(), (tmp / "好.rar").string(),
                                                (tmp / "ok/c.rar").string()}));
    ASSERT_EQ(skipped.size(), 2u);
    EXPECT_EQ(skipped[0].path, (tmp.path() / "dir").string() + "\\xFE");
    EXPECT_EQ(skipped[0].reason, kUncarriableFolderName);
    EXPECT_EQ(skipped[1].path, (tmp.path() / "坏").string() + "\\xFF.rar");
    EXPECT_EQ(skipped[1].reason, kUncarriableArchiveName);

    DirectoryWalk walk(tmp.path());
    while (!walk.done()) walk.next(1);
    EXPECT_EQ(walk.takeSkipped().size(), 2u);
    EXPECT_TRUE(walk.takeSkipped().empty());
}
#endif

}  // namespace
