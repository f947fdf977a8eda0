// The RAR 1.5-4.x block walker.
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "archiver/rar/byte_reader.h"
#include "archiver/rar/comment_unpacker.h"
#include "archiver/rar/crc32.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/format_readers.h"
#include "archiver/rar/rar4_name.h"
#include "archiver/rar/utf16_codec.h"

namespace rar {
namespace {

constexpr std::uint8_t kMainHead = 0x73;
constexpr std::uint8_t kFileHead = 0x74;
constexpr std::uint8_t kCommentHead = 0x75;
constexpr std::uint8_t kAvHead = 0x76;
constexpr std::uint8_t kSubHead = 0x77;
constexpr std::uint8_t kProtectHead = 0x78;
constexpr std::uint8_t kSignHead = 0x79;
constexpr std::uint8_t kServiceHead = 0x7A;
constexpr std::uint8_t kEndHead = 0x7B;

constexpr std::uint16_t kLongBlock = 0x8000;
constexpr std::uint16_t kSkipIfUnknown = 0x4000;
constexpr std::uint16_t kLargeFile = 0x0100;

// Every RAR 3.x header salt needs 262,144 SHA-1 rounds; RAR reuses one salt for all the
// headers of one operation, so real archives need a handful of keys. A file that asks
// for many more is damaged or hostile, and the bound keeps it from costing minutes.
constexpr std::size_t kMaxHeaderSalts = 256;

// The old sub-block checksum covers its data too; larger data is not read for that.
constexpr std::uint64_t kMaxCheckedSubBlockData = 1024 * 1024;

struct Header {
    std::vector<std::uint8_t> bytes;  // HEAD_SIZE bytes, decrypted
    std::uint64_t onDisk = 0;         // with salt and padding
    std::uint8_t type = 0;
    std::uint16_t flags = 0;
    std::uint64_t dataSize = 0;
};

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

bool crcMatches(const std::vector<std::uint8_t>& b, std::size_t end) {
    if (end < 3 || end > b.size()) return false;
    return crc16(std::span<const std::uint8_t>(b).subspan(2, end - 2)) == le16(b, 0);
}

ReadProblem problem(ProblemKind kind, std::uint64_t offset, std::string detail) {
    return ReadProblem{kind, offset, std::move(detail)};
}

// The fields shared by file headers and service headers.
struct FileFields {
    std::uint64_t packSize = 0;
    std::uint64_t unpSize = 0;
    unsigned hostOs = 0;
    std::uint32_t fileCrc = 0;
    std::uint32_t ftime = 0;
    unsigned unpVer = 0;
    unsigned method = 0;
    std::uint32_t attr = 0;
    std::span<const std::uint8_t> name;
    std::size_t nameEnd = 0;
    // An embedded RAR 1.5-2.x comment block, as offsets into the header.
    std::size_t commentAt = 0;
    std::size_t commentSize = 0;
    bool hasSalt = false;
    std::array<std::uint8_t, 8> salt{};
};

bool parseFileFields(const Header& h, FileFields& f) {
    ByteReader r(h.bytes);
    r.seek(7);
    const std::uint32_t packLow = r.u32();
    const std::uint32_t unpLow = r.u32();
    f.hostOs = r.u8();
    f.fileCrc = r.u32();
    f.ftime = r.u32();
    f.unpVer = r.u8();
    f.method = r.u8();
    const std::uint16_t nameSize = r.u16();
    f.attr = r.u32();
    std::uint64_t packHigh = 0, unpHigh = 0;
    if (h.flags & kLargeFile) {
        packHigh = r.u32();
        unpHigh = r.u32();
    }
    f.name = r.bytes(nameSize);
    if (r.failed()) return false;
    f.packSize = packHigh << 32 | packLow;
    f.unpSize = unpHigh << 32 | unpLow;
    f.nameEnd = r.position();
    if (h.type == kFileHead && (h.flags & 0x0008) && r.remaining() >= 13) {
        const std::size_t size = le16(h.bytes, f.nameEnd + 5);
        if (size >= 13 && size <= r.remaining()) {
            f.commentAt = f.nameEnd;
            f.commentSize = size;
            r.skip(size);
        }
    }
    if (h.flags & 0x0400) {
        auto salt = r.bytes(8);
        if (!r.failed()) {
            f.hasSalt = true;
            std::copy(salt.begin(), salt.end(), f.salt.begin());
        }
    }
    return true;
}

std::string commentText(std::span<const std::uint8_t> bytes, bool utf16) {
    if (utf16) {
        std::u16string units;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));
        if (auto nul = units.find(u'\0'); nul != std::u16string::npos) units.resize(nul);
        return utf8FromUtf16(units);
    }
    auto nul = std::find(bytes.begin(), bytes.end(), std::uint8_t{0});
    return decodeEightBitText(bytes.first(static_cast<std::size_t>(nul - bytes.begin())));
}

// A comment block of RAR 1.5-2.x (type 0x75) embedded in a main or file header.
std::optional<std::string> embeddedComment(std::span<const std::uint8_t> block) {
    if (block.size() < 13) return std::nullopt;
    ByteReader r(block);
    r.seek(5);
    const std::size_t size = r.u16();
    const std::uint16_t unpSize = r.u16();
    const unsigned unpVer = r.u8();
    const unsigned method = r.u8();
    const std::uint16_t textCrc = r.u16();
    if (size > block.size() || size < 13) return std::nullopt;
    auto packed = block.subspan(13, size - 13);
    std::vector<std::uint8_t> text;
    if (method == 0x30) {
        if (packed.size() < unpSize) return std::nullopt;
        text.assign(packed.begin(), packed.begin() + unpSize);
    } else {
        auto unpacked = unpackRar4Data(packed, unpVer, method, unpSize, std::nullopt);
        if (!unpacked) return std::nullopt;
        text = std::move(*unpacked);
    }
    if (crc16(text) != textCrc) return std::nullopt;
    return commentText(text, false);
}

class Rar4Walker {
public:
    Rar4Walker(const ByteSource& source, const ReadOptions& options, Archive& archive, ArchiveVisitor& visitor)
        : source_(source), options_(options), archive_(archive), visitor_(visitor) {}

    std::optional<ReadProblem> run(std::uint64_t signatureOffset);

private:
    std::optional<ReadProblem> walk(std::uint64_t signatureOffset);
    // A file header and the blocks after it that may still add to its entry (a CMT
    // service block holds its comment) are handed on together, once the next file header
    // or the end shows that the entry is complete.
    void emit(const Block& block);
    void handOnGroup();
    std::optional<ReadProblem> readPlainHeader(std::uint64_t pos, Header& h);
    std::optional<ReadProblem> readEncryptedHeader(std::uint64_t pos, Header& h);
    std::optional<ReadProblem> checkCrc(std::uint64_t pos, const Header& h, const FileFields* fields);
    const Rar3Key* keyFor(std::span<const std::uint8_t> salt);
    Entry makeEntry(const Header& h, const FileFields& f, std::uint64_t pos) const;
    std::optional<std::string> serviceComment(const Entry& e, bool utf16);

    const ByteSource& source_;
    const ReadOptions& options_;
    Archive& archive_;
    ArchiveVisitor& visitor_;
    std::map<std::array<std::uint8_t, 8>, Rar3Key> keys_;
    bool firstEncryptedHeader_ = true;
    std::size_t entries_ = 0;
    std::size_t blocks_ = 0;
    std::optional<Entry> groupEntry_;
    std::vector<Block> groupBlocks_;
};

void Rar4Walker::emit(const Block& block) {
    ++blocks_;
    if (groupEntry_) groupBlocks_.push_back(block);
    else visitor_.block(archive_, block);
}

void Rar4Walker::handOnGroup() {
    if (groupEntry_) visitor_.entry(archive_, std::move(*groupEntry_));
    groupEntry_.reset();
    for (const Block& b : groupBlocks_) visitor_.block(archive_, b);
    groupBlocks_.clear();
}

const Rar3Key* Rar4Walker::keyFor(std::span<const std::uint8_t> salt) {
    std::array<std::uint8_t, 8> s{};
    std::copy(salt.begin(), salt.begin() + 8, s.begin());
    auto it = keys_.find(s);
    if (it != keys_.end()) return &it->second;
    if (keys_.size() >= kMaxHeaderSalts) return nullptr;
    return &keys_.emplace(s, deriveRar3Key(options_.password, s)).first->second;
}

std::optional<ReadProblem> Rar4Walker::readPlainHeader(std::uint64_t pos, Header& h) {
    const std::uint64_t left = source_.size() - pos;
    if (left < 7) return problem(ProblemKind::Truncated, pos, "block header cut off");
    // The header's own buffer is reused from block to block: a walk over many small
    // headers then costs no allocation per header.
    h.bytes.resize(7);
    if (auto got = source_.readAt(pos, h.bytes); !got || *got != 7)
        return problem(ProblemKind::CannotOpen, pos, got ? "unexpected end of data" : got.message());
    const std::size_t size = le16(h.bytes, 5);
    if (size < 7) return problem(ProblemKind::BadHeader, pos, "header size below 7");
    if (size > left) return problem(ProblemKind::Truncated, pos, "block header cut off");
    h.bytes.resize(size);
    if (auto got = source_.readAt(pos + 7, std::span<std::uint8_t>(h.bytes).subspan(7)); !got || *got != size - 7)
        return problem(ProblemKind::CannotOpen, pos, got ? "unexpected end of data" : got.message());
    h.onDisk = size;
    return std::nullopt;
}

std::optional<ReadProblem> Rar4Walker::readEncryptedHeader(std::uint64_t pos, Header& h) {
    const std::uint64_t left = source_.size() - pos;
    if (left < 8 + 16) return problem(ProblemKind::Truncated, pos, "encrypted block header cut off");
    auto first = source_.readExact(pos, 8 + 16);
    if (!first) return problem(ProblemKind::CannotOpen, pos, first.message());
    const Rar3Key* key = keyFor(std::span<const std::uint8_t>(*first).first(8));
    if (!key) return problem(ProblemKind::BadHeader, pos, "too many header salts");
    std::array<std::uint8_t, 16> block{};
    std::copy(first->begin() + 8, first->end(), block.begin());
    {
        auto aes = AesCbc::create(key->key, key->iv);
        if (!aes) return problem(ProblemKind::BadHeader, pos, aes.message());
        aes->decrypt(block);
    }
    const std::size_t size = static_cast<std::size_t>(block[5] | block[6] << 8);
    const std::size_t padded = (size + 15) / 16 * 16;
    if (size < 7 || 8 + padded > left) {
        if (firstEncryptedHeader_) return problem(ProblemKind::WrongPassword, pos, "encrypted header does not decrypt");
        return problem(size < 7 ? ProblemKind::BadHeader : ProblemKind::Truncated, pos, "encrypted block header damaged");
    }
    auto whole = source_.readExact(pos + 8, padded);
    if (!whole) return problem(ProblemKind::CannotOpen, pos, whole.message());
    auto aes = AesCbc::create(key->key, key->iv);
    if (!aes) return problem(ProblemKind::BadHeader, pos, aes.message());
    aes->decrypt(*whole);
    whole->resize(size);
    h.bytes = std::move(*whole);
    h.onDisk = 8 + padded;
    return std::nullopt;
}

std::optional<ReadProblem> Rar4Walker::checkCrc(std::uint64_t pos, const Header& h, const FileFields* fields) {
    bool ok = true;
    const std::size_t size = h.bytes.size();
    switch (h.type) {
        case kMainHead:
            ok = crcMatches(h.bytes, size) || ((h.flags & 0x0002) && crcMatches(h.bytes, 13));
            break;
        case kFileHead:
            // With an embedded comment the checksum stops before the comment block.
            ok = crcMatches(h.bytes, size) || (fields && fields->commentAt && crcMatches(h.bytes, fields->nameEnd));
            break;
        case kServiceHead:
        case kEndHead:
        case kProtectHead:
            ok = crcMatches(h.bytes, size);
            break;
        case kSubHead:
            ok = crcMatches(h.bytes, size);
            if (!ok && !archive_.headersEncrypted && h.dataSize <= kMaxCheckedSubBlockData) {
                auto data = source_.readExact(pos + h.onDisk, static_cast<std::size_t>(h.dataSize));
                if (data) {
                    std::uint32_t crc = crc32(std::span<const std::uint8_t>(h.bytes).subspan(2));
                    crc = crc32(crc, *data);
                    ok = static_cast<std::uint16_t>(crc & 0xFFFF) == le16(h.bytes, 0);
                }
            }
            break;
        default:
            // Old block types whose checksum range no sample confirms: not held against them
            // in plain headers. Encrypted headers come from versions that checksum every
            // header whole, and garbage from a wrong key must not pass as an old block.
            if (archive_.headersEncrypted) ok = crcMatches(h.bytes, size);
            break;
    }
    if (ok) return std::nullopt;
    if (archive_.headersEncrypted && firstEncryptedHeader_)
        return problem(ProblemKind::WrongPassword, pos, "encrypted header does not decrypt");
    return problem(ProblemKind::HeaderCrc, pos, "header checksum mismatch");
}

Entry Rar4Walker::makeEntry(const Header& h, const FileFields& f, std::uint64_t pos) const {
    Entry e;
    e.path = decodeRar4Name(f.name, (h.flags & 0x0200) != 0);
    e.headerFlags = h.flags;
    e.rawMethod = f.method;
    e.method = f.method >= 0x30 ? f.method - 0x30 : f.method;
    e.version = f.unpVer;
    e.dictionaryCode = (h.flags >> 5) & 7;
    e.hostOs = f.hostOs;
    e.attributes = f.attr;
    e.unpackedSize = f.unpSize;
    e.packedSize = h.dataSize;
    e.crc32 = f.fileCrc;
    e.mtime.kind = EntryTime::Kind::DosLocal;
    e.mtime.dos = f.ftime;
    e.encrypted = (h.flags & 0x0004) != 0;
    e.splitBefore = (h.flags & 0x0001) != 0;
    e.splitAfter = (h.flags & 0x0002) != 0;
    e.isDirectory = (h.flags & 0x00E0) == 0x00E0 ||
                    (f.hostOs <= 2 && (f.attr & 0x10) && f.packSize == 0 && f.unpSize == 0);
    if (e.unixHost() && (f.attr & 0xF000) == 0xA000) e.link = LinkKind::UnixSymlink;
    e.blockOffset = pos;
    e.dataOffset = pos + h.onDisk;
    e.hasSalt = f.hasSalt;
    e.salt = f.salt;
    return e;
}

std::optional<std::string> Rar4Walker::serviceComment(const Entry& e, bool utf16) {
    if (e.packedSize > kMaxCommentSize || e.unpackedSize > kMaxCommentSize) return std::nullopt;
    auto data = source_.readExact(e.dataOffset, static_cast<std::size_t>(e.packedSize));
    if (!data) return std::nullopt;
    if (e.encrypted) {
        // Only AES (RAR 2.9+) with a salt can be opened; the RAR 2.0 cipher cannot.
        if (e.version < 29 || !e.hasSalt || options_.password.empty() || data->size() % 16 != 0) return std::nullopt;
        const Rar3Key* key = keyFor(e.salt);
        if (!key) return std::nullopt;
        auto aes = AesCbc::create(key->key, key->iv);
        if (!aes) return std::nullopt;
        aes->decrypt(*data);
    }
    std::vector<std::uint8_t> text;
    if (e.rawMethod == 0x30) {
        if (data->size() < e.unpackedSize) return std::nullopt;
        text.assign(data->begin(), data->begin() + static_cast<std::ptrdiff_t>(e.unpackedSize));
        if (crc32(text) != e.crc32.value_or(0)) return std::nullopt;
    } else {
        auto unpacked = unpackRar4Data(*data, e.version, e.rawMethod, e.unpackedSize, e.crc32);
        if (!unpacked) return std::nullopt;
        text = std::move(*unpacked);
    }
    return commentText(text, utf16);
}

std::optional<ReadProblem> Rar4Walker::run(std::uint64_t signatureOffset) {
    auto found = walk(signatureOffset);
    // The entry before a damaged header is still handed on, as every block read.
    handOnGroup();
    return found;
}

std::optional<ReadProblem> Rar4Walker::walk(std::uint64_t signatureOffset) {
    const std::uint64_t fileSize = source_.size();
    std::uint64_t pos = signatureOffset + 7;

    Header main;
    if (auto p = readPlainHeader(pos, main)) return p;
    main.type = main.bytes[2];
    main.flags = le16(main.bytes, 3);
    if (main.type != kMainHead || main.bytes.size() < 13)
        return problem(ProblemKind::BadHeader, pos, "main archive header missing");
    if (auto p = checkCrc(pos, main, nullptr)) return p;
    archive_.archiveFlags = main.flags;
    archive_.volume = (main.flags & 0x0001) != 0;
    archive_.locked = (main.flags & 0x0004) != 0;
    archive_.solid = (main.flags & 0x0008) != 0;
    archive_.recoveryRecord = (main.flags & 0x0040) != 0;
    archive_.headersEncrypted = (main.flags & 0x0080) != 0;
    archive_.firstVolume = (main.flags & 0x0100) != 0;
    archive_.mainHeaderOffset = pos;
    archive_.mainHeaderSize = main.onDisk;
    if (main.flags & 0x0002) {
        const std::size_t at = (main.flags & 0x0200) ? 14 : 13;
        if (main.bytes.size() > at) {
            archive_.hasComment = true;
            if (options_.readComments) archive_.comment = embeddedComment(std::span<const std::uint8_t>(main.bytes).subspan(at));
        }
    }
    emit(Block{BlockKind::Main, pos, main.onDisk, kMainHead, main.flags, {}, -1, false});
    pos += main.onDisk;

    if (archive_.headersEncrypted && options_.password.empty())
        return problem(ProblemKind::PasswordRequired, pos, "headers are encrypted");

    Header h;
    while (pos < fileSize) {
        if (blocks_ >= kMaxBlocks || entries_ >= kMaxEntries) return problem(ProblemKind::BadHeader, pos, "too many headers");
        h.onDisk = 0;
        h.dataSize = 0;
        if (auto p = archive_.headersEncrypted ? readEncryptedHeader(pos, h) : readPlainHeader(pos, h)) return p;
        h.type = h.bytes[2];
        h.flags = le16(h.bytes, 3);
        // The first header decrypted with a wrong key is garbage, whichever check meets it
        // first: that says the password is wrong, not that the archive is damaged.
        const auto damaged = [&](const char* detail) {
            return problem(archive_.headersEncrypted && firstEncryptedHeader_ ? ProblemKind::WrongPassword
                                                                              : ProblemKind::BadHeader,
                           pos, detail);
        };
        if (h.flags & kLongBlock) {
            if (h.bytes.size() < 11) return damaged("long block without data size");
            h.dataSize = static_cast<std::uint32_t>(h.bytes[7] | h.bytes[8] << 8 | h.bytes[9] << 16 |
                                                    static_cast<std::uint32_t>(h.bytes[10]) << 24);
        }
        FileFields fields;
        const bool fileLike = h.type == kFileHead || h.type == kServiceHead;
        if (fileLike) {
            if (!parseFileFields(h, fields)) return damaged("file header too short");
            if (!(h.flags & kLongBlock)) return damaged("file header without data size");
            h.dataSize = fields.packSize;
        }
        if (auto p = checkCrc(pos, h, fileLike ? &fields : nullptr)) return p;
        firstEncryptedHeader_ = false;

        const bool dataFits = h.dataSize <= fileSize - pos - h.onDisk;
        const std::uint64_t blockSize = h.onDisk + (dataFits ? h.dataSize : fileSize - pos - h.onDisk);
        Block block{BlockKind::Unknown, pos, blockSize, h.type, h.flags, {}, -1, (h.flags & kSkipIfUnknown) != 0};

        switch (h.type) {
            case kFileHead: {
                handOnGroup();
                Entry e = makeEntry(h, fields, pos);
                if (archive_.solid && entries_ > 0 && ((h.flags & 0x0010) || fields.unpVer < 20)) e.solid = true;
                if (fields.commentAt) {
                    e.hasComment = true;
                    if (options_.readComments)
                        e.comment = embeddedComment(
                            std::span<const std::uint8_t>(h.bytes).subspan(fields.commentAt, fields.commentSize));
                }
                block.kind = BlockKind::File;
                block.entry = static_cast<int>(entries_++);
                groupEntry_ = std::move(e);
                break;
            }
            case kServiceHead: {
                block.kind = BlockKind::Service;
                block.serviceName.assign(fields.name.begin(), fields.name.end());
                if (block.serviceName == "CMT" && dataFits) {
                    Entry service = makeEntry(h, fields, pos);
                    const bool utf16 = (fields.attr & 0x1) != 0;
                    if (entries_ == 0 && !archive_.hasComment) {
                        archive_.hasComment = true;
                        if (options_.readComments) archive_.comment = serviceComment(service, utf16);
                    } else if (groupEntry_ && !groupEntry_->hasComment) {
                        Entry& owner = *groupEntry_;
                        owner.hasComment = true;
                        if (options_.readComments) owner.comment = serviceComment(service, utf16);
                    }
                }
                break;
            }
            case kEndHead:
                block.kind = BlockKind::End;
                archive_.hasEndBlock = true;
                archive_.moreVolumes = (h.flags & 0x0001) != 0;
                archive_.endBlockOffset = pos;
                archive_.endBlockFlags = h.flags;
                break;
            case kCommentHead: block.kind = BlockKind::OldComment; break;
            case kAvHead: block.kind = BlockKind::OldAv; break;
            case kSubHead: block.kind = BlockKind::OldSub; break;
            case kProtectHead: block.kind = BlockKind::OldProtect; break;
            case kSignHead: block.kind = BlockKind::OldSign; break;
            default: break;
        }
        emit(block);
        pos += blockSize;
        archive_.endOffset = pos;
        if (!dataFits) return problem(ProblemKind::Truncated, block.offset, "data area runs past the end of the file");
        // Nothing after the end block belongs to the archive.
        if (h.type == kEndHead) return std::nullopt;
    }
    archive_.endOffset = pos;
    return std::nullopt;
}

}  // namespace

std::optional<ReadProblem> readRar4Blocks(const ByteSource& source, std::uint64_t signatureOffset,
                                          const ReadOptions& options, Archive& archive, ArchiveVisitor& visitor) {
    Rar4Walker walker(source, options, archive, visitor);
    return walker.run(signatureOffset);
}

}  // namespace rar
