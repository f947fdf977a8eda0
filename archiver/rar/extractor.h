#pragma once
// Extracting the entries of one archive into a destination folder. Stored entries
// (plain, RAR 3.x AES and RAR5 AES) are read by our own code; compressed ones go through
// libarchive. Every file written is checked against the entry's CRC; a file that fails
// the check is deleted again. Nothing is written outside the destination.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "archiver/rar/archive.h"
#include "platform/status.h"

namespace rar {

struct ExtractOptions {
    std::filesystem::path destination;
    bool keepFolders = true;  // false: every file straight into the destination
    bool overwrite = false;   // false: an existing file is kept unless confirmOverwrite says yes
    // Asked for each existing file when overwrite is off; empty: never overwrite.
    std::function<bool(const std::filesystem::path&)> confirmOverwrite;
    std::string password;     // UTF-8; empty: encrypted entries fail
    // Picks the entries to extract; empty: all of them.
    std::function<bool(const Entry&)> select;
};

enum class EntryFailure {
    None,
    UnsafePath,        // "..", absolute, drive letter, or a link pointing outside
    Exists,            // the target exists and overwriting is off
    PasswordMissing,
    WrongPassword,     // detected before writing (RAR5 password check)
    BadChecksum,       // CRC mismatch (for RAR 3.x encryption also the sign of a wrong password)
    UnsupportedCompression,
    Unsupported,       // split across volumes, old ciphers, checksum we cannot verify, ...
    ReadError,         // the archive's data could not be read
    WriteError,
};

struct EntryOutcome {
    EntryFailure failure = EntryFailure::None;
    std::string detail;  // technical detail, English
    bool ok() const { return failure == EntryFailure::None; }
};

class ExtractObserver {
public:
    virtual ~ExtractObserver() = default;
    // `target` is where the entry goes; empty when its name was refused.
    virtual void entryStarted(const Entry&, const std::filesystem::path& /*target*/) {}
    virtual void entryFinished(const Entry&, const EntryOutcome&) {}
};

struct ExtractSummary {
    std::size_t selected = 0;
    std::size_t extracted = 0;  // written and checked
    std::vector<std::pair<std::string, EntryOutcome>> failures;  // entry path, why
    bool allOk() const { return failures.empty(); }
};

// Fails as a whole only when the archive cannot be read at all (not found, no RAR
// archive, headers not opened); a damaged part after readable entries still lets those
// be extracted, and is reported as a failure of the summary.
platform::Result<ExtractSummary> extractEntries(const std::filesystem::path& archivePath, const ExtractOptions& options,
                                                ExtractObserver* observer = nullptr);

// The same for an archive already read (tests, and callers that listed it first).
ExtractSummary extractEntries(const std::filesystem::path& archivePath, const Archive& archive,
                              const ExtractOptions& options, ExtractObserver* observer = nullptr);

}  // namespace rar
