#include "archiver/rar/extractor_sources.h"

#include <algorithm>

namespace rar {
namespace {
constexpr std::size_t kChunk = 1 << 20;
}

using platform::Result;
using platform::Status;

StoredSource::StoredSource(const platform::ReadableFile& file, const Entry& e, std::optional<AesCbc> aes)
    : file_(file), offset_(e.dataOffset), packedLeft_(e.packedSize), unpackedLeft_(e.unpackedSize), aes_(std::move(aes)) {}

Result<std::size_t> StoredSource::read(std::span<std::uint8_t> out) {
    if (unpackedLeft_ == 0 || packedLeft_ == 0) return std::size_t{0};
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(out.size(), packedLeft_));
    if (aes_) want -= want % AesCbc::kBlockSize;
    if (want == 0) return Status::failure("encrypted data is not a whole number of blocks");
    auto n = file_.readAt(offset_, out.first(want));
    if (!n) return n.status();
    if (*n != want) return Status::failure("the archive ends inside the entry's data");
    if (aes_) aes_->decrypt(out.first(want));
    offset_ += want;
    packedLeft_ -= want;
    const std::size_t useful = static_cast<std::size_t>(std::min<std::uint64_t>(want, unpackedLeft_));
    unpackedLeft_ -= useful;
    return useful;
}

LibarchiveSource::LibarchiveSource(LibarchiveReader& reader, std::optional<std::uint64_t> paddedEntrySize)
    : reader_(reader), paddedEntrySize_(paddedEntrySize) {}

Result<std::size_t> LibarchiveSource::read(std::span<std::uint8_t> out) {
    if (paddedEntrySize_ && delivered_ >= *paddedEntrySize_) return std::size_t{0};
    auto n = reader_.read(out);
    if (!n) return n;
    delivered_ += *n;
    return n;
}

DecryptedPump::DecryptedPump(const platform::ReadableFile& file, const Entry& e, AesCbc aes,
                             std::vector<std::uint8_t> lead, std::span<const std::uint8_t> tail, std::uint64_t dataSize)
    : file_(file), offset_(e.dataOffset), left_(e.packedSize), emitLeft_(dataSize), aes_(std::move(aes)),
      lead_(std::move(lead)), tail_(tail) {}

Result<std::span<const std::uint8_t>> DecryptedPump::next() {
    if (stage_ == 0) {
        stage_ = 1;
        return std::span<const std::uint8_t>(lead_);
    }
    if (stage_ == 1 && left_ > 0 && emitLeft_ > 0) {
        buffer_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, left_)));
        auto n = file_.readAt(offset_, buffer_);
        if (!n) return n.status();
        if (*n != buffer_.size()) return Status::failure("the archive ends inside the entry's data");
        aes_.decrypt(buffer_);
        offset_ += *n;
        left_ -= *n;
        const std::size_t emit = static_cast<std::size_t>(std::min<std::uint64_t>(*n, emitLeft_));
        emitLeft_ -= emit;
        return std::span<const std::uint8_t>(buffer_).first(emit);
    }
    if (stage_ == 1) {
        stage_ = 2;
        return tail_;
    }
    return std::span<const std::uint8_t>();
}

}  // namespace rar
