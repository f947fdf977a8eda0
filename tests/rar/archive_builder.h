#pragma once
// Small archives built byte by byte for the tests of single faults and single rules.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testrar {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(std::string_view text);
void append(Bytes& out, const Bytes& more);

// RAR 1.5-4.x.
Bytes rar4Marker();
Bytes rar4Main(std::uint16_t flags = 0);
// A block with the common header: `body` follows the 7 header bytes (and the 4-byte data
// size when flags has 0x8000, which is filled from `data`); the CRC is computed.
Bytes rar4Block(std::uint8_t type, std::uint16_t flags, const Bytes& body, const Bytes& data = {});

struct Rar4File {
    std::string name;  // 8-bit bytes as stored
    Bytes data;
    std::uint16_t flags = 0x8000;  // 0x8000 is always set
    std::uint8_t method = 0x30;
    std::uint8_t unpVer = 29;
    std::uint8_t hostOs = 2;
    std::uint32_t attributes = 0x20;
    std::uint32_t crc = 0;  // 0: the CRC of `data`
    std::uint32_t unpackedSize = 0xFFFFFFFF;  // all ones: data.size()
};
Bytes rar4FileBlock(const Rar4File& file, std::uint8_t type = 0x74);
Bytes rar4End();
// Marker, main header with `mainFlags`, the blocks, end block.
Bytes rar4Archive(const std::vector<Bytes>& blocks, std::uint16_t mainFlags = 0, bool endBlock = true);

// RAR5.
Bytes vint(std::uint64_t value);
Bytes rar5Signature();
// CRC32, size vint, then type, flags, [extra size], [data size], `fields`, `extra`; the
// data follows the header.
Bytes rar5Block(std::uint64_t type, std::uint64_t flags, const Bytes& fields, const Bytes& extra = {},
                const Bytes& data = {});
Bytes rar5Main(std::uint64_t archiveFlags = 0, const Bytes& extra = {});
struct Rar5File {
    std::string name;  // UTF-8, '/' separators
    Bytes data;
    bool directory = false;
    std::uint64_t compressionInfo = 0;
    std::uint64_t headerFlags = 0;
    Bytes extra{};
};
Bytes rar5FileBlock(const Rar5File& file, std::uint64_t type = 2);
Bytes rar5End();
Bytes rar5Archive(const std::vector<Bytes>& blocks, std::uint64_t archiveFlags = 0);

}  // namespace testrar
