#include "platform/terminal_output.h"

#include <gtest/gtest.h>

namespace {

// What pimingbao-cli's output redirected into a file holds on Windows, per console code page.
TEST(TerminalOutput, RedirectedTextIsInTheConsolesCodePage) {
    struct Case {
        const char* what;
        unsigned codePage;
        std::optional<std::string> bytes;
    } cases[] = {
        {"Chinese console", 936, "[1] \xCE\xC4\xBC\xFE.rar\xA3\xBA\xC9\xBE\xB3\xFD\xB3\xC9\xB9\xA6\r\n"},
        {"GB18030 console", 54936, "[1] \xCE\xC4\xBC\xFE.rar\xA3\xBA\xC9\xBE\xB3\xFD\xB3\xC9\xB9\xA6\r\n"},
        {"UTF-8 console", 65001, "[1] 文件.rar：删除成功\r\n"},
        {"a code page only the system knows", 437, std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::encodeForCodePage("[1] 文件.rar：删除成功\r\n", c.codePage), c.bytes) << c.what;
    }
    // A character GBK lacks still has its GB18030 code, and text that is not UTF-8 cannot
    // turn into anything but a question mark.
    EXPECT_EQ(platform::encodeForCodePage("\xF0\x9F\x98\x80", 936), "\x94\x39\xFC\x36");
    EXPECT_EQ(platform::encodeForCodePage("a\xC3", 936), "a?");
}

}  // namespace
