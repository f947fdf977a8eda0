#pragma once
// Comments that RAR stored compressed. We have no decompressor of our own; the packed
// bytes are wrapped into a one-entry RAR 1.5-4.x archive in memory and handed to
// libarchive's RAR reader. Nothing comes back when the build lacks libarchive or it
// cannot unpack the data, and the caller then leaves the comment out.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace rar {

// Comments are short texts; anything larger is treated as not readable, so that a damaged
// size field never drives a large allocation.
inline constexpr std::uint64_t kMaxCommentSize = 256 * 1024;

// `unpVer` and `method` are the UNP_VER and METHOD bytes of the header that held the data.
// When `crc32` is given the result must match it.
std::optional<std::vector<std::uint8_t>> unpackRar4Data(std::span<const std::uint8_t> packed, unsigned unpVer,
                                                        unsigned method, std::uint64_t unpackedSize,
                                                        std::optional<std::uint32_t> crc32);

// The one-entry archive that carries the packed bytes (exposed for tests).
std::vector<std::uint8_t> wrapInRar4Archive(std::span<const std::uint8_t> packed, unsigned unpVer, unsigned method,
                                            std::uint32_t unpackedSize, std::uint32_t crc32);

}  // namespace rar
