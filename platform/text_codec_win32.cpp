#include "platform/text_codec.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/gb18030_table.h"
#include "platform/utf8.h"

// GB18030 from the program's own tables rather than code page 54936: Wine has no such code
// page, and the tables are those of the Linux build's iconv, so both builds read and write
// every byte alike.
namespace platform {
namespace {

using namespace gb18030;

constexpr std::uint32_t kFourByteFlag = 0x1000000;
// The linear number of 0x90 0x30 0x81 0x30, the four-byte code of U+10000.
constexpr std::uint32_t kSupplementaryLinear = (0x90 - 0x81) * 10 * 126 * 10;
constexpr char32_t kNone = 0xFFFFFFFF;

unsigned byteAt(std::string_view text, std::size_t i) { return static_cast<unsigned char>(text[i]); }

bool isTrailByte(unsigned b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFE); }
bool isLeadByte(unsigned b) { return b >= 0x81 && b <= 0xFE; }
bool isDigitByte(unsigned b) { return b >= 0x30 && b <= 0x39; }

struct Decoded {
    std::size_t length = 0;  // 0: no valid sequence starts here
    char32_t codePoint = 0;
};

char32_t basicPlaneFromLinear(std::uint32_t linear) {
    const FourByteRange* end = kFourByteRanges + kFourByteRangeCount;
    const FourByteRange* after = std::upper_bound(kFourByteRanges, end, linear,
                                                  [](std::uint32_t l, const FourByteRange& r) { return l < r.linear; });
    if (after == kFourByteRanges) return kNone;
    const FourByteRange& range = after[-1];
    if (linear - range.linear >= range.count) return kNone;
    return range.codePoint + (linear - range.linear);
}

Decoded decodeGb18030At(std::string_view in, std::size_t i) {
    const unsigned b0 = byteAt(in, i);
    if (b0 < 0x80) return {1, b0};
    if (!isLeadByte(b0) || i + 1 >= in.size()) return {};
    const unsigned b1 = byteAt(in, i + 1);
    if (isTrailByte(b1)) {
        char32_t c = kTwoByteCodes[(b0 - 0x81) * 190 + (b1 < 0x7F ? b1 - 0x40 : b1 - 0x41)];
        if (c == 0) return {};
        return {2, c};
    }
    if (!isDigitByte(b1) || i + 3 >= in.size()) return {};
    const unsigned b2 = byteAt(in, i + 2);
    const unsigned b3 = byteAt(in, i + 3);
    if (!isLeadByte(b2) || !isDigitByte(b3)) return {};
    const std::uint32_t linear = (((b0 - 0x81) * 10 + (b1 - 0x30)) * 126 + (b2 - 0x81)) * 10 + (b3 - 0x30);
    char32_t c = kNone;
    if (linear < kSupplementaryLinear) {
        c = basicPlaneFromLinear(linear);
    } else if (linear - kSupplementaryLinear <= 0x10FFFF - 0x10000) {
        c = 0x10000 + (linear - kSupplementaryLinear);
    }
    if (c == kNone) return {};
    return {4, c};
}

// Encoding is decoding turned round (the first code that decodes to a code point is its
// code), with the exceptions the tables list.
class Encoder {
public:
    Encoder() : basicPlane_(0x10000, 0) {
        for (std::size_t i = 0; i < kTwoByteCount; ++i) {
            const char32_t c = kTwoByteCodes[i];
            if (c == 0) continue;
            const std::uint32_t trail = static_cast<std::uint32_t>(i % 190);
            const std::uint32_t code = static_cast<std::uint32_t>((0x81 + i / 190) << 8) | (trail < 0x3F ? trail + 0x40 : trail + 0x41);
            if (c < 0x10000) {
                if (basicPlane_[c] == 0) basicPlane_[c] = code;
            } else if (std::none_of(supplementary_.begin(), supplementary_.end(), [&](const auto& e) { return e.codePoint == c; })) {
                supplementary_.push_back({c, code});
            }
        }
        for (std::size_t r = 0; r < kFourByteRangeCount; ++r) {
            const FourByteRange& range = kFourByteRanges[r];
            for (std::uint32_t k = 0; k < range.count; ++k) {
                std::uint32_t& slot = basicPlane_[range.codePoint + k];
                if (slot == 0) slot = kFourByteFlag | (range.linear + k);
            }
        }
    }

    // 0 when the code point has no code.
    std::uint32_t codeOf(char32_t c) const {
        for (std::size_t i = 0; i < kEncodingExceptionCount; ++i) {
            if (kEncodingExceptions[i].codePoint == c) return kEncodingExceptions[i].code;
        }
        if (c < 0x10000) return c < 0x80 ? c : basicPlane_[c];
        for (const auto& e : supplementary_) {
            if (e.codePoint == c) return e.code;
        }
        return kFourByteFlag | (kSupplementaryLinear + (c - 0x10000));
    }

private:
    std::vector<std::uint32_t> basicPlane_;
    std::vector<EncodingException> supplementary_;
};

const Encoder& encoder() {
    static const Encoder instance;
    return instance;
}

bool appendGb18030(std::string& out, char32_t c) {
    const std::uint32_t code = encoder().codeOf(c);
    if (code == 0 && c != 0) return false;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < kFourByteFlag) {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    } else {
        std::uint32_t linear = code - kFourByteFlag;
        char bytes[4];
        bytes[3] = static_cast<char>(0x30 + linear % 10);
        linear /= 10;
        bytes[2] = static_cast<char>(0x81 + linear % 126);
        linear /= 126;
        bytes[1] = static_cast<char>(0x30 + linear % 10);
        linear /= 10;
        bytes[0] = static_cast<char>(0x81 + linear);
        out.append(bytes, 4);
    }
    return true;
}

}  // namespace

std::optional<std::string> gb18030ToUtf8(std::string_view gb18030) {
    std::string out;
    out.reserve(gb18030.size() * 3 / 2 + 16);
    for (std::size_t i = 0; i < gb18030.size();) {
        Decoded d = decodeGb18030At(gb18030, i);
        if (d.length == 0) return std::nullopt;
        appendUtf8(out, d.codePoint);
        i += d.length;
    }
    return out;
}

std::optional<std::string> utf8ToGb18030(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 16);
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        if (c.length == 0 || !appendGb18030(out, c.codePoint)) return std::nullopt;
        i += c.length;
    }
    return out;
}

// A byte that starts no valid sequence is replaced and skipped alone, so the text after
// it is read again from the next byte, as the Linux build's iconv loop does.
std::string decodeGb18030Lossy(std::string_view gb18030) {
    std::string out;
    out.reserve(gb18030.size() * 3 / 2 + 16);
    for (std::size_t i = 0; i < gb18030.size();) {
        Decoded d = decodeGb18030At(gb18030, i);
        if (d.length == 0) {
            out += "\xEF\xBF\xBD";
            ++i;
            continue;
        }
        appendUtf8(out, d.codePoint);
        i += d.length;
    }
    return out;
}

std::string encodeGb18030Lossy(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size() + 16);
    for (std::size_t i = 0; i < utf8.size();) {
        const Utf8Char c = decodeUtf8(utf8, i);
        if (c.length == 0 || !appendGb18030(out, c.codePoint)) {
            out += '?';
            ++i;
            continue;
        }
        i += c.length;
    }
    return out;
}

}  // namespace platform
