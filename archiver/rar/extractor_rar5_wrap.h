#pragma once
// The lead of a one-entry RAR5 archive (signature, main header, file header) around an
// entry whose data we decrypted ourselves, for libarchive, which cannot decrypt RAR5.
// The data and then the end header follow it.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "archiver/rar/archive.h"

namespace rar {

// The file header carries no encryption, hash or time records; its CRC field is left
// out when the stored one is keyed by the password (we check that one ourselves).
// `dataSize` is the length of the compressed stream without the encryption's padding,
// which libarchive would otherwise try to read as another compressed block.
std::vector<std::uint8_t> rar5WrapperLead(const Entry& entry, std::uint64_t dataSize);

// Follows the block headers of a RAR5 compressed stream to the end of its last block.
// `next` hands out the stream piece by piece (an empty piece ends it). Nothing when the
// headers do not check out, which with encrypted data means a wrong key.
class Rar5BlockWalker {
public:
    // Feeds the next piece; returns false once the end is known or the stream is broken.
    bool feed(std::span<const std::uint8_t> piece);
    std::optional<std::uint64_t> length() const { return end_; }
    bool broken() const { return broken_; }

private:
    std::uint64_t position_ = 0;   // bytes seen
    std::uint64_t skipUntil_ = 0;  // start of the next block header
    std::vector<std::uint8_t> header_;
    std::optional<std::uint64_t> end_;
    bool broken_ = false;
};

inline constexpr std::array<std::uint8_t, 8> kRar5EndHeader = {0x1D, 0x77, 0x56, 0x51, 0x03, 0x05, 0x04, 0x00};

}  // namespace rar
