#include "archiver/rar/utf16_codec.h"

#include <cstdint>

#include "platform/utf8.h"

namespace rar {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// A broken sequence yields U+FFFD and consumes one byte, so that decoding resynchronises
// on the next lead byte.
char32_t nextCodePoint(std::string_view text, std::size_t& i) {
    const platform::Utf8Char c = platform::decodeUtf8(text, i);
    if (c.length == 0) {
        ++i;
        return kReplacement;
    }
    i += c.length;
    return c.codePoint;
}

}  // namespace

std::u16string utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            const char32_t v = cp - 0x10000;
            out += static_cast<char16_t>(0xD800 + (v >> 10));
            out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string utf8FromUtf16(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t u = utf16[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF) {
            platform::appendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            platform::appendUtf8(out, kReplacement);
        } else {
            platform::appendUtf8(out, u);
        }
    }
    return out;
}

}  // namespace rar
