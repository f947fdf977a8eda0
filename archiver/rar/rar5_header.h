#pragma once
// Decoding of one RAR5 block header (general fields, the type-specific fields and the
// extra records we use), and the main-header rewrite the deleter needs.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "archiver/rar/archive.h"

namespace rar {

struct Rar5RawHeader {
    std::vector<std::uint8_t> bytes;  // CRC32, size vint and the header itself, decrypted
    std::uint64_t onDisk = 0;         // with IV and padding when encrypted
    std::uint64_t type = 0;
    std::uint64_t flags = 0;
    std::uint64_t dataSize = 0;
};

struct Rar5Fields {
    // Main header.
    std::uint64_t archiveFlags = 0;
    std::optional<std::uint64_t> volumeNumber;
    std::optional<std::uint64_t> quickOpenOffset;
    std::optional<std::uint64_t> recoveryOffset;
    // File and service headers.
    std::uint64_t fileFlags = 0;
    std::uint64_t unpackedSize = 0;
    std::uint64_t attributes = 0;
    std::optional<std::int64_t> mtime;  // Unix seconds, UTC
    std::uint32_t crc32 = 0;
    std::uint64_t compressionInfo = 0;
    std::uint64_t hostOs = 0;
    std::span<const std::uint8_t> name;  // into the header's bytes
    std::optional<std::array<std::uint8_t, 32>> blake2;
    std::uint64_t redirectionType = 0;
    std::span<const std::uint8_t> redirectionTarget;
    // File encryption record, or the archive encryption header.
    std::optional<Rar5Encryption> encryption;
    // End header.
    std::uint64_t endFlags = 0;
};

// The whole header's length (CRC, size field and header) from its first bytes (at least
// five, up to seven); nothing when the size field is damaged. The size field has at most
// three bytes, which bounds a header to 2 MB.
std::optional<std::uint64_t> rar5HeaderSize(std::span<const std::uint8_t> start);
bool rar5CrcMatches(std::span<const std::uint8_t> header);
// Fills type, flags and data size of `h` and the fields of its type; false when the
// header is malformed.
bool parseRar5Header(Rar5RawHeader& h, Rar5Fields& f);

// A main header (CRC first) with the recovery-record flag cleared and the locator's
// offsets set to zero. Every field keeps its width, so the size does not change.
std::optional<std::vector<std::uint8_t>> rar5MainHeaderWithoutLocator(std::span<const std::uint8_t> header);

// Encodes `value` into exactly `width` bytes of vint (padding with 0x80 continuation
// bytes); false when it does not fit.
bool putRar5VintFixed(std::uint8_t* out, std::size_t width, std::uint64_t value);

}  // namespace rar
