// Cutting the delete list into names. Which entries a name takes is the archiver's rule,
// tested with the archiver's own matcher.
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

}  // namespace
