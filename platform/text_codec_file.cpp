#include "platform/text_codec_file.h"

#include "platform/file.h"
#include "platform/paths.h"
#include "platform/text_codec.h"
#include "platform/utf8.h"

namespace platform {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeBom = "\xFF\xFE";
constexpr std::string_view kUtf16BeBom = "\xFE\xFF";


bool startsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

bool isAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

Status refused(std::string_view why) {
    return Status::failure("无法识别文本编码：" + std::string(why) + "（可识别 UTF-8、UTF-16 和 GBK）");
}

Result<DecodedText> decodeUtf16(std::string_view bytes, TextEncoding encoding) {
    if (bytes.size() % 2 != 0) return refused("带 UTF-16 字节顺序标记，但字节数为奇数");
    const bool little = encoding == TextEncoding::Utf16Le;
    auto unitAt = [&](std::size_t i) -> char16_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return static_cast<char16_t>(little ? (b << 8) | a : (a << 8) | b);
    };
    DecodedText decoded{{}, encoding};
    decoded.text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const char16_t unit = unitAt(i);
        if (unit >= 0xDC00 && unit <= 0xDFFF) return refused("带 UTF-16 字节顺序标记，但含有不成对的代理项");
        if (unit < 0xD800 || unit > 0xDBFF) {
            appendUtf8(decoded.text, unit);
            continue;
        }
        const char16_t low = i + 3 < bytes.size() ? unitAt(i + 2) : 0;
        if (low < 0xDC00 || low > 0xDFFF) return refused("带 UTF-16 字节顺序标记，但含有不成对的代理项");
        appendUtf8(decoded.text, 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00));
        i += 2;
    }
    return decoded;
}

void appendUtf16(std::string& out, char16_t unit, bool little) {
    const char high = static_cast<char>(unit >> 8);
    const char low = static_cast<char>(unit & 0xFF);
    out += little ? low : high;
    out += little ? high : low;
}

std::string encodeUtf16(std::string_view utf8, bool little) {
    std::string out(little ? kUtf16LeBom : kUtf16BeBom);
    out.reserve(utf8.size() * 2 + 2);
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        const char32_t cp = c.length == 0 ? char32_t{0xFFFD} : c.codePoint;
        i += c.length == 0 ? 1 : c.length;
        if (cp < 0x10000) {
            appendUtf16(out, static_cast<char16_t>(cp), little);
        } else {
            appendUtf16(out, static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), little);
            appendUtf16(out, static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), little);
        }
    }
    return out;
}

// Text that would go out as UTF-8 must be valid, or the file would hold what no reader takes.
std::string validUtf8(std::string_view utf8) {
    if (isValidUtf8(utf8)) return std::string(utf8);
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        appendUtf8(out, c.length == 0 ? char32_t{0xFFFD} : c.codePoint);
        i += c.length == 0 ? 1 : c.length;
    }
    return out;
}

}  // namespace

Result<DecodedText> decodeTextFile(std::string_view bytes) {
    if (startsWith(bytes, kUtf8Bom)) {
        bytes.remove_prefix(kUtf8Bom.size());
        if (!isValidUtf8(bytes)) return refused("带 UTF-8 字节顺序标记，但内容不是有效的 UTF-8");
        return DecodedText{std::string(bytes), TextEncoding::Utf8WithBom};
    }
    if (startsWith(bytes, kUtf16LeBom)) return decodeUtf16(bytes.substr(2), TextEncoding::Utf16Le);
    if (startsWith(bytes, kUtf16BeBom)) return decodeUtf16(bytes.substr(2), TextEncoding::Utf16Be);
    // Neither UTF-8 nor GBK text holds a zero byte; UTF-16 without its mark does.
    if (bytes.find('\0') != std::string_view::npos) return refused("含有零字节（UTF-16 文本须带字节顺序标记）");
    if (!isAscii(bytes) && isValidUtf8(bytes)) return DecodedText{std::string(bytes), TextEncoding::Utf8};
    auto gbk = gb18030ToUtf8(bytes);
    if (!gbk) return refused("既不是有效的 UTF-8，也不是有效的 GBK 文本");
    return DecodedText{std::move(*gbk), TextEncoding::Gb18030};
}

std::string encodeTextFile(std::string_view utf8, TextEncoding encoding) {
    switch (encoding) {
        case TextEncoding::Utf8:
            return validUtf8(utf8);
        case TextEncoding::Utf8WithBom:
            return std::string(kUtf8Bom) + validUtf8(utf8);
        case TextEncoding::Utf16Le:
            return encodeUtf16(utf8, true);
        case TextEncoding::Utf16Be:
            return encodeUtf16(utf8, false);
        case TextEncoding::Gb18030:
            break;
    }
    auto exact = utf8ToGb18030(utf8);
    return exact ? std::move(*exact) : encodeGb18030Lossy(utf8);
}

Result<DecodedText> readTextFile(const std::filesystem::path& file) {
    auto bytes = readWholeFile(file);
    if (!bytes) return bytes.status();
    auto decoded = decodeTextFile(*bytes);
    if (!decoded) return Status::failure("无法读取 " + utf8FromPath(file) + "：" + decoded.message());
    return decoded;
}

}  // namespace platform
