#include "archiver/rar/rar5_header.h"

#include <algorithm>

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/crc32.h"

namespace rar {
namespace {

constexpr std::int64_t kFiletimeToUnix = 11644473600LL;

struct Body {
    std::size_t start = 0;       // first byte after the size field
    std::size_t fieldsEnd = 0;   // where the extra area begins
};

bool parseExtra(std::span<const std::uint8_t> extra, std::uint64_t headerType, Rar5Fields& f) {
    ByteReader x(extra);
    while (x.remaining() > 0) {
        const std::uint64_t size = x.vint();
        if (x.failed() || size == 0 || size > x.remaining()) return false;
        const std::size_t recordStart = x.position();
        ByteReader r(extra.subspan(recordStart, static_cast<std::size_t>(size)));
        const std::uint64_t type = r.vint();
        if (headerType == 1) {
            if (type == 0x01) {  // locator
                const std::uint64_t flags = r.vint();
                if (flags & 0x0001) f.quickOpenOffset = r.vint();
                if (flags & 0x0002) f.recoveryOffset = r.vint();
            }
        } else if (type == 0x01) {  // encryption
            Rar5Encryption enc;
            enc.version = r.vint();
            enc.flags = r.vint();
            enc.log2Count = r.u8();
            auto salt = r.bytes(16);
            auto iv = r.bytes(16);
            if (r.failed()) return false;
            std::copy(salt.begin(), salt.end(), enc.salt.begin());
            std::copy(iv.begin(), iv.end(), enc.iv.begin());
            if (enc.hasCheckValue()) {
                auto check = r.bytes(12);
                if (r.failed()) return false;
                std::copy(check.begin(), check.end(), enc.checkValue.begin());
            }
            f.encryption = enc;
        } else if (type == 0x02) {  // hash
            if (r.vint() == 0) {
                auto digest = r.bytes(32);
                if (!r.failed()) {
                    std::array<std::uint8_t, 32> d{};
                    std::copy(digest.begin(), digest.end(), d.begin());
                    f.blake2 = d;
                }
            }
        } else if (type == 0x03) {  // times
            const std::uint64_t flags = r.vint();
            if (flags & 0x0002) {
                std::int64_t t = 0;
                if (flags & 0x0001) {
                    t = r.u32();
                } else {
                    const std::uint64_t ft = r.u64();
                    t = static_cast<std::int64_t>(ft / 10000000ULL) - kFiletimeToUnix;
                }
                if (!r.failed() && !f.mtime) f.mtime = t;
            }
        } else if (type == 0x05) {  // redirection
            f.redirectionType = r.vint();
            r.vint();
            const std::uint64_t length = r.vint();
            if (length <= r.remaining()) f.redirectionTarget = r.bytes(static_cast<std::size_t>(length));
        }
        // A damaged record of a kind we do not need is skipped by its size.
        x.seek(recordStart + static_cast<std::size_t>(size));
    }
    return true;
}

}  // namespace

std::optional<std::uint64_t> rar5HeaderSize(std::span<const std::uint8_t> start) {
    if (start.size() < 5) return std::nullopt;
    std::uint64_t size = 0;
    std::size_t width = 0;
    for (;;) {
        if (width == 3 || 4 + width >= start.size()) return std::nullopt;
        const std::uint8_t b = start[4 + width];
        size |= static_cast<std::uint64_t>(b & 0x7F) << (7 * width);
        ++width;
        if (!(b & 0x80)) break;
    }
    if (size == 0) return std::nullopt;
    return 4 + width + size;
}

bool rar5CrcMatches(std::span<const std::uint8_t> header) {
    if (header.size() < 5) return false;
    ByteReader r(header);
    return crc32(header.subspan(4)) == r.u32();
}

bool parseRar5Header(Rar5RawHeader& h, Rar5Fields& f) {
    ByteReader r(h.bytes);
    r.u32();
    const std::uint64_t size = r.vint();
    if (r.failed() || size != r.remaining()) return false;
    h.type = r.vint();
    h.flags = r.vint();
    std::uint64_t extraSize = 0;
    if (h.flags & 0x0001) extraSize = r.vint();
    if (h.flags & 0x0002) h.dataSize = r.vint();
    if (r.failed() || extraSize > r.remaining()) return false;
    const std::size_t extraStart = h.bytes.size() - static_cast<std::size_t>(extraSize);
    ByteReader t(std::span<const std::uint8_t>(h.bytes).subspan(r.position(), extraStart - r.position()));
    const auto extra = std::span<const std::uint8_t>(h.bytes).subspan(extraStart);
    switch (h.type) {
        case 1:
            f.archiveFlags = t.vint();
            if (f.archiveFlags & 0x0002) f.volumeNumber = t.vint();
            break;
        case 2:
        case 3: {
            f.fileFlags = t.vint();
            f.unpackedSize = t.vint();
            f.attributes = t.vint();
            if (f.fileFlags & 0x0002) f.mtime = t.u32();
            if (f.fileFlags & 0x0004) f.crc32 = t.u32();
            f.compressionInfo = t.vint();
            f.hostOs = t.vint();
            const std::uint64_t nameLength = t.vint();
            if (t.failed() || nameLength > t.remaining()) return false;
            f.name = t.bytes(static_cast<std::size_t>(nameLength));
            break;
        }
        case 4: {
            Rar5Encryption enc;
            enc.version = t.vint();
            enc.flags = t.vint();
            enc.log2Count = t.u8();
            auto salt = t.bytes(16);
            if (t.failed()) return false;
            std::copy(salt.begin(), salt.end(), enc.salt.begin());
            if (enc.hasCheckValue()) {
                auto check = t.bytes(12);
                if (t.failed()) return false;
                std::copy(check.begin(), check.end(), enc.checkValue.begin());
            }
            f.encryption = enc;
            break;
        }
        case 5:
            f.endFlags = t.vint();
            break;
        default:
            return true;
    }
    if (t.failed()) return false;
    if (h.type == 4 || h.type == 5) return true;
    return parseExtra(extra, h.type, f);
}

bool putRar5VintFixed(std::uint8_t* out, std::size_t width, std::uint64_t value) {
    for (std::size_t i = 0; i < width; ++i) {
        std::uint8_t b = static_cast<std::uint8_t>(value & 0x7F);
        value >>= 7;
        if (i + 1 < width) b |= 0x80;
        out[i] = b;
    }
    return value == 0;
}

std::optional<std::vector<std::uint8_t>> rar5MainHeaderWithoutLocator(std::span<const std::uint8_t> header) {
    std::vector<std::uint8_t> out(header.begin(), header.end());
    ByteReader r(header);
    r.u32();
    r.vint();
    if (r.vint() != 1) return std::nullopt;
    const std::uint64_t flags = r.vint();
    std::uint64_t extraSize = 0;
    if (flags & 0x0001) extraSize = r.vint();
    if (flags & 0x0002) r.vint();
    const std::size_t archiveFlagsAt = r.position();
    const std::uint64_t archiveFlags = r.vint();
    const std::size_t archiveFlagsWidth = r.position() - archiveFlagsAt;
    if (r.failed() || extraSize > r.remaining()) return std::nullopt;
    putRar5VintFixed(out.data() + archiveFlagsAt, archiveFlagsWidth, archiveFlags & ~std::uint64_t{0x0008});

    const std::size_t extraStart = header.size() - static_cast<std::size_t>(extraSize);
    ByteReader x(header.subspan(extraStart));
    while (x.remaining() > 0) {
        const std::uint64_t size = x.vint();
        if (x.failed() || size == 0 || size > x.remaining()) return std::nullopt;
        const std::size_t recordStart = x.position();
        ByteReader rec(header.subspan(extraStart + recordStart, static_cast<std::size_t>(size)));
        if (rec.vint() == 0x01) {
            const std::uint64_t locatorFlags = rec.vint();
            for (std::uint64_t bit : {std::uint64_t{1}, std::uint64_t{2}}) {
                if (!(locatorFlags & bit)) continue;
                const std::size_t at = rec.position();
                rec.vint();
                if (rec.failed()) return std::nullopt;
                putRar5VintFixed(out.data() + extraStart + recordStart + at, rec.position() - at, 0);
            }
        }
        x.seek(recordStart + static_cast<std::size_t>(size));
    }
    putLe32(out.data(), crc32(std::span<const std::uint8_t>(out).subspan(4)));
    return out;
}

}  // namespace rar
