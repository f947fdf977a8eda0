#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, DecodesOneCharacterOrNoneAtAByte) {
    struct Case {
        const char* what;
        std::string_view text;
        char32_t codePoint;
        std::size_t length;
    } cases[] = {
        {"ASCII", "a", U'a', 1},
        {"two bytes", "\xC3\xA9", 0xE9, 2},
        {"three bytes", "\xE6\x96\x87", 0x6587, 3},
        {"four bytes", "\xF0\x9F\x98\x80", 0x1F600, 4},
        {"overlong", "\xC0\x80", 0, 0},
        {"surrogate", "\xED\xA0\x80", 0, 0},
        {"past U+10FFFF", "\xF4\x90\x80\x80", 0, 0},
        {"cut short", "\xE6\x96", 0, 0},
        {"continuation first", "\x80", 0, 0},
        {"bad continuation", "\xE6\x41\x87", 0, 0},
        {"leads nothing", "\xFF", 0, 0},
    };
    for (const auto& c : cases) {
        const platform::Utf8Char got = platform::decodeUtf8(c.text, 0);
        EXPECT_EQ(got.length, c.length) << c.what;
        if (c.length != 0) {
            EXPECT_EQ(got.codePoint, c.codePoint) << c.what;
        }
    }
}

TEST(Utf8, EncodesWhatItDecodes) {
    for (char32_t cp : {U'\0', U'a', char32_t{0x7FF}, char32_t{0x800}, char32_t{0xFFFF}, char32_t{0x10000}, char32_t{0x10FFFF}}) {
        std::string text;
        platform::appendUtf8(text, cp);
        const platform::Utf8Char back = platform::decodeUtf8(text, 0);
        EXPECT_EQ(back.length, text.size()) << static_cast<unsigned>(cp);
        EXPECT_EQ(back.codePoint, cp);
    }
}

}  // namespace
