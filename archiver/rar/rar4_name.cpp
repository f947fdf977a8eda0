#include "archiver/rar/rar4_name.h"

#include <algorithm>
#include <string_view>

#include "archiver/rar/utf16_codec.h"
#include "platform/text_codec.h"

namespace rar {

std::string decodeEightBitText(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return std::string(text);
    if (platform::isValidUtf8(text)) return std::string(text);
    return platform::decodeGb18030Lossy(text);
}

std::optional<std::u16string> decodeRar4UnicodePart(std::span<const std::uint8_t> oemName,
                                                    std::span<const std::uint8_t> encoded, std::size_t maxUnits) {
    std::u16string out;
    if (encoded.empty()) return out;
    std::size_t pos = 0;
    const unsigned high = encoded[pos++];
    unsigned flags = 0;
    int flagBits = 0;
    while (pos < encoded.size() && out.size() < maxUnits) {
        if (flagBits == 0) {
            flags = encoded[pos++];
            flagBits = 8;
            if (pos >= encoded.size()) break;
        }
        flagBits -= 2;
        switch ((flags >> flagBits) & 3) {
            case 0:
                out.push_back(static_cast<char16_t>(encoded[pos++]));
                break;
            case 1:
                out.push_back(static_cast<char16_t>(high << 8 | encoded[pos++]));
                break;
            case 2:
                if (pos + 1 >= encoded.size()) return std::nullopt;
                out.push_back(static_cast<char16_t>(encoded[pos] | encoded[pos + 1] << 8));
                pos += 2;
                break;
            default: {
                const unsigned length = encoded[pos++];
                if (length & 0x80) {
                    if (pos >= encoded.size()) return std::nullopt;
                    const unsigned correction = encoded[pos++];
                    for (unsigned n = (length & 0x7F) + 2; n > 0 && out.size() < maxUnits; --n) {
                        if (out.size() >= oemName.size()) return std::nullopt;
                        out.push_back(static_cast<char16_t>(high << 8 | ((oemName[out.size()] + correction) & 0xFF)));
                    }
                } else {
                    for (unsigned n = length + 2; n > 0 && out.size() < maxUnits; --n) {
                        if (out.size() >= oemName.size()) return std::nullopt;
                        out.push_back(static_cast<char16_t>(oemName[out.size()]));
                    }
                }
                break;
            }
        }
    }
    return out;
}

std::string decodeRar4Name(std::span<const std::uint8_t> field, bool unicodeFlag) {
    auto nul = std::find(field.begin(), field.end(), std::uint8_t{0});
    if (!unicodeFlag || nul == field.end()) {
        // A stray NUL in a plain name ends it, as C readers see it.
        return decodeEightBitText(field.first(static_cast<std::size_t>(nul - field.begin())));
    }
    const auto oem = field.first(static_cast<std::size_t>(nul - field.begin()));
    const auto encoded = field.subspan(oem.size() + 1);
    auto units = decodeRar4UnicodePart(oem, encoded, field.size());
    if (!units || units->empty()) return decodeEightBitText(oem);
    if (auto end = units->find(u'\0'); end != std::u16string::npos) units->resize(end);
    return utf8FromUtf16(*units);
}

}  // namespace rar
