#include "archiver/rar/extractor_rar5_wrap.h"

#include <algorithm>

#include "archiver/rar/crc32.h"

namespace rar {
namespace {

void putVint(std::vector<std::uint8_t>& out, std::uint64_t v) {
    do {
        std::uint8_t b = v & 0x7F;
        v >>= 7;
        if (v) b |= 0x80;
        out.push_back(b);
    } while (v);
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// CRC32, size vint, then the header body.
void appendHeader(std::vector<std::uint8_t>& out, const std::vector<std::uint8_t>& body) {
    std::vector<std::uint8_t> sized;
    putVint(sized, body.size());
    sized.insert(sized.end(), body.begin(), body.end());
    put32(out, crc32(sized));
    out.insert(out.end(), sized.begin(), sized.end());
}

}  // namespace

bool Rar5BlockWalker::feed(std::span<const std::uint8_t> piece) {
    if (end_ || broken_) return false;
    for (std::size_t i = 0; i < piece.size();) {
        const std::uint64_t at = position_ + i;
        if (at < skipUntil_) {
            i += static_cast<std::size_t>(std::min<std::uint64_t>(skipUntil_ - at, piece.size() - i));
            continue;
        }
        header_.push_back(piece[i++]);
        // Flags, checksum, then 1 to 3 bytes of block size.
        if (header_.size() < 2) continue;
        const std::size_t sizeBytes = static_cast<std::size_t>(((header_[0] >> 3) & 3) + 1);
        if (sizeBytes > 3) {
            broken_ = true;
            return false;
        }
        if (header_.size() < 2 + sizeBytes) continue;
        std::uint64_t blockSize = 0;
        std::uint8_t check = static_cast<std::uint8_t>(0x5A ^ header_[0]);
        for (std::size_t k = 0; k < sizeBytes; ++k) {
            blockSize |= std::uint64_t{header_[2 + k]} << (8 * k);
            check = static_cast<std::uint8_t>(check ^ header_[2 + k]);
        }
        if (check != header_[1]) {
            broken_ = true;
            return false;
        }
        const bool last = (header_[0] & 0x40) != 0;
        skipUntil_ = position_ + i + blockSize;
        header_.clear();
        if (last) {
            end_ = skipUntil_;
            return false;
        }
    }
    position_ += piece.size();
    return true;
}

std::vector<std::uint8_t> rar5WrapperLead(const Entry& e, std::uint64_t dataSize) {
    std::vector<std::uint8_t> out = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07, 0x01, 0x00};
    appendHeader(out, {0x01, 0x00, 0x00});  // main header: no flags, no archive flags

    const bool keepCrc = e.crc32 && !e.crcIsMac;
    std::uint64_t fileFlags = e.fileFlags & 0x0008;  // keep "unpacked size unknown"
    if (e.mtime.kind == EntryTime::Kind::UnixUtc) fileFlags |= 0x0002;
    if (keepCrc) fileFlags |= 0x0004;
    std::string name = e.path;
    std::replace(name.begin(), name.end(), '\\', '/');

    std::vector<std::uint8_t> body;
    putVint(body, 2);       // file header
    putVint(body, 0x0002);  // data area present
    putVint(body, dataSize);
    putVint(body, fileFlags);
    putVint(body, e.unpackedSize);
    putVint(body, e.attributes);
    if (fileFlags & 0x0002) put32(body, static_cast<std::uint32_t>(e.mtime.unixSeconds));
    if (keepCrc) put32(body, *e.crc32);
    putVint(body, e.compressionInfo & ~std::uint64_t{0x0040});
    putVint(body, e.hostOs);
    putVint(body, name.size());
    body.insert(body.end(), name.begin(), name.end());
    appendHeader(out, body);
    return out;
}

}  // namespace rar
