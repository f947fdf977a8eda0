#include "archiver/rar/rar4_name_encoder.h"

#include <algorithm>

#include "archiver/rar/utf16_codec.h"
#include "platform/text_codec.h"

namespace rar {
namespace {

// HEAD_SIZE is 16 bits and covers the fixed 32 bytes, the HIGH sizes, salt and
// EXT_TIME besides the name; this leaves room for all of them.
constexpr std::size_t kMaxNameField = 65535 - 32 - 8 - 8 - 16;

}  // namespace

std::vector<std::uint8_t> encodeRar4UnicodePart(std::u16string_view units) {
    std::vector<std::uint8_t> out;
    std::uint8_t high = 0;
    for (char16_t u : units) {
        if (u >> 8) {
            high = static_cast<std::uint8_t>(u >> 8);
            break;
        }
    }
    out.push_back(high);
    std::size_t i = 0;
    while (i < units.size()) {
        const std::size_t flagsAt = out.size();
        out.push_back(0);
        std::uint8_t flags = 0;
        for (int k = 0; k < 4 && i < units.size(); ++k, ++i) {
            const char16_t u = units[i];
            std::uint8_t type;
            if (u < 0x100) {
                type = 0;
                out.push_back(static_cast<std::uint8_t>(u));
            } else if ((u >> 8) == high) {
                type = 1;
                out.push_back(static_cast<std::uint8_t>(u & 0xFF));
            } else {
                type = 2;
                out.push_back(static_cast<std::uint8_t>(u & 0xFF));
                out.push_back(static_cast<std::uint8_t>(u >> 8));
            }
            flags = static_cast<std::uint8_t>(flags | (type << (6 - 2 * k)));
        }
        out[flagsAt] = flags;
    }
    return out;
}

platform::Result<Rar4EncodedName> encodeRar4Name(std::string_view storedName) {
    if (storedName.empty()) return platform::Status::failure("empty entry name");
    if (storedName.find('\0') != std::string_view::npos)
        return platform::Status::failure("entry name with a NUL character");
    if (!platform::isValidUtf8(storedName)) return platform::Status::failure("entry name is not valid UTF-8");

    Rar4EncodedName out;
    const bool ascii = std::all_of(storedName.begin(), storedName.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        out.field.assign(storedName.begin(), storedName.end());
    } else {
        // GB18030 covers every Unicode character, so the 8-bit name is never lossy and
        // never holds a zero byte that would cut it short.
        const auto legacy = platform::utf8ToGb18030(storedName);
        const std::string oem = legacy ? *legacy : platform::encodeGb18030Lossy(storedName);
        out.field.assign(oem.begin(), oem.end());
        out.field.push_back(0);
        const auto unicodePart = encodeRar4UnicodePart(utf16FromUtf8(storedName));
        out.field.insert(out.field.end(), unicodePart.begin(), unicodePart.end());
        out.unicode = true;
    }
    if (out.field.size() > kMaxNameField)
        return platform::Status::failure("entry name too long (" + std::to_string(out.field.size()) + " bytes)");
    return out;
}

}  // namespace rar
