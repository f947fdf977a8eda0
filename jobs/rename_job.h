#pragma once
// RenameJob gives every archive of the list a new name in its own directory: after the
// entry inside it with the chosen extension, or as a prefix and a running number. It
// walks the rows from the first, writes one status text per archive and a completion
// text at the end, reports a result per archive and writes each new path back into the
// archive's row. It touches no control; it runs the same with any sink.
#include <cstddef>
#include <stop_token>
#include <string>
#include <vector>

#include "archiver/driver/archive_commands.h"
#include "archiver/driver/status_sink.h"
#include "jobs/archive_rows.h"
#include "jobs/job_file_system.h"
#include "jobs/rename_journal.h"
#include "jobs/rename_result.h"

namespace jobs {

enum class RenameMode { ByExtension, ByNumber };

struct RenameRequest {
    RenameMode mode = RenameMode::ByExtension;
    std::string extension;    // 编辑框_后缀
    std::string prefix;       // 编辑框_前缀
    std::string startNumber;  // 编辑框_序号
    // Work out and report what would happen, and change nothing: no file, no row, no
    // journal, no status text.
    bool dryRun = false;
};

// The password every listing passes, so that an encrypted archive never stops it to ask.
inline constexpr const char* kListingPassword = "tz5083";

class RenameJob {
public:
    RenameJob(ArchiveCommands& commands, JobFileSystem& files) : commands_(commands), files_(files) {}

    // Every move and trashing is recorded there, so the job can be undone; may be null.
    void setJournal(RenameJournal* journal) { journal_ = journal; }

    // A stop request is honoured between two archives of the extension mode; the number
    // mode only renames files and always finishes, so no archive is left half-way under a
    // temporary name.
    std::vector<RenameResult> run(const RenameRequest& request, ArchiveRows& rows, const StatusSink& status,
                                  const RenameResultSink& onResult = {}, std::stop_token stop = {});

    // What went wrong writing the journal during the last run; the renames went on.
    const std::vector<std::string>& journalProblems() const { return journalProblems_; }

private:
    ArchiveCommands& commands_;
    JobFileSystem& files_;
    RenameJournal* journal_ = nullptr;
    std::vector<std::string> journalProblems_;
};

}  // namespace jobs
