#pragma once
// A complete RAR archive (the format of RAR 1.5 to 4.x) without entries: the marker block
// and a main archive header with no flags. The add command starts a new archive from it.
#include <array>

inline constexpr std::array<unsigned char, 20> EmptyArchiveImage = {
    0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00,  // marker block "Rar!" 1A 07 00
    0xCF, 0x90,                                // header CRC: low 16 bits of the CRC-32 of the 11 bytes after it
    0x73,                                      // main archive header
    0x00, 0x00,                                // flags: not solid, no volume, no comment, no lock
    0x0D, 0x00,                                // header size 13
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,        // reserved
};
