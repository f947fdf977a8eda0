// The RAR5 block walker.
#include <algorithm>
#include <string>
#include <vector>

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/comment_unpacker.h"
#include "archiver/rar/crc32.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/format_readers.h"
#include "archiver/rar/rar5_header.h"
#include "archiver/rar/utf16_codec.h"

namespace rar {
namespace {

ReadProblem problem(ProblemKind kind, std::uint64_t offset, std::string detail) {
    return ReadProblem{kind, offset, std::move(detail)};
}

std::string cleanUtf8(std::span<const std::uint8_t> bytes) {
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    // A round trip through UTF-16 replaces whatever is not valid UTF-8.
    return utf8FromUtf16(utf16FromUtf8(text));
}

class Rar5Walker {
public:
    Rar5Walker(const ByteSource& source, const ReadOptions& options, Archive& archive, ArchiveVisitor& visitor)
        : source_(source), options_(options), archive_(archive), visitor_(visitor) {}

    std::optional<ReadProblem> run(std::uint64_t signatureOffset);

private:
    std::optional<ReadProblem> readPlainHeader(std::uint64_t pos, Rar5RawHeader& h);
    std::optional<ReadProblem> readEncryptedHeader(std::uint64_t pos, Rar5RawHeader& h);
    std::optional<ReadProblem> openEncryption(std::uint64_t pos, const Rar5Fields& f);
    Entry makeEntry(const Rar5RawHeader& h, const Rar5Fields& f, std::uint64_t pos) const;
    std::optional<std::string> readComment(const Entry& e);

    const ByteSource& source_;
    const ReadOptions& options_;
    Archive& archive_;
    ArchiveVisitor& visitor_;
    std::array<std::uint8_t, 32> headerKey_{};
    bool firstEncryptedHeader_ = true;
    bool passwordChecked_ = false;
};

std::optional<ReadProblem> Rar5Walker::readPlainHeader(std::uint64_t pos, Rar5RawHeader& h) {
    const std::uint64_t left = source_.size() - pos;
    if (left < 5) return problem(ProblemKind::Truncated, pos, "block header cut off");
    // The header's own buffer is reused from block to block: a walk over many small
    // headers then costs no allocation per header.
    const std::size_t first = static_cast<std::size_t>(std::min<std::uint64_t>(left, 7));
    h.bytes.resize(first);
    if (auto got = source_.readAt(pos, h.bytes); !got || *got != first)
        return problem(ProblemKind::CannotOpen, pos, got ? "unexpected end of data" : got.message());
    auto size = rar5HeaderSize(h.bytes);
    if (!size) return problem(ProblemKind::BadHeader, pos, "header size field damaged");
    if (*size > left) return problem(ProblemKind::Truncated, pos, "block header cut off");
    h.bytes.resize(static_cast<std::size_t>(*size));
    if (*size > first) {
        const auto rest = std::span<std::uint8_t>(h.bytes).subspan(first);
        if (auto got = source_.readAt(pos + first, rest); !got || *got != rest.size())
            return problem(ProblemKind::CannotOpen, pos, got ? "unexpected end of data" : got.message());
    }
    h.onDisk = h.bytes.size();
    return std::nullopt;
}

std::optional<ReadProblem> Rar5Walker::readEncryptedHeader(std::uint64_t pos, Rar5RawHeader& h) {
    const std::uint64_t left = source_.size() - pos;
    if (left < 32) return problem(ProblemKind::Truncated, pos, "encrypted block header cut off");
    auto first = source_.readExact(pos, 32);
    if (!first) return problem(ProblemKind::CannotOpen, pos, first.message());
    std::span<const std::uint8_t> iv(first->data(), 16);
    std::vector<std::uint8_t> block(first->begin() + 16, first->end());
    {
        auto aes = AesCbc::create(headerKey_, iv);
        if (!aes) return problem(ProblemKind::BadHeader, pos, aes.message());
        aes->decrypt(block);
    }
    auto size = rar5HeaderSize(block);
    const bool fits = size && (*size + 15) / 16 * 16 <= left - 16;
    if (!fits) {
        if (firstEncryptedHeader_ && !passwordChecked_)
            return problem(ProblemKind::WrongPassword, pos, "encrypted header does not decrypt");
        return problem(size ? ProblemKind::Truncated : ProblemKind::BadHeader, pos, "encrypted block header damaged");
    }
    const std::size_t padded = static_cast<std::size_t>((*size + 15) / 16 * 16);
    auto whole = source_.readExact(pos + 16, padded);
    if (!whole) return problem(ProblemKind::CannotOpen, pos, whole.message());
    auto aes = AesCbc::create(headerKey_, iv);
    if (!aes) return problem(ProblemKind::BadHeader, pos, aes.message());
    aes->decrypt(*whole);
    whole->resize(static_cast<std::size_t>(*size));
    h.bytes = std::move(*whole);
    h.onDisk = 16 + padded;
    return std::nullopt;
}

std::optional<ReadProblem> Rar5Walker::openEncryption(std::uint64_t pos, const Rar5Fields& f) {
    if (!f.encryption) return problem(ProblemKind::BadHeader, pos, "archive encryption header damaged");
    const Rar5Encryption& enc = *f.encryption;
    archive_.headerEncryption = enc;
    archive_.headersEncrypted = true;
    if (options_.password.empty()) return problem(ProblemKind::PasswordRequired, pos, "headers are encrypted");
    if (enc.version != 0 || enc.log2Count > kRar5MaxKdfLog2)
        return problem(ProblemKind::BadHeader, pos, "unsupported encryption parameters");
    const Rar5Keys keys = deriveRar5Keys(options_.password, enc.salt, enc.log2Count);
    if (enc.hasCheckValue() && rar5CheckValueIntact(enc.checkValue)) {
        if (!rar5PasswordMatches(keys, enc.checkValue))
            return problem(ProblemKind::WrongPassword, pos, "password check failed");
        passwordChecked_ = true;
    }
    headerKey_ = keys.key;
    return std::nullopt;
}

Entry Rar5Walker::makeEntry(const Rar5RawHeader& h, const Rar5Fields& f, std::uint64_t pos) const {
    Entry e;
    e.format = Format::Rar5;
    e.path = cleanUtf8(f.name);
    std::replace(e.path.begin(), e.path.end(), '/', '\\');
    e.headerFlags = h.flags;
    e.fileFlags = f.fileFlags;
    e.compressionInfo = f.compressionInfo;
    e.isDirectory = (f.fileFlags & 0x0001) != 0;
    e.unpackedSize = f.unpackedSize;
    e.unpackedSizeKnown = (f.fileFlags & 0x0008) == 0;
    e.packedSize = h.dataSize;
    e.attributes = f.attributes;
    e.hostOs = static_cast<unsigned>(std::min<std::uint64_t>(f.hostOs, 255));
    if (f.fileFlags & 0x0004) e.crc32 = f.crc32;
    if (f.mtime) {
        e.mtime.kind = EntryTime::Kind::UnixUtc;
        e.mtime.unixSeconds = *f.mtime;
    }
    e.method = static_cast<unsigned>((f.compressionInfo >> 7) & 7);
    e.version = static_cast<unsigned>(f.compressionInfo & 0x3F);
    e.dictionaryCode = static_cast<unsigned>((f.compressionInfo >> 10) & 0xF);
    e.solid = h.type == 2 && (f.compressionInfo & 0x0040) != 0;
    e.splitBefore = (h.flags & 0x0008) != 0;
    e.splitAfter = (h.flags & 0x0010) != 0;
    e.encrypted = f.encryption.has_value();
    e.rar5Encryption = f.encryption;
    e.crcIsMac = e.encrypted && f.encryption->checksumsAreMacs();
    e.blake2 = f.blake2;
    switch (f.redirectionType) {
        case 1: e.link = LinkKind::UnixSymlink; break;
        case 2: e.link = LinkKind::WindowsSymlink; break;
        case 3: e.link = LinkKind::Junction; break;
        case 4: e.link = LinkKind::HardLink; break;
        case 5: e.link = LinkKind::FileCopy; break;
        default: break;
    }
    if (e.link != LinkKind::None) e.linkTarget = cleanUtf8(f.redirectionTarget);
    e.blockOffset = pos;
    e.dataOffset = pos + h.onDisk;
    return e;
}

std::optional<std::string> Rar5Walker::readComment(const Entry& e) {
    // Every RAR5 comment we know of is stored; packed ones are left out.
    if (e.method != 0 || e.packedSize > kMaxCommentSize || e.unpackedSize > e.packedSize) return std::nullopt;
    auto data = source_.readExact(e.dataOffset, static_cast<std::size_t>(e.packedSize));
    if (!data) return std::nullopt;
    std::optional<Rar5Keys> keys;
    if (e.rar5Encryption) {
        const Rar5Encryption& enc = *e.rar5Encryption;
        if (options_.password.empty() || enc.version != 0 || enc.log2Count > kRar5MaxKdfLog2 || data->size() % 16 != 0)
            return std::nullopt;
        keys = deriveRar5Keys(options_.password, enc.salt, enc.log2Count);
        auto aes = AesCbc::create(keys->key, enc.iv);
        if (!aes) return std::nullopt;
        aes->decrypt(*data);
    }
    data->resize(static_cast<std::size_t>(e.unpackedSize));
    if (e.crc32) {
        std::uint32_t crc = crc32(*data);
        if (e.crcIsMac && keys) crc = rar5TweakedCrc(keys->hashKey, crc);
        if (crc != *e.crc32) return std::nullopt;
    }
    auto nul = std::find(data->begin(), data->end(), std::uint8_t{0});
    return cleanUtf8(std::span<const std::uint8_t>(data->data(), static_cast<std::size_t>(nul - data->begin())));
}

std::optional<ReadProblem> Rar5Walker::run(std::uint64_t signatureOffset) {
    const std::uint64_t fileSize = source_.size();
    std::uint64_t pos = signatureOffset + 8;
    bool sawMain = false;
    std::size_t entries = 0;
    std::size_t blocks = 0;
    Rar5RawHeader h;
    while (pos < fileSize) {
        if (blocks >= kMaxBlocks || entries >= kMaxEntries) return problem(ProblemKind::BadHeader, pos, "too many headers");
        h.onDisk = 0;
        h.type = 0;
        h.flags = 0;
        h.dataSize = 0;
        if (auto p = archive_.headersEncrypted ? readEncryptedHeader(pos, h) : readPlainHeader(pos, h)) return p;
        if (!rar5CrcMatches(h.bytes)) {
            if (archive_.headersEncrypted && firstEncryptedHeader_ && !passwordChecked_)
                return problem(ProblemKind::WrongPassword, pos, "encrypted header does not decrypt");
            return problem(ProblemKind::HeaderCrc, pos, "header checksum mismatch");
        }
        Rar5Fields f;
        if (!parseRar5Header(h, f)) return problem(ProblemKind::BadHeader, pos, "header fields damaged");
        if (archive_.headersEncrypted) firstEncryptedHeader_ = false;
        if (!sawMain && h.type != 1 && h.type != 4)
            return problem(ProblemKind::BadHeader, pos, "main archive header missing");

        const bool dataFits = h.dataSize <= fileSize - pos - h.onDisk;
        const std::uint64_t blockSize = h.onDisk + (dataFits ? h.dataSize : fileSize - pos - h.onDisk);
        Block block{BlockKind::Unknown, pos, blockSize, h.type, h.flags, {}, -1, (h.flags & 0x0004) != 0};

        switch (h.type) {
            case 1:
                if (sawMain) return problem(ProblemKind::BadHeader, pos, "second main archive header");
                sawMain = true;
                block.kind = BlockKind::Main;
                archive_.archiveFlags = f.archiveFlags;
                archive_.volume = (f.archiveFlags & 0x0001) != 0;
                archive_.volumeNumber = f.volumeNumber;
                archive_.firstVolume = archive_.volume && !f.volumeNumber;
                archive_.solid = (f.archiveFlags & 0x0004) != 0;
                archive_.recoveryRecord = (f.archiveFlags & 0x0008) != 0;
                archive_.locked = (f.archiveFlags & 0x0010) != 0;
                archive_.quickOpenOffset = f.quickOpenOffset;
                archive_.recoveryOffset = f.recoveryOffset;
                archive_.mainHeaderOffset = pos;
                archive_.mainHeaderSize = h.onDisk;
                break;
            case 2:
                // RAR5 entries take nothing from the blocks after them: handed on at once.
                block.kind = BlockKind::File;
                block.entry = static_cast<int>(entries++);
                visitor_.entry(archive_, makeEntry(h, f, pos));
                break;
            case 3: {
                block.kind = BlockKind::Service;
                block.serviceName.assign(f.name.begin(), f.name.end());
                if (block.serviceName == "CMT" && entries == 0 && !archive_.hasComment) {
                    archive_.hasComment = true;
                    if (options_.readComments && dataFits) archive_.comment = readComment(makeEntry(h, f, pos));
                }
                break;
            }
            case 4:
                if (sawMain || archive_.headersEncrypted)
                    return problem(ProblemKind::BadHeader, pos, "misplaced archive encryption header");
                block.kind = BlockKind::EncryptionHeader;
                visitor_.block(archive_, block);
                ++blocks;
                pos += blockSize;
                if (auto p = openEncryption(block.offset, f)) return p;
                continue;
            case 5:
                block.kind = BlockKind::End;
                archive_.hasEndBlock = true;
                archive_.moreVolumes = (f.endFlags & 0x0001) != 0;
                archive_.endBlockOffset = pos;
                archive_.endBlockFlags = f.endFlags;
                break;
            default:
                break;
        }
        visitor_.block(archive_, block);
        ++blocks;
        pos += blockSize;
        archive_.endOffset = pos;
        if (!dataFits) return problem(ProblemKind::Truncated, block.offset, "data area runs past the end of the file");
        if (h.type == 5) return std::nullopt;
    }
    archive_.endOffset = pos;
    if (!sawMain) return problem(ProblemKind::Truncated, pos, "main archive header missing");
    return std::nullopt;
}

}  // namespace

std::optional<ReadProblem> readRar5Blocks(const ByteSource& source, std::uint64_t signatureOffset,
                                          const ReadOptions& options, Archive& archive, ArchiveVisitor& visitor) {
    Rar5Walker walker(source, options, archive, visitor);
    return walker.run(signatureOffset);
}

}  // namespace rar
