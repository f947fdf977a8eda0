#include "platform/name_order.h"


namespace platform {
namespace {

// UTF-8 to UTF-16 code units. A byte that does not start a well-formed sequence becomes a
// unit in the low surrogate range, where no real character lies, so it still sorts somewhere.
std::u16string utf16Units(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        std::size_t len = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
        bool good = len > 0 && i + len <= utf8.size();
        for (std::size_t k = 1; good && k < len; ++k) {
            const unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
            good = (cc & 0xC0) == 0x80;
            cp = (cp << 6) | (cc & 0x3Fu);
        }
        good = good && !((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000) ||
                         cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF));
        if (!good) {
            out.push_back(static_cast<char16_t>(0xDC00 + c));
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return out;
}

}  // namespace

char16_t ntfsUpperCase(char16_t u) {
    if (u >= u'a' && u <= u'z') return static_cast<char16_t>(u - 0x20);
    if (u < 0xE0) return u;
    if (u <= 0xFE) return u == 0xF7 ? u : static_cast<char16_t>(u - 0x20);
    if (u == 0xFF) return 0x178;
    // Latin Extended-A: pairs of capital and small letter side by side.
    if ((u >= 0x100 && u <= 0x137) || (u >= 0x14A && u <= 0x177)) return static_cast<char16_t>(u & ~1u);
    if ((u >= 0x139 && u <= 0x148) || (u >= 0x179 && u <= 0x17E)) return (u & 1u) ? u : static_cast<char16_t>(u - 1);
    // Greek.
    if (u == 0x3C2) return 0x3A3;
    if (u >= 0x3B1 && u <= 0x3CB) return static_cast<char16_t>(u - 0x20);
    if (u == 0x3AC) return 0x386;
    if (u >= 0x3AD && u <= 0x3AF) return static_cast<char16_t>(u - 0x25);
    if (u == 0x3CC) return 0x38C;
    if (u == 0x3CD || u == 0x3CE) return static_cast<char16_t>(u - 0x3F);
    // Cyrillic.
    if (u >= 0x430 && u <= 0x44F) return static_cast<char16_t>(u - 0x20);
    if (u >= 0x450 && u <= 0x45F) return static_cast<char16_t>(u - 0x50);
    // Full-width Latin letters.
    if (u >= 0xFF41 && u <= 0xFF5A) return static_cast<char16_t>(u - 0x20);
    return u;
}

std::u16string ntfsSortKey(std::string_view name) {
    std::u16string key = utf16Units(name);
    for (auto& unit : key) unit = ntfsUpperCase(unit);
    return key;
}

bool ntfsNameLess(std::string_view a, std::string_view b) {
    const std::u16string ka = ntfsSortKey(a), kb = ntfsSortKey(b);
    if (ka != kb) return ka < kb;
    return a < b;
}

}  // namespace platform
