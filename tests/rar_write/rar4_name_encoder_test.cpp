#include "archiver/rar/rar4_name_encoder.h"

#include <gtest/gtest.h>

#include <string>

#include "archiver/rar/rar4_name.h"
#include "archiver/rar/utf16_codec.h"
#include "hex.h"

using rarwritetest::fromHex;
using rarwritetest::toHex;

namespace {

TEST(Rar4NameEncoder, GoldenFields) {
    struct Case {
        const char* name;
        bool unicode;
        const char* field;
    };
    const Case cases[] = {
        {"a.txt", false, "612e747874"},
        {"dir\\file.txt", false, "6469725c66696c652e747874"},
        // GBK bytes (GB18030 agrees for these), NUL, then the encoded UTF-16.
        {"文件1.txt", true, "cec4bcfe312e74787400656087f64e312e00747874"},
        {"子目录\\文件2.exe", true,
         "d7d3c4bfc2bc5ccec4bcfe322e65786500 5b6850ee76555f5ca08765f64e322e00657865"},
    };
    for (const auto& c : cases) {
        auto encoded = rar::encodeRar4Name(c.name);
        ASSERT_TRUE(encoded.ok()) << c.name << ": " << encoded.message();
        EXPECT_EQ(encoded->unicode, c.unicode) << c.name;
        EXPECT_EQ(toHex(encoded->field), toHex(fromHex(c.field))) << c.name;
    }
}

TEST(Rar4NameEncoder, EveryNameDecodesBack) {
    std::string longName;
    for (int i = 0; i < 120; ++i) longName += (i % 3 == 0) ? "名" : (i % 3 == 1) ? "é" : "x";
    const std::string names[] = {
        "文件1.txt",
        "子目录\\文件2.exe",
        "👋🌎.txt",                       // beyond the BMP: surrogate pairs
        "Ⓗⓐⓡⓓ Ⓛⓘⓝⓚ.txt",
        "уииоотивл.txt",
        "café\\naïve",                  // Latin-1 range only: every unit below 0x100
        "日本語と한국어と中文\\混合 mixed.dat",  // several high bytes in one name
        longName,
    };
    for (const auto& n : names) {
        auto encoded = rar::encodeRar4Name(n);
        ASSERT_TRUE(encoded.ok()) << n;
        EXPECT_TRUE(encoded->unicode);
        EXPECT_EQ(rar::decodeRar4Name(encoded->field, true), n);
        // Readers that ignore the Unicode part see the GB18030 form.
        const auto nul = std::find(encoded->field.begin(), encoded->field.end(), 0);
        EXPECT_EQ(rar::decodeEightBitText(std::span(encoded->field.begin(), nul)), n) << n;
    }
}

TEST(Rar4NameEncoder, UnicodePartTypes) {
    // High byte from the first non-Latin-1 unit; units with another high byte take 3 bytes.
    const std::u16string units = {u'a', 0x6587, 0x4E2D, 0x00E9, 0x6599};
    EXPECT_EQ(toHex(rar::encodeRar4UnicodePart(units)), "65" "18" "61" "87" "2d4e" "e9" "40" "99");
}

TEST(Rar4NameEncoder, RefusesBadNames) {
    std::string tooLong(70000, 'a');
    const std::string bad[] = {"", std::string("a\0b", 3), "\xFF\xFEname", tooLong};
    for (const auto& n : bad) EXPECT_FALSE(rar::encodeRar4Name(n).ok()) << n.size();
}

TEST(Utf16Codec, RoundTripAndRepair) {
    EXPECT_EQ(rar::utf16FromUtf8("a文👋"), (std::u16string{u'a', 0x6587, 0xD83D, 0xDC4B}));
    EXPECT_EQ(rar::utf8FromUtf16(std::u16string{u'a', 0x6587, 0xD83D, 0xDC4B}), "a文👋");
    EXPECT_EQ(rar::utf16FromUtf8("a\xFF" "b"), (std::u16string{u'a', 0xFFFD, u'b'}));
    EXPECT_EQ(rar::utf8FromUtf16(std::u16string{0xD83D, u'x'}), "\xEF\xBF\xBDx");
}

}  // namespace
