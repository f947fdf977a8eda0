#include "archiver/rar/archive_reader.h"

#include <algorithm>
#include <array>
#include <vector>

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/crc32.h"
#include "archiver/rar/format_readers.h"

namespace rar {
namespace {

constexpr std::array<std::uint8_t, 6> kSignatureStart = {0x52, 0x61, 0x72, 0x21, 0x1A, 0x07};

// A signature inside a stub is only believed when a well-formed first header follows, as
// the stub's own code or data may contain the same bytes.
bool plausibleRar4(const ByteSource& source, std::uint64_t offset) {
    auto h = source.readExact(offset + 7, 7);
    if (!h || (*h)[2] != 0x73) return false;
    const std::size_t size = static_cast<std::size_t>((*h)[5] | (*h)[6] << 8);
    if (size < 13) return false;
    auto whole = source.readExact(offset + 7, size);
    if (!whole) return false;
    const std::uint16_t stored = static_cast<std::uint16_t>((*whole)[0] | (*whole)[1] << 8);
    // RAR 1.5-2.x main headers with a comment checksum only their first 13 bytes.
    return crc16(std::span<const std::uint8_t>(*whole).subspan(2)) == stored ||
           crc16(std::span<const std::uint8_t>(*whole).subspan(2, 11)) == stored;
}

bool plausibleRar5(const ByteSource& source, std::uint64_t offset) {
    auto h = source.readExact(offset + 8, 7);
    if (!h) return false;
    ByteReader r(std::span<const std::uint8_t>(*h).subspan(4));
    const std::uint64_t size = r.vint();
    if (r.failed() || size == 0 || size > 64 * 1024) return false;
    auto whole = source.readExact(offset + 8 + 4, static_cast<std::size_t>(r.position() + size));
    if (!whole) return false;
    ByteReader crc(*h);
    return crc32(*whole) == crc.u32();
}

}  // namespace

std::optional<SignatureMatch> findSignature(const ByteSource& source) {
    const std::uint64_t limit = std::min<std::uint64_t>(source.size(), kMaxSfxStubSize + 8);
    constexpr std::size_t kChunk = 64 * 1024;
    std::vector<std::uint8_t> buffer(kChunk + 8);
    for (std::uint64_t base = 0; base < limit; base += kChunk) {
        auto got = source.readAt(base, buffer);
        if (!got || *got < kSignatureStart.size()) return std::nullopt;
        const std::size_t n = *got;
        auto begin = buffer.begin();
        auto end = begin + static_cast<std::ptrdiff_t>(n);
        for (auto it = begin; it != end;) {
            it = std::search(it, end, kSignatureStart.begin(), kSignatureStart.end());
            if (it == end) break;
            const std::size_t at = static_cast<std::size_t>(it - begin);
            const std::uint64_t offset = base + at;
            if (at >= kChunk || offset > kMaxSfxStubSize) break;
            const std::uint8_t b6 = at + 6 < n ? buffer[at + 6] : 0xFF;
            const std::uint8_t b7 = at + 7 < n ? buffer[at + 7] : 0xFF;
            if (b6 == 0x00 && (offset == 0 || plausibleRar4(source, offset))) return SignatureMatch{Format::Rar4, offset};
            if (b6 == 0x01 && b7 == 0x00 && (offset == 0 || plausibleRar5(source, offset)))
                return SignatureMatch{Format::Rar5, offset};
            ++it;
        }
        if (n < buffer.size()) break;
    }
    return std::nullopt;
}

namespace {

class Collector : public ArchiveVisitor {
public:
    explicit Collector(Archive& into) : into_(into) {}
    void entry(const Archive&, Entry&& entry) override { into_.entries.push_back(std::move(entry)); }
    void block(const Archive&, const Block& block) override { into_.blocks.push_back(block); }

private:
    Archive& into_;
};

}  // namespace

ReadResult readArchive(const ByteSource& source, const ReadOptions& options, ArchiveVisitor& visitor) {
    ReadResult result;
    auto match = findSignature(source);
    if (!match) {
        result.problem = ReadProblem{ProblemKind::NotArchive, 0, "no RAR signature"};
        return result;
    }
    result.isRar = true;
    Archive& archive = result.archive;
    archive.format = match->format;
    archive.signatureOffset = match->offset;
    Block marker;
    marker.kind = BlockKind::Marker;
    marker.offset = match->offset;
    marker.size = match->format == Format::Rar4 ? 7 : 8;
    visitor.block(archive, marker);
    result.problem = match->format == Format::Rar4 ? readRar4Blocks(source, match->offset, options, archive, visitor)
                                                   : readRar5Blocks(source, match->offset, options, archive, visitor);
    return result;
}

ReadResult readArchive(const ByteSource& source, const ReadOptions& options) {
    // The walker fills the archive-level fields of the result; the lists are gathered
    // beside it and moved in at the end.
    Archive entriesAndBlocks;
    Collector collector(entriesAndBlocks);
    ReadResult result = readArchive(source, options, collector);
    result.archive.entries = std::move(entriesAndBlocks.entries);
    result.archive.blocks = std::move(entriesAndBlocks.blocks);
    return result;
}

ReadResult readArchive(const std::filesystem::path& path, const ReadOptions& options) {
    auto source = FileByteSource::open(path);
    if (!source) {
        ReadResult result;
        result.problem = ReadProblem{ProblemKind::CannotOpen, 0, source.message()};
        return result;
    }
    return readArchive(**source, options);
}

}  // namespace rar
