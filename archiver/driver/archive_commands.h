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

struct DeleteOutcome {
    enum class Kind { Deleted, NothingMatched, Failed };
    Kind kind = Kind::Failed;
    std::string detail;  // the archiver's own reason on failure (UTF-8)

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
};
