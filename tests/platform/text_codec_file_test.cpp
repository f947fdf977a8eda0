#include "platform/text_codec_file.h"

#include <gtest/gtest.h>

#include "platform/file.h"
#include "tests/support/temp_dir.h"

namespace {

using platform::TextEncoding;

// Every byte of a literal, zero bytes included.
template <std::size_t N>
std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// 文件1.txt, 😀 (beyond the basic plane), CR LF, each spelled out in the bytes of every
// encoding a person's editor may have saved it in.
const std::string kText = "\xE6\x96\x87\xE4\xBB\xB6" "1.txt\r\n\xF0\x9F\x98\x80\r\n";

struct Saved {
    const char* what;
    std::string bytes;
    TextEncoding encoding;
};

const Saved kSaved[] = {
    {"GBK", "\xCE\xC4\xBC\xFE" "1.txt\r\n\x94\x39\xFC\x36\r\n", TextEncoding::Gb18030},
    {"UTF-8", kText, TextEncoding::Utf8},
    {"UTF-8 with a mark", "\xEF\xBB\xBF" + kText, TextEncoding::Utf8WithBom},
    {"UTF-16 LE", bytes("\xFF\xFE\x87\x65\xF6\x4E" "1\0.\0t\0x\0t\0\r\0\n\0\x3D\xD8\x00\xDE\r\0\n\0"),
     TextEncoding::Utf16Le},
    {"UTF-16 BE", bytes("\xFE\xFF\x65\x87\x4E\xF6\0" "1\0.\0t\0x\0t\0\r\0\n\xD8\x3D\xDE\x00\0\r\0\n"),
     TextEncoding::Utf16Be},
};

TEST(TextFile, TheSameTextReadsAlikeInEveryEncodingAndIsWrittenBackAsItWas) {
    for (const Saved& s : kSaved) {
        auto decoded = platform::decodeTextFile(s.bytes);
        ASSERT_TRUE(decoded) << s.what << ": " << decoded.message();
        EXPECT_EQ(decoded->text, kText) << s.what;
        EXPECT_EQ(decoded->encoding, s.encoding) << s.what;
        EXPECT_EQ(platform::encodeTextFile(decoded->text, decoded->encoding), s.bytes) << s.what;
    }
}

TEST(TextFile, WithoutAMarkOnlyUtf8BeyondAsciiIsUtf8) {
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
        TextEncoding encoding;
    } cases[] = {
        {"empty", "", "", TextEncoding::Gb18030},
        {"ASCII alone is the default", "a.txt\r\n", "a.txt\r\n", TextEncoding::Gb18030},
        {"GBK that is not UTF-8", "\xC1\xAA\xCD\xA8", "\xE8\x81\x94\xE9\x80\x9A", TextEncoding::Gb18030},  // 联通
        {"UTF-8", "\xE5\x88\xA0\xE9\x99\xA4", "\xE5\x88\xA0\xE9\x99\xA4", TextEncoding::Utf8},                // 删除
        {"a mark and nothing else", "\xEF\xBB\xBF", "", TextEncoding::Utf8WithBom},
        {"UTF-16 mark and nothing else", "\xFF\xFE", "", TextEncoding::Utf16Le},
    };
    for (const auto& c : cases) {
        auto decoded = platform::decodeTextFile(c.bytes);
        ASSERT_TRUE(decoded) << c.what << ": " << decoded.message();
        EXPECT_EQ(decoded->text, c.text) << c.what;
        EXPECT_EQ(decoded->encoding, c.encoding) << c.what;
    }
}

TEST(TextFile, BytesThatFitNoEncodingAreRefusedWithAReason) {
    struct Case {
        const char* what;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"neither UTF-8 nor GBK", "a\x80" "b", "既不是有效的 UTF-8，也不是有效的 GBK 文本"},
        {"a GBK pair cut short", "\xCE\xC4\xBC", "既不是有效的 UTF-8，也不是有效的 GBK 文本"},
        {"UTF-16 without its mark", bytes("a\0b\0"), "含有零字节"},
        {"a UTF-8 mark over other bytes", "\xEF\xBB\xBF\xCE\xC4", "带 UTF-8 字节顺序标记"},
        {"UTF-16 of an odd length", "\xFF\xFE" "a", "字节数为奇数"},
        {"a lone high surrogate", bytes("\xFF\xFE\x3D\xD8" "a\0"), "不成对的代理项"},
        {"a lone low surrogate", bytes("\xFE\xFF\xDE\x00"), "不成对的代理项"},
        {"a high surrogate at the end", "\xFF\xFE\x3D\xD8", "不成对的代理项"},
    };
    for (const auto& c : cases) {
        auto decoded = platform::decodeTextFile(c.bytes);
        ASSERT_FALSE(decoded) << c.what;
        EXPECT_EQ(decoded.message().rfind("无法识别文本编码：", 0), 0u) << decoded.message();
        EXPECT_NE(decoded.message().find(c.reason), std::string::npos) << c.what << ": " << decoded.message();
        EXPECT_NE(decoded.message().find("UTF-8、UTF-16 和 GBK"), std::string::npos) << decoded.message();
    }
}

TEST(TextFile, ReadingNamesTheFileThatCannotBeDecoded) {
    testsupport::TempDir dir;
    ASSERT_TRUE(platform::writeFileAtomically(dir / "bad.txt", "\xFF\xFE" "a"));
    auto read = platform::readTextFile(dir / "bad.txt");
    ASSERT_FALSE(read);
    EXPECT_NE(read.message().find("bad.txt"), std::string::npos) << read.message();
    EXPECT_NE(read.message().find("无法识别文本编码"), std::string::npos) << read.message();

    ASSERT_TRUE(platform::writeFileAtomically(dir / "good.txt", "\xEF\xBB\xBF" "x"));
    EXPECT_EQ(platform::readTextFile(dir / "good.txt").value(), (platform::DecodedText{"x", TextEncoding::Utf8WithBom}));
}

TEST(TextFile, TextThatIsNotValidUtf8IsWrittenAsReplacementCharacters) {
    EXPECT_EQ(platform::encodeTextFile("a\xC3", TextEncoding::Utf8), "a\xEF\xBF\xBD");
    EXPECT_EQ(platform::encodeTextFile("a\xC3", TextEncoding::Utf16Le), bytes("\xFF\xFE" "a\0\xFD\xFF"));
    EXPECT_EQ(platform::encodeTextFile("a\xC3", TextEncoding::Gb18030), "a?");
}

}  // namespace
