#pragma once
// Reads an archive's block headers from start to end, seeking over every data area, so
// that the cost depends on the number of entries and not on the archive's size. The
// signature may follow an executable stub (self-extracting archives). A caller that
// needs each entry only once (a listing, a deletion) takes them as they are read through
// an ArchiveVisitor, so that its memory does not grow with the number of entries.
#include <filesystem>
#include <optional>
#include <string>

#include "archiver/rar/archive.h"
#include "archiver/rar/byte_source.h"

namespace rar {

struct ReadOptions {
    // Opens encrypted headers; data encryption needs no password to list or delete.
    std::string password;
    // Archive and entry comments: their data areas are read (and, when compressed,
    // unpacked), which a deleter does not need.
    bool readComments = true;
};

// What could be read. With a problem, `archive` still holds everything read before it
// (the entries before a damaged header, for instance); `isRar` tells whether a RAR
// signature was found at all.
struct ReadResult {
    bool isRar = false;
    Archive archive;
    std::optional<ReadProblem> problem;
};

// How far into a file the signature is looked for, which bounds the work on a large file
// that is no archive. Self-extracting stubs are far smaller.
inline constexpr std::uint64_t kMaxSfxStubSize = 8 * 1024 * 1024;

// Headers beyond these counts are reported as damage: the entry list is the one thing
// that grows with the archive, and a file of nothing but tiny headers must not turn into
// gigabytes of it.
inline constexpr std::size_t kMaxEntries = 1'000'000;
inline constexpr std::size_t kMaxBlocks = 4'000'000;

// Receives the entries and blocks in file order while they are read. `archive` holds the
// archive-level fields read so far (format, flags, the archive comment, which comes
// before the first entry); its entry and block lists stay empty.
class ArchiveVisitor {
public:
    virtual ~ArchiveVisitor() = default;
    // An entry, once the blocks that belong to it (its comment) have been read too.
    virtual void entry(const Archive& archive, Entry&& entry) = 0;
    // Every block; a file block comes right after the entry it holds.
    virtual void block(const Archive& archive, const Block& block) = 0;
};

// Collects everything into ReadResult::archive.
ReadResult readArchive(const ByteSource& source, const ReadOptions& options);
ReadResult readArchive(const std::filesystem::path& path, const ReadOptions& options);
// Hands entries and blocks to `visitor` instead of collecting them.
ReadResult readArchive(const ByteSource& source, const ReadOptions& options, ArchiveVisitor& visitor);

// Where the signature of each format starts, if anywhere within the bound above.
struct SignatureMatch {
    Format format = Format::Rar4;
    std::uint64_t offset = 0;
};
std::optional<SignatureMatch> findSignature(const ByteSource& source);

}  // namespace rar
