#pragma once
// The ordinary zip/zlib CRC-32 (reflected 0xEDB88320); RAR 1.5-4.x header checks use its low 16 bits.
#include <cstddef>
#include <cstdint>
#include <span>

namespace rar {

// Continues a running CRC: crc32(crc32(0, a), b) == crc32(0, a + b).
std::uint32_t crc32(std::uint32_t crc, std::span<const std::uint8_t> bytes);
inline std::uint32_t crc32(std::span<const std::uint8_t> bytes) { return crc32(0, bytes); }
inline std::uint16_t crc16(std::span<const std::uint8_t> bytes) { return static_cast<std::uint16_t>(crc32(0, bytes) & 0xFFFF); }

}  // namespace rar
