// The matching rule of the delete command.
#include <gtest/gtest.h>

#include "archiver/rar/name_matcher.h"

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

}  // namespace
