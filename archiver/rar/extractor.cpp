#include "archiver/rar/extractor.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

#include "archiver/rar/archive_reader.h"
#include "archiver/rar/blake2sp.h"
#include "archiver/rar/byte_source.h"
#include "archiver/rar/crc32.h"
#include "archiver/rar/crypto.h"
#include "archiver/rar/extractor_libarchive.h"
#include "archiver/rar/extractor_output.h"
#include "archiver/rar/extractor_paths.h"
#include "archiver/rar/extractor_rar5_wrap.h"
#include "archiver/rar/extractor_sources.h"
#include "archiver/rar/file_stamp.h"
#include "archiver/rar/rar4_dos_time.h"
#include "archiver/rar/rar4_name_encoder.h"
#include "archiver/rar/rar4_writer_headers.h"
#include "platform/file.h"
#include "platform/paths.h"

namespace rar {
namespace {

using platform::Result;
using platform::Status;

constexpr std::size_t kChunk = 1 << 20;
// Link targets are short paths; a larger "target" is a damaged or hostile entry.
constexpr std::uint64_t kMaxLinkTarget = 64 * 1024;

EntryOutcome fail(EntryFailure f, std::string detail) { return EntryOutcome{f, std::move(detail)}; }

class Extraction {
public:
    Extraction(const std::filesystem::path& archivePath, const Archive& archive, const ExtractOptions& options,
               ExtractObserver* observer)
        : archivePath_(archivePath), archive_(archive), options_(options), observer_(observer) {}

    ExtractSummary run();

private:
    EntryOutcome extractOne(std::size_t index, const Entry& e, const std::filesystem::path& target,
                            const std::vector<std::string>& components);
    EntryOutcome writeFile(std::size_t index, const Entry& e, const std::filesystem::path& target);
    EntryOutcome writeLink(std::size_t index, const Entry& e, const std::filesystem::path& target,
                           const std::vector<std::string>& components);
    EntryOutcome copyLinkedFile(const Entry& e, const std::filesystem::path& target);
    Result<std::unique_ptr<EntrySource>> openSource(std::size_t index, const Entry& e, EntryFailure& why);
    EntryOutcome checkSum(const Entry& e, std::uint32_t crc, const std::optional<std::array<std::uint8_t, 32>>& blake2);
    std::optional<EntryOutcome> prepareTarget(const std::filesystem::path& target);
    FileStamp stampOf(const Entry& e);
    Status ensureFile();

    Result<std::uint64_t> rar5StreamLength(const Entry& e);
    const Rar3Key& rar3Key(const std::array<std::uint8_t, 8>& salt);
    Result<const Rar5Keys*> rar5Keys(const Rar5Encryption& enc);

    const std::filesystem::path& archivePath_;
    const Archive& archive_;
    const ExtractOptions& options_;
    ExtractObserver* observer_;

    std::optional<platform::ReadableFile> file_;
    std::unique_ptr<LibarchiveReader> libarchive_;
    std::string libarchiveError_;
    std::unique_ptr<DecryptedPump> pump_;
    std::unique_ptr<LibarchiveReader> pumpReader_;
    std::map<std::array<std::uint8_t, 8>, Rar3Key> rar3Keys_;
    std::map<std::pair<std::array<std::uint8_t, 16>, unsigned>, Rar5Keys> rar5Keys_;
    std::map<std::string, std::filesystem::path> written_;  // entry path -> file written, for hard links
    std::vector<std::pair<std::filesystem::path, FileStamp>> folders_;
    std::vector<std::uint8_t> buffer_;
};

Status Extraction::ensureFile() {
    if (file_) return Status::success();
    auto f = platform::ReadableFile::open(archivePath_);
    if (!f) return f.status();
    file_.emplace(std::move(*f));
    return Status::success();
}

const Rar3Key& Extraction::rar3Key(const std::array<std::uint8_t, 8>& salt) {
    auto it = rar3Keys_.find(salt);
    if (it == rar3Keys_.end()) it = rar3Keys_.emplace(salt, deriveRar3Key(options_.password, salt)).first;
    return it->second;
}

Result<const Rar5Keys*> Extraction::rar5Keys(const Rar5Encryption& enc) {
    if (enc.version != 0) return Status::failure("unknown RAR5 encryption version " + std::to_string(enc.version));
    if (enc.log2Count > kRar5MaxKdfLog2) return Status::failure("RAR5 key derivation count too large");
    const auto key = std::make_pair(enc.salt, enc.log2Count);
    auto it = rar5Keys_.find(key);
    if (it == rar5Keys_.end())
        it = rar5Keys_.emplace(key, deriveRar5Keys(options_.password, enc.salt, enc.log2Count)).first;
    return &it->second;
}

// One decrypting pass over an encrypted RAR5 entry to find where its compressed stream
// ends inside the padded data.
Result<std::uint64_t> Extraction::rar5StreamLength(const Entry& e) {
    auto keys = rar5Keys(*e.rar5Encryption);
    if (!keys) return keys.status();
    auto aes = AesCbc::create((*keys)->key, e.rar5Encryption->iv);
    if (!aes) return aes.status();
    Rar5BlockWalker walker;
    buffer_.resize(kChunk);
    for (std::uint64_t offset = 0; offset < e.packedSize;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, e.packedSize - offset));
        auto n = file_->readAt(e.dataOffset + offset, std::span(buffer_).first(want));
        if (!n) return n.status();
        if (*n != want) return Status::failure("the archive ends inside the entry's data");
        aes->decrypt(std::span(buffer_).first(want));
        offset += want;
        if (!walker.feed(std::span<const std::uint8_t>(buffer_).first(want))) break;
    }
    if (!walker.length() || *walker.length() > e.packedSize)
        return Status::failure("compressed data does not decrypt (wrong password?)");
    return *walker.length();
}

FileStamp Extraction::stampOf(const Entry& e) {
    FileStamp s;
    if (e.mtime.kind == EntryTime::Kind::UnixUtc) {
        s.unixSeconds = e.mtime.unixSeconds;
    } else if (e.mtime.kind == EntryTime::Kind::DosLocal) {
        s.unixSeconds = unixFromDosTime(e.mtime.dos).value_or(0);
        // EXT_TIME refines the DOS time; under header encryption the header on disk is
        // not readable as it is, and the DOS time has to do.
        if (archive_.format == Format::Rar4 && !archive_.headersEncrypted && e.dataOffset > e.blockOffset &&
            e.dataOffset - e.blockOffset <= 65535 && ensureFile()) {
            std::vector<std::uint8_t> header(static_cast<std::size_t>(e.dataOffset - e.blockOffset));
            auto n = file_->readAt(e.blockOffset, header);
            if (n && *n == header.size())
                if (auto t = decodeRar4ExtMtime(header)) {
                    s.unixSeconds += t->oddSecond ? 1 : 0;
                    s.nanoseconds = t->fraction100ns * 100;
                }
        }
    } else {
        s.unixSeconds = 0;
    }
    if (e.unixHost())
        s.windowsAttributes = (e.attributes & 0200) ? 0x20u : 0x21u;
    else
        s.windowsAttributes = static_cast<std::uint32_t>(e.attributes & 0x27);
    return s;
}

std::optional<EntryOutcome> Extraction::prepareTarget(const std::filesystem::path& target) {
    switch (targetState(target)) {
        case TargetState::Absent:
            return std::nullopt;
        case TargetState::Folder:
            return fail(EntryFailure::WriteError, platform::utf8FromPath(target) + " exists as a folder");
        default:
            if (!options_.overwrite && !(options_.confirmOverwrite && options_.confirmOverwrite(target)))
                return fail(EntryFailure::Exists, platform::utf8FromPath(target) + " exists");
            if (auto s = removeForReplace(target); !s) return fail(EntryFailure::WriteError, s.message());
            return std::nullopt;
    }
}

Result<std::unique_ptr<EntrySource>> Extraction::openSource(std::size_t index, const Entry& e, EntryFailure& why) {
    why = EntryFailure::ReadError;
    if (auto s = ensureFile(); !s) return s;
    if (e.splitBefore || e.splitAfter) {
        why = EntryFailure::Unsupported;
        return Status::failure("the entry continues in another volume");
    }
    const bool stored = e.method == 0;
    if (e.encrypted && options_.password.empty()) {
        why = EntryFailure::PasswordMissing;
        return Status::failure("the entry is encrypted and no password was given");
    }

    std::optional<AesCbc> aes;
    if (e.encrypted) {
        if (archive_.format == Format::Rar4) {
            // UNP_VER below 29 means the RAR 1.5 / 2.0 ciphers, which we do not have.
            if (e.version < 29 || !e.hasSalt) {
                why = EntryFailure::Unsupported;
                return Status::failure("the entry uses an old RAR cipher");
            }
            const Rar3Key& k = rar3Key(e.salt);
            auto a = AesCbc::create(k.key, k.iv);
            if (!a) return a.status();
            aes.emplace(std::move(*a));
        } else {
            if (!e.rar5Encryption) {
                why = EntryFailure::Unsupported;
                return Status::failure("the entry's encryption record is missing");
            }
            auto keys = rar5Keys(*e.rar5Encryption);
            if (!keys) {
                why = EntryFailure::Unsupported;
                return keys.status();
            }
            if (e.rar5Encryption->hasCheckValue() && rar5CheckValueIntact(e.rar5Encryption->checkValue) &&
                !rar5PasswordMatches(**keys, e.rar5Encryption->checkValue)) {
                why = EntryFailure::WrongPassword;
                return Status::failure("wrong password");
            }
            auto a = AesCbc::create((*keys)->key, e.rar5Encryption->iv);
            if (!a) return a.status();
            aes.emplace(std::move(*a));
        }
        if (e.packedSize % AesCbc::kBlockSize != 0) return Status::failure("encrypted data is not a whole number of blocks");
    }

    if (stored) {
        if (e.packedSize < e.unpackedSize) return Status::failure("stored data shorter than the entry");
        return std::unique_ptr<EntrySource>(new StoredSource(*file_, e, std::move(aes)));
    }

    why = EntryFailure::UnsupportedCompression;
    if (!LibarchiveReader::available())
        return Status::failure("unsupported compression: this build has no decompressor");
    if (e.encrypted) {
        // Solid data needs the state of the entries before it, which a one-entry
        // archive cannot give.
        if (e.solid) return Status::failure("unsupported compression: encrypted solid data");
        std::vector<std::uint8_t> lead;
        std::span<const std::uint8_t> tail;
        std::uint64_t dataSize = e.packedSize;
        if (archive_.format == Format::Rar4) {
            auto name = encodeRar4Name(e.path);
            Rar4RawFileFields f;
            f.flags = static_cast<std::uint16_t>(0x8000 | (e.headerFlags & 0x00E0) | (name && name->unicode ? 0x0200 : 0));
            f.packedSize = e.packedSize;
            f.unpackedSize = e.unpackedSize;
            f.hostOs = static_cast<std::uint8_t>(e.hostOs);
            f.crc = e.crc32.value_or(0);
            f.dosTime = e.mtime.dos;
            f.unpVer = static_cast<std::uint8_t>(e.version);
            f.method = static_cast<std::uint8_t>(e.rawMethod);
            f.attributes = static_cast<std::uint32_t>(e.attributes);
            f.nameField = name ? name->field : std::vector<std::uint8_t>{'x'};
            lead.assign(kRar4Marker.begin(), kRar4Marker.end());
            lead.insert(lead.end(), kRar4PlainMainHeader.begin(), kRar4PlainMainHeader.end());
            const auto header = encodeRar4RawFileHeader(f);
            lead.insert(lead.end(), header.begin(), header.end());
            tail = kRar4EndBlock;
        } else {
            auto length = rar5StreamLength(e);
            if (!length) {
                why = EntryFailure::BadChecksum;
                return length.status();
            }
            dataSize = *length;
            lead = rar5WrapperLead(e, dataSize);
            tail = kRar5EndHeader;
        }
        pumpReader_.reset();
        pump_ = std::make_unique<DecryptedPump>(*file_, e, std::move(*aes), std::move(lead), tail, dataSize);
        auto reader = LibarchiveReader::openPump([p = pump_.get()] { return p->next(); });
        if (!reader) return reader.status();
        pumpReader_ = std::move(*reader);
        if (auto s = pumpReader_->seek(0); !s) return s.status();
        std::optional<std::uint64_t> size;
        if (e.unpackedSizeKnown) size = e.unpackedSize;
        return std::unique_ptr<EntrySource>(new LibarchiveSource(*pumpReader_, size));
    }

    if (!libarchive_ && libarchiveError_.empty()) {
        auto reader = LibarchiveReader::openFile(archivePath_);
        if (reader)
            libarchive_ = std::move(*reader);
        else
            libarchiveError_ = reader.message();
    }
    if (!libarchive_) return Status::failure(libarchiveError_);
    // libarchive reports the file headers in archive order, as our entries are.
    auto name = libarchive_->seek(index);
    if (!name) {
        // A decompressor that lost its way cannot be trusted with the entries after it.
        libarchiveError_ = name.message();
        libarchive_.reset();
        return name.status();
    }
    std::string ours = e.path;
    std::replace(ours.begin(), ours.end(), '\\', '/');
    if (!name->empty() && *name != ours) return Status::failure("the decompressor found " + *name + " in its place");
    return std::unique_ptr<EntrySource>(new LibarchiveSource(*libarchive_));
}

EntryOutcome Extraction::checkSum(const Entry& e, std::uint32_t crc,
                                  const std::optional<std::array<std::uint8_t, 32>>& blake2) {
    const Rar5Keys* keys = nullptr;
    if (e.crcIsMac && e.rar5Encryption) {
        auto k = rar5Keys(*e.rar5Encryption);
        if (!k) return fail(EntryFailure::Unsupported, k.message());
        keys = *k;
    }
    const char* mismatch = e.encrypted ? "checksum mismatch (wrong password?)" : "checksum mismatch";
    if (e.crc32) {
        const std::uint32_t actual = keys ? rar5TweakedCrc(keys->hashKey, crc) : crc;
        if (actual != *e.crc32) return fail(EntryFailure::BadChecksum, mismatch);
    }
    if (e.blake2) {
        if (!blake2) return fail(EntryFailure::Unsupported, "BLAKE2 checksum not computed");
        const auto actual = keys ? rar5TweakedDigest(keys->hashKey, *blake2) : *blake2;
        if (actual != *e.blake2) return fail(EntryFailure::BadChecksum, mismatch);
    }
    return {};
}

EntryOutcome Extraction::writeFile(std::size_t index, const Entry& e, const std::filesystem::path& target) {
    EntryFailure why = EntryFailure::ReadError;
    auto source = openSource(index, e, why);
    if (!source) return fail(why, source.message());
    if (auto problem = prepareTarget(target)) return *problem;
    auto out = OutputFile::createNew(target);
    if (!out) return fail(EntryFailure::WriteError, out.message());

    buffer_.resize(kChunk);
    std::uint32_t crc = 0;
    std::uint64_t total = 0;
    std::optional<Blake2sp> blake;
    if (e.blake2) blake.emplace();
    while (true) {
        auto n = (*source)->read(buffer_);
        if (!n) {
            out->discard();
            // The decompressor stops on data it cannot follow: with encrypted data that
            // is the sign of a wrong password, otherwise of a feature it lacks or damage.
            if (why != EntryFailure::UnsupportedCompression) return fail(EntryFailure::ReadError, n.message());
            return fail(e.encrypted ? EntryFailure::BadChecksum : EntryFailure::UnsupportedCompression, n.message());
        }
        if (*n == 0) break;
        crc = crc32(crc, std::span(buffer_).first(*n));
        if (blake) blake->update(std::span(buffer_).first(*n));
        total += *n;
        if (auto s = out->write(std::span<const std::uint8_t>(buffer_).first(*n)); !s) {
            out->discard();
            return fail(EntryFailure::WriteError, s.message());
        }
    }
    if (e.unpackedSizeKnown && total != e.unpackedSize) {
        out->discard();
        return fail(EntryFailure::BadChecksum, "size mismatch: " + std::to_string(total) + " bytes instead of " +
                                                   std::to_string(e.unpackedSize));
    }
    std::optional<std::array<std::uint8_t, 32>> digest;
    if (blake) digest = blake->finish();
    EntryOutcome sum = checkSum(e, crc, digest);
    if (!sum.ok()) {
        out->discard();
        return sum;
    }
    if (auto s = out->close(); !s) {
        out->discard();
        return fail(EntryFailure::WriteError, s.message());
    }
    if (auto s = applyFileStamp(target, stampOf(e), false); !s) return fail(EntryFailure::WriteError, s.message());
    written_[e.path] = target;
    return {};
}

EntryOutcome Extraction::copyLinkedFile(const Entry& e, const std::filesystem::path& target) {
    // Hard links and file copies name another entry; we write a copy of what was
    // extracted for it, so no link can reach outside.
    std::string wanted = e.linkTarget;
    std::replace(wanted.begin(), wanted.end(), '/', '\\');
    auto it = written_.find(wanted);
    if (it == written_.end())
        return fail(EntryFailure::Unsupported, "the entry it copies (" + e.linkTarget + ") was not extracted");
    if (auto problem = prepareTarget(target)) return *problem;
    auto in = platform::ReadableFile::open(it->second);
    if (!in) return fail(EntryFailure::ReadError, in.message());
    auto out = OutputFile::createNew(target);
    if (!out) return fail(EntryFailure::WriteError, out.message());
    buffer_.resize(kChunk);
    for (std::uint64_t offset = 0; offset < in->size();) {
        auto n = in->readAt(offset, buffer_);
        if (!n || *n == 0) {
            out->discard();
            return fail(EntryFailure::ReadError, n ? "file shrank while copied" : n.message());
        }
        if (auto s = out->write(std::span<const std::uint8_t>(buffer_).first(*n)); !s) {
            out->discard();
            return fail(EntryFailure::WriteError, s.message());
        }
        offset += *n;
    }
    if (auto s = out->close(); !s) return fail(EntryFailure::WriteError, s.message());
    applyFileStamp(target, stampOf(e), false);
    written_[e.path] = target;
    return {};
}

EntryOutcome Extraction::writeLink(std::size_t index, const Entry& e, const std::filesystem::path& target,
                                   const std::vector<std::string>& components) {
    if (e.link == LinkKind::HardLink || e.link == LinkKind::FileCopy) return copyLinkedFile(e, target);
    if (e.link == LinkKind::Junction) return fail(EntryFailure::UnsafePath, "junctions point to absolute paths");

    std::string linkTarget = e.linkTarget;
    if (archive_.format == Format::Rar4) {
        // RAR 1.5-4.x keeps a Unix link's target as the entry's data.
        if (e.unpackedSize > kMaxLinkTarget) return fail(EntryFailure::UnsafePath, "link target too long");
        EntryFailure why = EntryFailure::ReadError;
        auto source = openSource(index, e, why);
        if (!source) return fail(why, source.message());
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(e.unpackedSize) + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            auto n = (*source)->read(std::span(bytes).subspan(got));
            if (!n) return fail(EntryFailure::ReadError, n.message());
            if (*n == 0) break;
            got += *n;
        }
        bytes.resize(got);
        std::optional<std::array<std::uint8_t, 32>> digest;
        if (e.blake2) {
            Blake2sp b;
            b.update(bytes);
            digest = b.finish();
        }
        if (EntryOutcome sum = checkSum(e, crc32(bytes), digest); !sum.ok()) return sum;
        linkTarget.assign(bytes.begin(), bytes.end());
    }
    if (!linkTargetStaysInside(components, linkTarget))
        return fail(EntryFailure::UnsafePath, "link to " + linkTarget + " points outside the destination");
    if (auto problem = prepareTarget(target)) return *problem;
    if (auto s = createSymbolicLink(target, linkTarget, e.isDirectory); !s) return fail(EntryFailure::WriteError, s.message());
    return {};
}

EntryOutcome Extraction::extractOne(std::size_t index, const Entry& e, const std::filesystem::path& target,
                                    const std::vector<std::string>& components) {
    if (e.link != LinkKind::None) return writeLink(index, e, target, components);
    if (e.isDirectory) {
        auto dir = makeFoldersBelow(options_.destination, components);
        if (!dir) return fail(EntryFailure::WriteError, dir.message());
        folders_.emplace_back(*dir, stampOf(e));
        return {};
    }
    return writeFile(index, e, target);
}

ExtractSummary Extraction::run() {
    ExtractSummary summary;
    for (std::size_t i = 0; i < archive_.entries.size(); ++i) {
        const Entry& e = archive_.entries[i];
        if (options_.select && !options_.select(e)) continue;
        // A continuation part is the same entry as the part before it.
        if (e.splitBefore) continue;
        // Without folders, folder entries have nothing to write.
        if (e.isDirectory && !options_.keepFolders && e.link == LinkKind::None) continue;
        ++summary.selected;

        EntryOutcome outcome;
        auto components = safeEntryComponents(e.path);
        if (!components) {
            if (observer_) observer_->entryStarted(e, {});
            outcome = fail(EntryFailure::UnsafePath, "unsafe path");
        } else {
            if (!options_.keepFolders) components = std::vector<std::string>{components->back()};
            std::filesystem::path target = options_.destination;
            for (const auto& c : *components) target /= platform::pathFromUtf8(c);
            if (observer_) observer_->entryStarted(e, target);
            std::vector<std::string> parents(components->begin(), components->end() - 1);
            auto parent = makeFoldersBelow(options_.destination, parents);
            if (!parent)
                outcome = fail(EntryFailure::WriteError, parent.message());
            else
                outcome = extractOne(i, e, target, *components);
        }
        if (observer_) observer_->entryFinished(e, outcome);
        if (outcome.ok())
            ++summary.extracted;
        else
            summary.failures.emplace_back(e.path, outcome);
    }
    // Folder times last, deepest first, since writing into a folder changes its time.
    for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) applyFileStamp(it->first, it->second, true);
    return summary;
}

}  // namespace

ExtractSummary extractEntries(const std::filesystem::path& archivePath, const Archive& archive,
                              const ExtractOptions& options, ExtractObserver* observer) {
    Extraction x(archivePath, archive, options, observer);
    return x.run();
}

platform::Result<ExtractSummary> extractEntries(const std::filesystem::path& archivePath, const ExtractOptions& options,
                                                ExtractObserver* observer) {
    ReadOptions ro;
    ro.password = options.password;
    ro.readComments = false;
    ReadResult read = readArchive(archivePath, ro);
    const std::string name = platform::utf8FromPath(archivePath);
    if (!read.isRar) {
        if (read.problem && read.problem->kind == ProblemKind::CannotOpen)
            return Status::failure("cannot open " + name + ": " + read.problem->detail);
        return Status::failure(name + " is not a RAR archive");
    }
    if (read.problem && read.archive.entries.empty())
        return Status::failure(name + ": " + read.problem->detail);
    ExtractSummary summary = extractEntries(archivePath, read.archive, options, observer);
    if (read.problem)
        summary.failures.emplace_back(name, EntryOutcome{EntryFailure::ReadError, read.problem->detail + " at offset " +
                                                                                       std::to_string(read.problem->offset)});
    return summary;
}

}  // namespace rar
