#pragma once
// CleanJob deletes the entries named in the delete list from inside every archive of the
// list, in place. It walks the rows from the first, writes one status text per archive,
// lets the delete command write its own texts, and ends with its completion text. It
// touches no control; it runs the same with any sink.
#include <cstddef>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "archiver/driver/archive_commands.h"
#include "archiver/driver/status_sink.h"
#include "jobs/archive_rows.h"
#include "jobs/job_file_system.h"
#include "jobs/rename_journal.h"

namespace jobs {

struct CleanRequest {
    std::string deleteList;  // the text of 编辑框1, one name per line
    // Ask the archiver what each delete would do, changing nothing; no status text is written.
    bool dryRun = false;
};

struct CleanResult {
    enum class Outcome {
        Deleted,            // entries were removed, others are left
        Emptied,            // every entry was removed; the original archive is in the trash (trashedFile)
        KeptEmpty,          // every entry was removed; no trash took it, so it stays as an archive without entries
        NothingMatched,     // no entry had one of the names; the archive is unchanged
        Failed,             // the archiver refused or failed; reason says why
        NothingToDelete,    // the delete list holds no name that can be passed on; nothing ran
        WouldDelete,        // dry run: `entries` would go, others would be left
        WouldEmpty,         // dry run: every entry would go, and the archive to the trash
        WouldMatchNothing,  // dry run: no entry would go
        WouldFail,          // dry run: the archiver would refuse; reason says why
        VolumeOfSet,        // a later volume of a set: the row of its first volume speaks for the set
    };
    // A dry run and the real run of the same job fall into the same categories.
    enum class Category { Changed, Unchanged, Failed };

    std::size_t ordinal = 0;
    std::string path;
    Outcome outcome = Outcome::Failed;
    std::string detail;                // the whole line for this archive, in the window's language
    std::string reason;                // Failed, WouldFail: the archiver's reason on one line
    std::vector<std::string> entries;  // the entries removed (or that would be), in the archiver's order
    std::string trashedFile;           // Emptied: where the original archive lies now; empty when the trash did not say

    std::size_t removedCount() const { return entries.size(); }
    Category category() const;
};

using CleanResultSink = std::function<void(const CleanResult&)>;

class CleanJob {
public:
    explicit CleanJob(ArchiveCommands& commands) : commands_(commands) {}
    // With the file system, the job first clears what an archiver killed earlier left in each
    // folder (temporary files of hundreds of MB), and it can journal.
    CleanJob(ArchiveCommands& commands, JobFileSystem& files) : commands_(commands), files_(&files) {}

    // A delete writes an archive anew, which gives its file a new identity; recording that
    // lets undo still recognise an archive that an earlier rename left there. An archive the
    // delete emptied went to the trash, and the journal lets undo bring it back.
    void setJournal(RenameJournal* journal, JobFileSystem* files) {
        journal_ = journal;
        if (files) files_ = files;
    }

    // All names go to one delete command per archive. A stop request is honoured between
    // two archives: a delete under way always finishes.
    std::vector<CleanResult> run(const CleanRequest& request, const ArchiveRows& rows, const StatusSink& status,
                                 const CleanResultSink& onResult = {}, std::stop_token stop = {});

    const std::vector<std::string>& journalProblems() const { return journalProblems_; }
    // The names of the last run that the archiver cannot be handed: each is left out, once,
    // with a status text, and the other names still apply.
    const std::vector<std::string>& skippedNames() const { return skippedNames_; }

private:
    ArchiveCommands& commands_;
    RenameJournal* journal_ = nullptr;
    JobFileSystem* files_ = nullptr;
    std::vector<std::string> journalProblems_;
    std::vector<std::string> skippedNames_;
};

}  // namespace jobs
