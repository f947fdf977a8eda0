// The matching rule of the delete command.
#include <gtest/gtest.h>

#include "archiver/rar/name_matcher.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace {

TEST(NameMatcher, FollowsTheDocumentedRule) {
    const struct {
        std::vector<std::string> names;
        const char* path;
        bool expected;
    } cases[] = {
        // A bare name matches in every folder.
        {{"ad.txt"}, "ad.txt", true},
        {{"ad.txt"}, "sub\\deeper\\ad.txt", true},
        {{"ad.txt"}, "sub\\bad.txt", false},
        {{"ad.txt"}, "ad.txt.exe", false},
        // Letter case and both separators.
        {{"AD.TXT"}, "Sub\\ad.txt", true},
        {{"sub/AD.txt"}, "SUB\\ad.TXT", true},
        {{"ÄRGER.TXT"}, "ärger.txt", true},
        {{"ПРИВЕТ.txt"}, "привет.TXT", true},
        {{"文件.TXT"}, "文件.txt", true},
        {{"文件.txt"}, "文档.txt", false},
        // A name with a folder part matches from the root only.
        {{"sub\\ad.txt"}, "sub\\ad.txt", true},
        {{"sub\\ad.txt"}, "x\\sub\\ad.txt", false},
        {{"\\ad.txt"}, "ad.txt", true},
        {{"\\ad.txt"}, "sub\\ad.txt", false},
        {{".\\ad.txt"}, "ad.txt", true},
        {{"sub\\"}, "x\\sub\\a", false},
        {{"sub\\"}, "sub\\a", true},
        // A folder takes everything under it; a bare folder name in every folder.
        {{"sub"}, "sub", true},
        {{"sub"}, "sub\\a\\b.txt", true},
        {{"sub"}, "x\\sub\\b.txt", true},
        {{"sub"}, "subway\\b.txt", false},
        {{"a\\sub"}, "a\\sub\\b.txt", true},
        {{"a\\sub"}, "a\\subway\\b.txt", false},
        // Wildcards, never across a separator.
        {{"*.txt"}, "a\\b\\c.txt", true},
        {{"*.txt"}, "c.txt.bak", false},
        {{"a?.txt"}, "ab.txt", true},
        {{"a?.txt"}, "a.txt", false},
        {{"a?.txt"}, "abc.txt", false},
        {{"sub\\*.txt"}, "sub\\x.txt", true},
        {{"sub\\*.txt"}, "sub\\d\\x.txt", false},
        {{"s*b\\x.txt"}, "s\\b\\x.txt", false},
        {{"*"}, "anything\\at\\all", true},
        {{"*.*"}, "noext", true},
        {{"*a*b*c*"}, "xxaxxbxxcxx", true},
        {{"*a*b*c*"}, "xxaxxcxxbxx", false},
        // Several names: any of them.
        {{"x.txt", "y.txt"}, "d\\y.txt", true},
        // Empty names and bare separators take nothing.
        {{""}, "a", false},
        {{"\\"}, "a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.names.front()) + " / " + c.path);
        EXPECT_EQ(rar::NameMatcher(c.names).matches(c.path), c.expected);
    }
}

TEST(NameMatcher, StarHeavyPatternsStayFast) {
    // A backtracking matcher without the greedy shortcut takes exponential time here.
    const std::string pattern = std::string(40, '*') + "b";
    const std::string text(5000, 'a');
    EXPECT_FALSE(rar::NameMatcher({pattern}).matches(text));
}

// The positions, in listing order, of the entries that `names` take from `paths`.
std::vector<std::size_t> taken(const std::vector<std::string>& paths, const std::vector<std::string>& names) {
    const rar::NameMatcher matcher(names);
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (matcher.matches(paths[i])) out.push_back(i);
    }
    return out;
}

TEST(NameMatcher, FoldsLettersBeyondAscii) {
    const std::vector<std::string> archive = {"ÄRGER.TXT", "Ωmega.txt", "ДОК.txt", "ＦＵＬＬ.txt", "ß.txt"};
    EXPECT_EQ(taken(archive, {"ärger.txt", "ωMEGA.TXT", "док.txt", "ｆｕｌｌ.txt"}), (std::vector<std::size_t>{0, 1, 2, 3}));
    // No folding that turns one letter into two.
    EXPECT_EQ(taken(archive, {"ss.txt"}), (std::vector<std::size_t>{}));
}

// The entries of one archive that a delete list takes, as the clean job's dry run shows them.
TEST(NameMatcher, TakesTheEntriesOfAnArchive) {
    const std::vector<std::string> archive = {"文件1.txt", "文件2.exe", "文件3.pdf", "子目录", "子目录\\文件1.txt",
                                              "子目录\\深层\\广告.url", "README.TXT"};
    const struct {
        const char* what;
        std::vector<std::string> names;
        std::vector<std::size_t> expected;
    } cases[] = {
        {"help example", {"文件1.txt"}, {0, 4}},
        {"a bare name matches in every folder", {"广告.url"}, {5}},
        {"a name with a folder matches from the root", {"子目录\\文件1.txt"}, {4}},
        {"forward slash as separator", {"子目录/文件1.txt"}, {4}},
        {"a folder takes what is under it", {"子目录"}, {3, 4, 5}},
        {"letter case ignored", {"readme.txt"}, {6}},
        {"star wildcard", {"*.txt"}, {0, 4, 6}},
        {"question mark", {"文件?.pdf"}, {2}},
        {"star stays inside one folder", {"子目录\\*.url"}, {}},
        {"two names", {"文件2.exe", "文件3.pdf"}, {1, 2}},
        {"no name matches", {"不存在.txt"}, {}},
        {"a part of a folder path matches no folder", {"深"}, {}},
        {"question mark stands for one character, not one byte", {"?件1.txt"}, {0, 4}},
        {"a bare folder name matches that folder anywhere", {"深层"}, {5}},
        {"star-dot-star is everything", {"*.*"}, {0, 1, 2, 3, 4, 5, 6}},
        {"leading separator and dot-slash mean the root", {"\\文件1.txt", ".\\子目录\\深层"}, {0, 5}},
        {"trailing separator on a folder", {"子目录\\"}, {3, 4, 5}},
        {"an empty name matches nothing", {"\\"}, {}},
    };
    for (const auto& c : cases) EXPECT_EQ(taken(archive, c.names), c.expected) << c.what;
}

}  // namespace
