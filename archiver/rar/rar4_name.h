#pragma once
// The FILE_NAME field of RAR 1.5-4.x file headers, turned into UTF-8: the plain 8-bit
// form, the UTF-8 form, and the "OEM name, NUL, encoded UTF-16" form of HEAD_FLAGS 0x0200.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace rar {

// 8-bit names carry no code page. Names made on Unix are UTF-8; the others we meet come
// from Chinese Windows, so text that is not UTF-8 is read as GB18030.
std::string decodeRar4Name(std::span<const std::uint8_t> field, bool unicodeFlag);

// The encoded part of the 0x0200 form, as UTF-16 code units. `oemName` is the 8-bit name
// before the NUL, which the encoding copies from. Nothing when the encoding runs off
// either array (a damaged name); at most `maxUnits` units.
std::optional<std::u16string> decodeRar4UnicodePart(std::span<const std::uint8_t> oemName,
                                                    std::span<const std::uint8_t> encoded, std::size_t maxUnits);

// Eight-bit text of unknown code page (names, comments) as UTF-8, by the rule above.
std::string decodeEightBitText(std::span<const std::uint8_t> bytes);

}  // namespace rar
