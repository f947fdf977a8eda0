#include "platform/text_codec.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(TextCodec, RoundTripsChineseAndCharactersOutsideGbk) {
    struct Case {
        const char* utf8;
        const char* gb18030;
    } cases[] = {
        {"abc", "abc"},
        {"\xE6\x96\x87\xE4\xBB\xB6", "\xCE\xC4\xBC\xFE"},                  // 文件 (GBK)
        {"\xE2\x82\xAC", "\xA2\xE3"},                                      // € (GB18030 two-byte)
        {"\xF0\x9F\x98\x80", "\x94\x39\xFC\x36"},                          // 😀 (four-byte)
        {"", ""},
    };
    for (const auto& c : cases) {
        auto gb = utf8ToGb18030(c.utf8);
        ASSERT_TRUE(gb) << c.utf8;
        EXPECT_EQ(*gb, c.gb18030);
        auto back = gb18030ToUtf8(*gb);
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, c.utf8);
    }
}

TEST(TextCodec, RejectsInvalidInputExactlyAndReplacesLeniently) {
    EXPECT_FALSE(gb18030ToUtf8("\xCE"));        // truncated pair
    EXPECT_FALSE(utf8ToGb18030("\xC3"));        // truncated UTF-8
    EXPECT_FALSE(utf8ToGb18030("\xED\xA0\x80")); // surrogate
    EXPECT_EQ(decodeGb18030Lossy("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(encodeGb18030Lossy("a\xC3"), "a?");
}

TEST(TextCodec, Utf8Validation) {
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("\xE6\x96\x87"));
    EXPECT_FALSE(isValidUtf8("\xC0\x80"));      // overlong
    EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80")); // past U+10FFFF
}
