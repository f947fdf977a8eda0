#pragma once
// UTF-8 <-> UTF-16 code units, as RAR keeps them in Unicode names and password seeds.
#include <string>
#include <string_view>

namespace rar {

// Invalid UTF-8 sequences become U+FFFD; characters beyond the BMP become surrogate pairs.
std::u16string utf16FromUtf8(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf8FromUtf16(std::u16string_view utf16);

}  // namespace rar
