#pragma once
// Stored names of RAR 1.5-4.x file headers. A pure-ASCII name is stored as it is; any
// other name as its GB18030 form (for readers that only know the 8-bit name), a zero
// byte and the Unicode name encoding, with the header flag 0x0200.
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace rar {

struct Rar4EncodedName {
    std::vector<std::uint8_t> field;  // FILE_NAME, NAME_SIZE bytes
    bool unicode = false;             // needs HEAD_FLAGS 0x0200
};

// `storedName` is UTF-8 with '\' between folders. Fails on an empty name, a NUL
// character, invalid UTF-8 or a field too long for the 16-bit header size.
platform::Result<Rar4EncodedName> encodeRar4Name(std::string_view storedName);

// The Unicode part alone (after the zero byte) for the given UTF-16 units: never uses
// the form that copies bytes of the 8-bit name, so it does not depend on that name.
std::vector<std::uint8_t> encodeRar4UnicodePart(std::u16string_view units);

}  // namespace rar
