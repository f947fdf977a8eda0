#include "jobs/delete_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

TEST(DeleteListNames, SplitsTrimsAndDropsEmptyLines) {
    struct Case {
        const char* what;
        std::string text;
        Names expected;
    } cases[] = {
        {"one name", "文件1.txt", {"文件1.txt"}},
        {"CR LF lines", "文件1.txt\r\n广告.url\r\n", {"文件1.txt", "广告.url"}},
        {"LF lines", "a.txt\nb.txt", {"a.txt", "b.txt"}},
        {"mixed line ends", "a.txt\r\nb.txt\nc.txt", {"a.txt", "b.txt", "c.txt"}},
        {"blanks around a name", "  a.txt \t\r\n\tb c.txt  ", {"a.txt", "b c.txt"}},
        {"ideographic blanks", "\xE3\x80\x80说明.txt\xE3\x80\x80", {"说明.txt"}},
        {"empty and blank lines", "\r\n\r\na.txt\r\n   \r\n\r\nb.txt\r\n\r\n", {"a.txt", "b.txt"}},
        {"order kept, repeats kept", "b\na\nb", {"b", "a", "b"}},
        {"nothing", "", {}},
        {"only line ends and blanks", "\r\n \r\n\t\n", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(jobs::deleteListNames(c.text), c.expected) << c.what;
}

std::vector<ListingEntry> listing(std::initializer_list<const char*> paths) {
    std::vector<ListingEntry> out;
    for (const char* p : paths) out.push_back(ListingEntry{' ', p});
    return out;
}

TEST(EntriesRemovedBy, FoldsLettersBeyondAscii) {
    const auto archive = listing({"ÄRGER.TXT", "Ωmega.txt", "ДОК.txt", "ＦＵＬＬ.txt", "ß.txt"});
    EXPECT_EQ(jobs::entriesRemovedBy(archive, {"ärger.txt", "ωMEGA.TXT", "док.txt", "ｆｕｌｌ.txt"}),
              (std::vector<std::size_t>{0, 1, 2, 3}));
    EXPECT_EQ(jobs::entriesRemovedBy(archive, {"ss.txt"}), (std::vector<std::size_t>{}));
}

TEST(EntriesRemovedBy, FollowsTheArchiversMatchingRule) {
    const auto archive = listing({"文件1.txt", "文件2.exe", "文件3.pdf", "子目录", "子目录\\文件1.txt",
                                  "子目录\\深层\\广告.url", "README.TXT"});
    struct Case {
        const char* what;
        Names names;
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
    for (const auto& c : cases) EXPECT_EQ(jobs::entriesRemovedBy(archive, c.names), c.expected) << c.what;
}

}  // namespace
