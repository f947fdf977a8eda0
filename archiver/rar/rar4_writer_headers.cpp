#include "archiver/rar/rar4_writer_headers.h"

#include "archiver/rar/crc32.h"
#include "archiver/rar/rar4_dos_time.h"

namespace rar {
namespace {

constexpr std::uint16_t kFlagLongBlock = 0x8000;
constexpr std::uint16_t kFlagPassword = 0x0004;
constexpr std::uint16_t kFlagDirectory = 0x00E0;
constexpr std::uint16_t kFlagLarge = 0x0100;
constexpr std::uint16_t kFlagUnicode = 0x0200;
constexpr std::uint16_t kFlagSalt = 0x0400;
constexpr std::uint16_t kFlagExtTime = 0x1000;

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

Rar4Mtime rar4MtimeFromUnix(std::int64_t unixSeconds, std::uint32_t nanoseconds) {
    Rar4Mtime t;
    t.dosTime = dosTimeFromUnix(unixSeconds);
    // Zone offsets are whole minutes, so the parity of UTC seconds is that of local ones.
    t.oddSecond = (unixSeconds % 2) != 0;
    t.fraction100ns = (nanoseconds % 1000000000u) / 100;
    return t;
}

std::vector<std::uint8_t> encodeRar4FileHeader(const Rar4StoredEntry& entry) {
    // RAR writes the HIGH fields from 2 GiB on, where a signed reading would go wrong.
    const bool large = entry.packedSize > 0x7FFFFFFFu || entry.unpackedSize > 0x7FFFFFFFu;
    // EXT_TIME only where it adds to the 2-second DOS time.
    const bool extTime = entry.mtime.oddSecond || entry.mtime.fraction100ns != 0;
    std::uint16_t flags = kFlagLongBlock;
    if (extTime) flags |= kFlagExtTime;
    if (entry.directory) flags |= kFlagDirectory;
    if (large) flags |= kFlagLarge;
    if (entry.name.unicode) flags |= kFlagUnicode;
    if (entry.salt) flags |= kFlagPassword | kFlagSalt;

    std::vector<std::uint8_t> h;
    h.reserve(64 + entry.name.field.size());
    put16(h, 0);  // HEAD_CRC, filled in last
    h.push_back(0x74);
    put16(h, flags);
    put16(h, 0);  // HEAD_SIZE, filled in below
    put32(h, static_cast<std::uint32_t>(entry.packedSize));
    put32(h, static_cast<std::uint32_t>(entry.unpackedSize));
    h.push_back(kRar4HostWin32);
    put32(h, entry.crc);
    put32(h, entry.mtime.dosTime);
    h.push_back(entry.directory ? kRar4VersionDirectory : kRar4VersionAes);
    h.push_back(kRar4MethodStore);
    put16(h, static_cast<std::uint32_t>(entry.name.field.size()));
    put32(h, entry.directory ? (entry.attributes | kWindowsAttrDirectory) : entry.attributes);
    if (large) {
        put32(h, static_cast<std::uint32_t>(entry.packedSize >> 32));
        put32(h, static_cast<std::uint32_t>(entry.unpackedSize >> 32));
    }
    h.insert(h.end(), entry.name.field.begin(), entry.name.field.end());
    if (entry.salt) h.insert(h.end(), entry.salt->begin(), entry.salt->end());

    // The modification time only; its DOS part is FTIME above. A fraction is written
    // with all three bytes.
    if (extTime) {
        std::uint16_t group = 0x8;
        if (entry.mtime.oddSecond) group |= 0x4;
        if (entry.mtime.fraction100ns) group |= 0x3;
        put16(h, static_cast<std::uint32_t>(group) << 12);
    }
    if (extTime && entry.mtime.fraction100ns) {
        h.push_back(static_cast<std::uint8_t>(entry.mtime.fraction100ns));
        h.push_back(static_cast<std::uint8_t>(entry.mtime.fraction100ns >> 8));
        h.push_back(static_cast<std::uint8_t>(entry.mtime.fraction100ns >> 16));
    }

    h[5] = static_cast<std::uint8_t>(h.size());
    h[6] = static_cast<std::uint8_t>(h.size() >> 8);
    const std::uint16_t crc = crc16(std::span(h).subspan(2));
    h[0] = static_cast<std::uint8_t>(crc);
    h[1] = static_cast<std::uint8_t>(crc >> 8);
    return h;
}

}  // namespace rar

namespace rar {

std::vector<std::uint8_t> encodeRar4RawFileHeader(const Rar4RawFileFields& f) {
    const bool large = f.packedSize > 0xFFFFFFFFu || f.unpackedSize > 0xFFFFFFFFu || (f.flags & kFlagLarge);
    const std::uint16_t flags = static_cast<std::uint16_t>((f.flags & ~(kFlagLarge | kFlagExtTime | kFlagSalt |
                                                                        kFlagPassword | 0x0008)) |
                                                           kFlagLongBlock | (large ? kFlagLarge : 0));
    std::vector<std::uint8_t> h;
    put16(h, 0);
    h.push_back(0x74);
    put16(h, flags);
    put16(h, 0);
    put32(h, static_cast<std::uint32_t>(f.packedSize));
    put32(h, static_cast<std::uint32_t>(f.unpackedSize));
    h.push_back(f.hostOs);
    put32(h, f.crc);
    put32(h, f.dosTime);
    h.push_back(f.unpVer);
    h.push_back(f.method);
    put16(h, static_cast<std::uint32_t>(f.nameField.size()));
    put32(h, f.attributes);
    if (large) {
        put32(h, static_cast<std::uint32_t>(f.packedSize >> 32));
        put32(h, static_cast<std::uint32_t>(f.unpackedSize >> 32));
    }
    h.insert(h.end(), f.nameField.begin(), f.nameField.end());
    h[5] = static_cast<std::uint8_t>(h.size());
    h[6] = static_cast<std::uint8_t>(h.size() >> 8);
    const std::uint16_t crc = crc16(std::span(h).subspan(2));
    h[0] = static_cast<std::uint8_t>(crc);
    h[1] = static_cast<std::uint8_t>(crc >> 8);
    return h;
}

std::optional<Rar4Mtime> decodeRar4ExtMtime(std::span<const std::uint8_t> h) {
    if (h.size() < 32) return std::nullopt;
    const std::uint16_t flags = static_cast<std::uint16_t>(h[3] | h[4] << 8);
    if (!(flags & kFlagExtTime)) return std::nullopt;
    std::size_t pos = 32 + ((flags & kFlagLarge) ? 8 : 0);
    const std::size_t nameSize = static_cast<std::size_t>(h[26] | h[27] << 8);
    pos += nameSize + ((flags & kFlagSalt) ? 8 : 0);
    if (pos + 2 > h.size()) return std::nullopt;
    const unsigned group = static_cast<unsigned>(h[pos + 1] >> 4);  // mtime: bits 15-12
    if (!(group & 0x8)) return std::nullopt;
    const unsigned count = group & 0x3;
    pos += 2;  // the mtime has no DOS time of its own here: FTIME is it
    if (pos + count > h.size()) return std::nullopt;
    std::uint32_t fraction = 0;
    for (unsigned i = 0; i < count; ++i) fraction |= std::uint32_t{h[pos + i]} << (8 * (3 - count + i));
    Rar4Mtime t;
    t.dosTime = static_cast<std::uint32_t>(h[20] | h[21] << 8 | h[22] << 16 | static_cast<std::uint32_t>(h[23]) << 24);
    t.oddSecond = (group & 0x4) != 0;
    t.fraction100ns = fraction > 9999999 ? 9999999 : fraction;
    return t;
}

}  // namespace rar
