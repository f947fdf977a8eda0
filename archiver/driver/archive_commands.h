#pragma once
// The archive commands the jobs use, one archive at a time. The real implementation
// drives the myrar archiver; tests use fakes.
#include <string>
#include <vector>

#include "archiver/driver/listing_entry.h"
#include "archiver/driver/status_sink.h"

// What a listing gave: the entries in listing order, or, when the archive could not be
// listed at all, no entries and `problem` saying why (missing, damaged, not an archive...).
struct Listing {
    std::vector<ListingEntry> entries;
    bool listed = true;
    std::string problem;
};

// What a delete did, or, from planDelete, what it would do.
struct DeleteOutcome {
    enum class Kind { Deleted, NothingMatched, Failed };
    Kind kind = Kind::Failed;
    std::string detail;                       // the archiver's own reason on failure (UTF-8)
    int exitCode = -1;                        // the archiver's exit code; -1 when it did not run or was killed
    std::vector<std::string> removedEntries;  // the entries taken out, in the archiver's order
    // An archive left without entries is never destroyed: the original goes to the trash,
    // or, where no trash takes it, stays as a valid archive without entries.
    enum class Emptied { No, MovedToTrash, KeptEmpty };
    Emptied emptied = Emptied::No;  // from planDelete: MovedToTrash means "would be emptied"
    std::string trashedFile;        // MovedToTrash after a real delete: where the original now lies

    bool success() const { return kind == Kind::Deleted; }
};

class ArchiveCommands {
public:
    virtual ~ArchiveCommands() = default;

    virtual Listing listArchive(const std::string& archivePath, const std::string& password) = 0;
    virtual std::string readArchiveComment(const std::string& archivePath, const std::string& password) = 0;
    virtual bool addToArchive(const std::string& archivePath, const std::vector<std::string>& files,
                              const StatusSink& sink) = 0;
    virtual bool extractArchive(const std::string& archivePath, bool withPaths, const StatusSink& sink) = 0;
    virtual DeleteOutcome deleteFromArchive(const std::string& archivePath,
                                            const std::vector<std::string>& entryNames,
                                            const StatusSink& sink) = 0;
    // The same reading, matching and checks as deleteFromArchive, writing nothing: what a
    // delete of these names would take out, or why it would be refused.
    virtual DeleteOutcome planDelete(const std::string& archivePath, const std::vector<std::string>& entryNames) = 0;
    // Whether a delete-list name can reach the archiver intact; the jobs skip the others.
    virtual bool canPassName(const std::string& entryName) const = 0;
};
