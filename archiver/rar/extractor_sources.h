#pragma once
// Where the extractor takes an entry's unpacked bytes from: stored data read (and
// decrypted) straight from the archive, or libarchive's output; and the made-up one-entry
// archive that hands decrypted compressed data to libarchive.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "archiver/rar/archive.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/extractor_libarchive.h"
#include "platform/file.h"
#include "platform/status.h"

namespace rar {

class EntrySource {
public:
    virtual ~EntrySource() = default;
    // The next piece; 0 at the end.
    virtual platform::Result<std::size_t> read(std::span<std::uint8_t> out) = 0;
};

// Stored data straight from the archive file, decrypted on the way where needed.
class StoredSource : public EntrySource {
public:
    StoredSource(const platform::ReadableFile& file, const Entry& e, std::optional<AesCbc> aes);
    platform::Result<std::size_t> read(std::span<std::uint8_t> out) override;

private:
    const platform::ReadableFile& file_;
    std::uint64_t offset_;
    std::uint64_t packedLeft_;
    std::uint64_t unpackedLeft_;
    std::optional<AesCbc> aes_;
};

class LibarchiveSource : public EntrySource {
public:
    // `paddedEntrySize`: the data handed to libarchive ends in the zero padding of the
    // encryption, which libarchive may try to read as more compressed data once the
    // entry is complete; reading stops at this size (the checksum still decides).
    explicit LibarchiveSource(LibarchiveReader& reader, std::optional<std::uint64_t> paddedEntrySize = std::nullopt);
    platform::Result<std::size_t> read(std::span<std::uint8_t> out) override;

private:
    LibarchiveReader& reader_;
    std::optional<std::uint64_t> paddedEntrySize_;
    std::uint64_t delivered_ = 0;
};

// A one-entry archive around the decrypted data of an AES-encrypted compressed entry,
// for libarchive, which cannot decrypt RAR data itself: the lead (signature and headers),
// the first `dataSize` bytes of the decrypted data (the rest is padding), the tail.
class DecryptedPump {
public:
    DecryptedPump(const platform::ReadableFile& file, const Entry& e, AesCbc aes, std::vector<std::uint8_t> lead,
                  std::span<const std::uint8_t> tail, std::uint64_t dataSize);
    platform::Result<std::span<const std::uint8_t>> next();

private:
    const platform::ReadableFile& file_;
    std::uint64_t offset_;
    std::uint64_t left_;
    std::uint64_t emitLeft_;
    AesCbc aes_;
    std::vector<std::uint8_t> lead_;
    std::span<const std::uint8_t> tail_;
    std::vector<std::uint8_t> buffer_;
    int stage_ = 0;
};

}  // namespace rar
