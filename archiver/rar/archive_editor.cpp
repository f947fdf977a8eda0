#include "archiver/rar/archive_editor.h"

#include <algorithm>

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/crc32.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/rar5_header.h"
#include "platform/file.h"

namespace rar {
namespace {

constexpr std::uint8_t kRar4EndBlock[] = {0xC4, 0x3D, 0x7B, 0x00, 0x40, 0x07, 0x00};
constexpr std::uint8_t kRar5EndBlock[] = {0x1D, 0x77, 0x56, 0x51, 0x03, 0x05, 0x04, 0x00};

// Data whose loss changes what a later entry of the same solid stream decompresses to.
// Stored entries are copied out without passing through the decompressor's window, and
// folders and empty files add nothing to it.
bool feedsSolidWindow(const Entry& e) { return !e.isDirectory && e.packedSize > 0 && e.method != 0; }

enum class Fate { Keep, Drop, OwnedByEntry };

struct Decided {
    Fate fate = Fate::Keep;
    int owner = -1;
};

bool isStaleIndex(const Block& b) {
    return b.kind == BlockKind::OldProtect || b.kind == BlockKind::OldAv || b.kind == BlockKind::OldSign ||
           (b.kind == BlockKind::Service && (b.serviceName == "RR" || b.serviceName == "AV" || b.serviceName == "QO"));
}

// A file header owns the blocks after it up to the next file header: its comment, ACL,
// streams, owner. The archive comment before the first file, the end block and blocks
// we do not know stay; recovery, authenticity and quick-open data go.
std::vector<Decided> decideBlocks(const Archive& archive) {
    std::vector<Decided> out(archive.blocks.size());
    int currentFile = -1;
    for (std::size_t i = 0; i < archive.blocks.size(); ++i) {
        const Block& b = archive.blocks[i];
        if (b.kind == BlockKind::File) {
            currentFile = b.entry;
            out[i] = {Fate::OwnedByEntry, b.entry};
        } else if (isStaleIndex(b)) {
            out[i] = {Fate::Drop, -1};
        } else if ((b.kind == BlockKind::Service || b.kind == BlockKind::OldSub) && currentFile >= 0) {
            out[i] = {Fate::OwnedByEntry, currentFile};
        } else if (b.kind == BlockKind::Unknown && b.skipIfUnknown) {
            out[i] = {Fate::Drop, -1};
        }
    }
    return out;
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
        if (!rewritten) return platform::Status::failure("main archive header cannot be rewritten");
        return std::move(*rewritten);
    }
    // Under header encryption the rewritten header is encrypted again, with a fresh IV
    // and the same padded length.
    if (!archive.headerEncryption) return platform::Status::failure("archive encryption header missing");
    const Rar5Encryption& enc = *archive.headerEncryption;
    const Rar5Keys keys = deriveRar5Keys(password, enc.salt, enc.log2Count);
    auto onDisk = source.readExact(archive.mainHeaderOffset, static_cast<std::size_t>(archive.mainHeaderSize));
    if (!onDisk || onDisk->size() < 32) return platform::Status::failure("main archive header cannot be read");
    std::vector<std::uint8_t> plain(onDisk->begin() + 16, onDisk->end());
    {
        auto aes = AesCbc::create(keys.key, std::span<const std::uint8_t>(onDisk->data(), 16));
        if (!aes) return aes.status();
        aes->decrypt(plain);
    }
    auto size = rar5HeaderSize(plain);
    if (!size || *size > plain.size()) return platform::Status::failure("main archive header cannot be decrypted");
    auto rewritten = rar5MainHeaderWithoutLocator(std::span<const std::uint8_t>(plain).first(static_cast<std::size_t>(*size)));
    if (!rewritten) return platform::Status::failure("main archive header cannot be rewritten");
    std::copy(rewritten->begin(), rewritten->end(), plain.begin());
    std::array<std::uint8_t, 16> iv{};
    randomBytes(iv);
    auto aes = AesCbc::create(keys.key, iv);
    if (!aes) return aes.status();
    aes->encrypt(plain);
    std::vector<std::uint8_t> out(iv.begin(), iv.end());
    out.insert(out.end(), plain.begin(), plain.end());
    return out;
}

void appendCopy(std::vector<OutputPiece>& pieces, std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return;
    if (!pieces.empty()) {
        if (auto* last = std::get_if<CopyRange>(&pieces.back()); last && last->offset + last->length == offset) {
            last->length += length;
            return;
        }
    }
    pieces.push_back(CopyRange{offset, length});
}

}  // namespace

DeletionPlan planDeletion(const Archive& archive, std::vector<bool> removed) {
    DeletionPlan plan;
    removed.resize(archive.entries.size(), false);
    plan.removed = std::move(removed);
    for (std::size_t i = 0; i < archive.entries.size(); ++i) {
        if (plan.removed[i]) plan.removedEntries.push_back(i);
        else ++plan.keptEntries;
    }
    if (archive.locked) {
        plan.check = DeleteCheck::Locked;
        return plan;
    }
    if (archive.volume) {
        plan.check = DeleteCheck::Volume;
        return plan;
    }
    // RAR5 hard links and file copies carry no data of their own; their source must stay.
    for (std::size_t i = 0; i < archive.entries.size(); ++i) {
        const Entry& e = archive.entries[i];
        if (plan.removed[i] || (e.link != LinkKind::HardLink && e.link != LinkKind::FileCopy)) continue;
        std::string target = e.linkTarget;
        std::replace(target.begin(), target.end(), '/', '\\');
        for (std::size_t j : plan.removedEntries) {
            if (archive.entries[j].path != target) continue;
            plan.check = DeleteCheck::LinkTarget;
            plan.dependentEntry = i;
            plan.neededEntry = j;
            return plan;
        }
    }
    // Walk each solid stream: once a removed entry has fed the window, every kept entry
    // that decompresses further on in the same stream would come out wrong.
    std::optional<std::size_t> taintedBy;
    for (std::size_t i = 0; i < archive.entries.size(); ++i) {
        const Entry& e = archive.entries[i];
        if (!e.solid) taintedBy.reset();
        if (plan.removed[i]) {
            if (feedsSolidWindow(e) && !taintedBy) taintedBy = i;
        } else if (taintedBy && feedsSolidWindow(e)) {
            plan.check = DeleteCheck::SolidDependency;
            plan.dependentEntry = i;
            plan.neededEntry = taintedBy;
            return plan;
        }
    }
    return plan;
}

DeletionPlan planDeletion(const Archive& archive, const NameMatcher& matcher) {
    std::vector<bool> removed(archive.entries.size(), false);
    for (std::size_t i = 0; i < archive.entries.size(); ++i) removed[i] = matcher.matches(archive.entries[i].path);
    return planDeletion(archive, std::move(removed));
}

platform::Result<std::vector<OutputPiece>> layoutWithoutRemoved(const ByteSource& source, const Archive& archive,
                                                                const DeletionPlan& plan,
                                                                const std::string& password) {
    const auto decided = decideBlocks(archive);
    bool droppedIndex = false;
    bool droppedAuthenticity = false;
    for (std::size_t i = 0; i < archive.blocks.size(); ++i) {
        if (decided[i].fate != Fate::Drop) continue;
        const Block& b = archive.blocks[i];
        if (isStaleIndex(b)) droppedIndex = true;
        if (b.kind == BlockKind::OldAv || b.kind == BlockKind::OldSign || b.serviceName == "AV") droppedAuthenticity = true;
    }

    std::vector<OutputPiece> pieces;
    // A self-extracting stub stays in front.
    appendCopy(pieces, 0, archive.signatureOffset);
    for (std::size_t i = 0; i < archive.blocks.size(); ++i) {
        const Block& b = archive.blocks[i];
        const Decided& d = decided[i];
        if (d.fate == Fate::Drop) continue;
        if (d.fate == Fate::OwnedByEntry && d.owner >= 0 && plan.removed[static_cast<std::size_t>(d.owner)]) continue;
        if (b.kind == BlockKind::Main) {
            const bool rewrite = archive.format == Format::Rar4
                                     ? (archive.archiveFlags & 0x0060) != 0 || droppedAuthenticity
                                     : archive.recoveryRecord || droppedIndex || archive.quickOpenOffset.value_or(0) != 0 ||
                                           archive.recoveryOffset.value_or(0) != 0;
            if (rewrite) {
                auto header = archive.format == Format::Rar4 ? rar4MainHeader(source, archive, droppedAuthenticity)
                                                             : rar5MainHeader(source, archive, password);
                if (!header) return header.status();
                pieces.push_back(std::move(*header));
                continue;
            }
        }
        appendCopy(pieces, b.offset, b.size);
    }
    // RAR 1.5-2.x never wrote an end block; some readers want one.
    if (!archive.hasEndBlock && !archive.headersEncrypted) {
        if (archive.format == Format::Rar4)
            pieces.push_back(std::vector<std::uint8_t>(std::begin(kRar4EndBlock), std::end(kRar4EndBlock)));
        else
            pieces.push_back(std::vector<std::uint8_t>(std::begin(kRar5EndBlock), std::end(kRar5EndBlock)));
    }
    return pieces;
}

platform::Status writeLayout(platform::ReadableFile source, const std::vector<OutputPiece>& pieces,
                             const std::filesystem::path& target) {
    auto writer = platform::AtomicFileWriter::create(target);
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
