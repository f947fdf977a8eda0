#pragma once
// Byte images of the RAR 1.5-4.x blocks the writer emits: marker, main header, file
// headers of stored entries and the end-of-archive block.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "archiver/rar/rar4_name_encoder.h"

namespace rar {

inline constexpr std::array<std::uint8_t, 7> kRar4Marker = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x00};
// Main header with flags 0: together with the marker, the 20-byte empty archive.
inline constexpr std::array<std::uint8_t, 13> kRar4PlainMainHeader = {0xCF, 0x90, 0x73, 0x00, 0x00, 0x0D, 0x00,
                                                                      0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
inline constexpr std::array<std::uint8_t, 7> kRar4EndBlock = {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00};

inline constexpr std::uint8_t kRar4HostWin32 = 2;
inline constexpr std::uint8_t kRar4MethodStore = 0x30;
inline constexpr std::uint8_t kRar4VersionAes = 29;       // also the usual value for stored files
inline constexpr std::uint8_t kRar4VersionDirectory = 20;
inline constexpr std::uint32_t kWindowsAttrReadOnly = 0x01;
inline constexpr std::uint32_t kWindowsAttrHidden = 0x02;
inline constexpr std::uint32_t kWindowsAttrDirectory = 0x10;
inline constexpr std::uint32_t kWindowsAttrArchive = 0x20;

// A modification time as the writer records it: DOS time plus the EXT_TIME refinement.
struct Rar4Mtime {
    std::uint32_t dosTime = 0;
    bool oddSecond = false;          // DOS times have 2-second steps
    std::uint32_t fraction100ns = 0; // 0 .. 9,999,999
};
Rar4Mtime rar4MtimeFromUnix(std::int64_t unixSeconds, std::uint32_t nanoseconds);

struct Rar4StoredEntry {
    Rar4EncodedName name;
    bool directory = false;
    std::uint64_t unpackedSize = 0;
    std::uint64_t packedSize = 0;    // encrypted data: unpackedSize rounded up to 16
    std::uint32_t crc = 0;           // CRC32 of the plaintext
    Rar4Mtime mtime;
    std::uint32_t attributes = kWindowsAttrArchive;
    std::optional<std::array<std::uint8_t, 8>> salt;  // set: data encrypted (RAR 3.x AES)
};

// The whole file header, HEAD_CRC included; the data area follows it.
std::vector<std::uint8_t> encodeRar4FileHeader(const Rar4StoredEntry& entry);

}  // namespace rar

namespace rar {

// A file header from raw field values, for handing entries of other archives to a
// decompressor: no salt, no EXT_TIME. `flags` must hold only bits whose fields are
// written here (0x8000, dictionary bits, 0x0010, 0x0200); 0x0100 is set as needed.
struct Rar4RawFileFields {
    std::uint16_t flags = 0x8000;
    std::uint64_t packedSize = 0;
    std::uint64_t unpackedSize = 0;
    std::uint8_t hostOs = kRar4HostWin32;
    std::uint32_t crc = 0;
    std::uint32_t dosTime = 0;
    std::uint8_t unpVer = kRar4VersionAes;
    std::uint8_t method = kRar4MethodStore;
    std::uint32_t attributes = 0;
    std::vector<std::uint8_t> nameField;
};
std::vector<std::uint8_t> encodeRar4RawFileHeader(const Rar4RawFileFields& fields);

// The modification time refinement of a file header's EXT_TIME field, if it has one:
// `header` is the whole decoded header (HEAD_CRC first).
std::optional<Rar4Mtime> decodeRar4ExtMtime(std::span<const std::uint8_t> header);

}  // namespace rar
