#include "archiver/rar/archive_editor.h"

#include <algorithm>

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/crc32.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/rar5_header.h"
#include "platform/file.h"
#include "platform/system_random.h"

namespace rar {
namespace {

constexpr std::uint8_t kRar4EndBlock[] = {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00};
constexpr std::uint8_t kRar5EndBlock[] = {0x1D, 0x77, 0x56, 0x51, 0x03, 0x05, 0x04, 0x00};

bool isStaleIndex(const Block& b) {
    return b.kind == BlockKind::OldProtect || b.kind == BlockKind::OldAv || b.kind == BlockKind::OldSign ||
           (b.kind == BlockKind::Service && (b.serviceName == "RR" || b.serviceName == "AV" || b.serviceName == "QO"));
}

bool isAuthenticity(const Block& b) {
    return b.kind == BlockKind::OldAv || b.kind == BlockKind::OldSign || b.serviceName == "AV";
}

void mergeNeighbours(std::vector<OutputPiece>& pieces) {
    std::vector<OutputPiece> merged;
    merged.reserve(pieces.size());
    for (OutputPiece& piece : pieces) {
        const auto* range = std::get_if<CopyRange>(&piece);
        if (range && range->length == 0) continue;
        if (range && !merged.empty()) {
            if (auto* last = std::get_if<CopyRange>(&merged.back()); last && last->offset + last->length == range->offset) {
                last->length += range->length;
                continue;
            }
        }
        merged.push_back(std::move(piece));
    }
    pieces = std::move(merged);
}

platform::Result<std::vector<std::uint8_t>> rar4MainHeader(const ByteSource& source, const Archive& archive,
                                                           bool droppedAuthenticity) {
    auto bytes = source.readExact(archive.mainHeaderOffset, static_cast<std::size_t>(archive.mainHeaderSize));
    if (!bytes) return bytes.status();
    auto& h = *bytes;
    const std::uint16_t stored = static_cast<std::uint16_t>(h[0] | h[1] << 8);
    // RAR 1.5-2.x main headers with an embedded comment checksum only their first 13 bytes.
    const bool shortCrc = crc16(std::span<const std::uint8_t>(h).subspan(2)) != stored &&
                          crc16(std::span<const std::uint8_t>(h).subspan(2, 11)) == stored;
    std::uint16_t flags = static_cast<std::uint16_t>(h[3] | h[4] << 8);
    flags &= static_cast<std::uint16_t>(~0x0040);
    if (droppedAuthenticity || (flags & 0x0020)) {
        flags &= static_cast<std::uint16_t>(~0x0020);
        std::fill(h.begin() + 7, h.begin() + 13, std::uint8_t{0});
    }
    putLe16(h.data() + 3, flags);
    putLe16(h.data(), crc16(std::span<const std::uint8_t>(h).subspan(2, shortCrc ? 11 : h.size() - 2)));
    return std::move(*bytes);
}

platform::Result<std::vector<std::uint8_t>> rar5MainHeader(const ByteSource& source, const Archive& archive,
                                                           const std::string& password) {
    if (!archive.headersEncrypted) {
        auto bytes = source.readExact(archive.mainHeaderOffset, static_cast<std::size_t>(archive.mainHeaderSize));
        if (!bytes) return bytes.status();
        auto rewritten = rar5MainHeaderWithoutLocator(*bytes);
        if (!rewritten) return platform::Status::failure("无法改写主文件头");
        return std::move(*rewritten);
    }
    // Under header encryption the rewritten header is encrypted again, with a fresh IV
    // and the same padded length.
    if (!archive.headerEncryption) return platform::Status::failure("缺少压缩包的加密文件头");
    const Rar5Encryption& enc = *archive.headerEncryption;
    const Rar5Keys keys = deriveRar5Keys(password, enc.salt, enc.log2Count);
    auto onDisk = source.readExact(archive.mainHeaderOffset, static_cast<std::size_t>(archive.mainHeaderSize));
    if (!onDisk || onDisk->size() < 32) return platform::Status::failure("无法读取主文件头");
    std::vector<std::uint8_t> plain(onDisk->begin() + 16, onDisk->end());
    {
        auto aes = AesCbc::create(keys.key, std::span<const std::uint8_t>(onDisk->data(), 16));
        if (!aes) return aes.status();
        aes->decrypt(plain);
    }
    auto size = rar5HeaderSize(plain);
    if (!size || *size > plain.size()) return platform::Status::failure("无法解密主文件头");
    auto rewritten = rar5MainHeaderWithoutLocator(std::span<const std::uint8_t>(plain).first(static_cast<std::size_t>(*size)));
    if (!rewritten) return platform::Status::failure("无法改写主文件头");
    std::copy(rewritten->begin(), rewritten->end(), plain.begin());
    std::array<std::uint8_t, 16> iv{};
    if (auto s = platform::fillWithSystemRandom(iv); !s) return s;
    auto aes = AesCbc::create(keys.key, iv);
    if (!aes) return aes.status();
    aes->encrypt(plain);
    std::vector<std::uint8_t> out(iv.begin(), iv.end());
    out.insert(out.end(), plain.begin(), plain.end());
    return out;
}

}  // namespace

void LayoutBuilder::copy(std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return;
    // Never into the main header's piece, which finish() may replace.
    const bool mainIsLast = mainPiece_ && *mainPiece_ + 1 == pieces_.size();
    if (!pieces_.empty() && !mainIsLast) {
        if (auto* last = std::get_if<CopyRange>(&pieces_.back()); last && last->offset + last->length == offset) {
            last->length += length;
            return;
        }
    }
    pieces_.push_back(CopyRange{offset, length});
}

// A file header owns the blocks after it up to the next file header: its comment, ACL,
// streams, owner. The archive comment before the first file, the end block and blocks
// we do not know stay; recovery, authenticity and quick-open data go.
void LayoutBuilder::add(const Block& b, bool fileRemoved) {
    if (!started_) {
        // A self-extracting stub stays in front.
        started_ = true;
        copy(0, b.offset);
    }
    if (b.kind == BlockKind::File) {
        inFile_ = true;
        fileRemoved_ = fileRemoved;
        if (!fileRemoved) copy(b.offset, b.size);
        return;
    }
    if (isStaleIndex(b)) {
        droppedIndex_ = true;
        if (isAuthenticity(b)) droppedAuthenticity_ = true;
        return;
    }
    if ((b.kind == BlockKind::Service || b.kind == BlockKind::OldSub) && inFile_) {
        if (!fileRemoved_) copy(b.offset, b.size);
        return;
    }
    if (b.kind == BlockKind::Unknown && b.skipIfUnknown) return;
    if (b.kind == BlockKind::Main && !mainPiece_) {
        mainPiece_ = pieces_.size();
        pieces_.push_back(CopyRange{b.offset, b.size});
        return;
    }
    copy(b.offset, b.size);
}

platform::Result<std::vector<OutputPiece>> LayoutBuilder::finish(const ByteSource& source, const Archive& archive,
                                                                 const std::string& password) {
    std::vector<OutputPiece> pieces = std::move(pieces_);
    pieces_.clear();
    if (mainPiece_) {
        const bool rewrite = archive.format == Format::Rar4
                                 ? (archive.archiveFlags & 0x0060) != 0 || droppedAuthenticity_
                                 : archive.recoveryRecord || droppedIndex_ || archive.quickOpenOffset.value_or(0) != 0 ||
                                       archive.recoveryOffset.value_or(0) != 0;
        if (rewrite) {
            auto header = archive.format == Format::Rar4 ? rar4MainHeader(source, archive, droppedAuthenticity_)
                                                         : rar5MainHeader(source, archive, password);
            if (!header) return header.status();
            pieces[*mainPiece_] = std::move(*header);
        }
    }
    // RAR 1.5-2.x never wrote an end block; some readers want one.
    if (!archive.hasEndBlock && !archive.headersEncrypted) {
        if (archive.format == Format::Rar4)
            pieces.push_back(std::vector<std::uint8_t>(std::begin(kRar4EndBlock), std::end(kRar4EndBlock)));
        else
            pieces.push_back(std::vector<std::uint8_t>(std::begin(kRar5EndBlock), std::end(kRar5EndBlock)));
    }
    mergeNeighbours(pieces);
    return pieces;
}

void DeletionScan::entry(const Archive&, Entry&& e) {
    lastEntryRemoved_ = matcher_.matches(e.path);
    planner_.add(e, lastEntryRemoved_);
}

void DeletionScan::block(const Archive&, const Block& b) {
    // A file block comes right after its entry.
    layout_.add(b, b.kind == BlockKind::File && lastEntryRemoved_);
}

platform::Result<std::vector<OutputPiece>> layoutWithoutRemoved(const ByteSource& source, const Archive& archive,
                                                                const DeletionPlan& plan,
                                                                const std::string& password) {
    LayoutBuilder builder;
    for (const Block& b : archive.blocks) {
        const bool removed = b.kind == BlockKind::File && b.entry >= 0 &&
                             static_cast<std::size_t>(b.entry) < plan.removed.size() &&
                             plan.removed[static_cast<std::size_t>(b.entry)];
        builder.add(b, removed);
    }
    return builder.finish(source, archive, password);
}

platform::Status writeLayout(platform::ReadableFile source, const std::vector<OutputPiece>& pieces,
                             const std::filesystem::path& target) {
    auto writer = platform::AtomicFileWriter::create(target, platform::LinkHandling::WriteThroughLink);
    if (!writer) return writer.status();
    for (const OutputPiece& piece : pieces) {
        platform::Status s = platform::Status::success();
        if (const auto* range = std::get_if<CopyRange>(&piece)) {
            s = writer->appendRange(source, range->offset, range->length);
        } else {
            s = writer->append(std::span<const std::uint8_t>(std::get<std::vector<std::uint8_t>>(piece)));
        }
        if (!s) return s;  // the writer removes its temporary file
    }
    { const platform::ReadableFile closed = std::move(source); }
    return writer->commit();
}

}  // namespace rar
