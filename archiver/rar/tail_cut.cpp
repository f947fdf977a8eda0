#include "archiver/rar/tail_cut.h"

#include <algorithm>
#include <array>

namespace rar {
namespace {

constexpr std::uint64_t kSector = 512;

// Eight fixed bytes and the mark's own offset, so that bytes that merely look alike after
// some other archive's end block are never taken for it.
constexpr std::array<std::uint8_t, 8> kMarkTag = {'p', 'm', 'b', '-', 'c', 'u', 't', 0x1A};
constexpr std::size_t kMarkSize = kMarkTag.size() + 8;

std::array<std::uint8_t, kMarkSize> cutMark(std::uint64_t at) {
    std::array<std::uint8_t, kMarkSize> mark{};
    std::copy(kMarkTag.begin(), kMarkTag.end(), mark.begin());
    for (std::size_t i = 0; i < 8; ++i) mark[kMarkTag.size() + i] = static_cast<std::uint8_t>(at >> (8 * i));
    return mark;
}

// An end block that says nothing about volumes or the bytes before it, which stay true
// wherever it stands: RAR4 without NEXT_VOLUME, DATACRC and VOLNUMBER, RAR5 without
// "more volumes".
bool movableEndBlock(const Archive& archive) {
    if (!archive.hasEndBlock) return true;  // the rewrite writes the plain one
    return archive.format == Format::Rar4 ? (archive.endBlockFlags & 0x000B) == 0 : (archive.endBlockFlags & 0x0001) == 0;
}

}  // namespace

std::optional<TailCut> tailCutOf(const ByteSource& source, const Archive& archive, const std::vector<OutputPiece>& pieces) {
    if (pieces.size() != 2 || archive.volume || archive.locked || !movableEndBlock(archive)) return std::nullopt;
    const auto* kept = std::get_if<CopyRange>(&pieces[0]);
    if (!kept || kept->offset != 0 || kept->length == 0) return std::nullopt;
    TailCut cut;
    cut.offset = kept->length;
    if (const auto* end = std::get_if<CopyRange>(&pieces[1])) {
        // The original end block, the last block read, from further on.
        if (!archive.hasEndBlock || end->offset != archive.endBlockOffset || end->offset + end->length != archive.endOffset ||
            end->offset <= cut.offset)
            return std::nullopt;
        auto bytes = source.readExact(end->offset, static_cast<std::size_t>(end->length));
        if (!bytes) return std::nullopt;
        cut.endBlock = std::move(*bytes);
    } else {
        if (archive.hasEndBlock) return std::nullopt;
        cut.endBlock = std::get<std::vector<std::uint8_t>>(pieces[1]);
    }
    const std::uint64_t last = cut.offset + cut.endBlock.size() + kMarkSize - 1;
    if (cut.endBlock.empty() || cut.offset / kSector != last / kSector) return std::nullopt;
    return cut;
}

std::vector<std::uint8_t> TailCut::firstWrite() const {
    std::vector<std::uint8_t> bytes = endBlock;
    const auto mark = cutMark(newSize());
    bytes.insert(bytes.end(), mark.begin(), mark.end());
    return bytes;
}

platform::Result<bool> cutInPlace(const platform::ReadableFile& file, const TailCut& cut) {
    return platform::cutFileInPlace(file, cut.offset, cut.firstWrite(), cut.newSize());
}

std::optional<std::uint64_t> interruptedCut(const ByteSource& source, const Archive& archive) {
    if (!archive.hasEndBlock || source.size() < archive.endOffset + kMarkSize) return std::nullopt;
    auto found = source.readExact(archive.endOffset, kMarkSize);
    const auto mark = cutMark(archive.endOffset);
    if (!found || !std::equal(mark.begin(), mark.end(), found->begin())) return std::nullopt;
    return archive.endOffset;
}

platform::Result<bool> finishInterruptedCut(const platform::ReadableFile& file, std::uint64_t at) {
    return platform::cutFileInPlace(file, at, {}, at);
}

}  // namespace rar
