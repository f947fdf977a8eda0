#pragma once
// One run of RenameJob: the steps both modes share (status texts, reporting, the move
// itself, the clash), kept apart from the two modes' own walks over the list.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/status_sink.h"
#include "jobs/archive_rows.h"
#include "jobs/job_file_system.h"
#include "jobs/rename_job.h"
#include "jobs/rename_journal.h"
#include "jobs/rename_result.h"
#include "jobs/volume_set.h"

namespace jobs {

class RenameRun {
public:
    RenameRun(JobFileSystem& files, RenameJournal* journal, const RenameRequest& request, ArchiveRows& rows,
              const StatusSink& status, const RenameResultSink& onResult, std::vector<std::string>& journalProblems);

    void status(std::string_view text);
    RenameResult start(std::size_t position);  // a result for the row, its path as the old one
    void report(RenameResult result);
    void finish();

    // The archive's new path: the directory of `oldPath` and the new name.
    static std::string pathBeside(const std::string& oldPath, const std::string& name);
    // Refuses the new name or path (filling the result) and says whether it did.
    bool refuses(RenameResult& result, const std::string& name);

    // Which listed row, if any, still holds the file with this identity under its own name.
    using ListedHolder = std::function<std::optional<std::size_t>(const platform::FileIdentity&)>;

    // Moves the archive, now lying at `source`, to result.newPath; on a clash with a file
    // nobody listed the archive goes to the trash, or is kept when no trash takes it.
    void settle(RenameResult result, const std::string& source, const ListedHolder& holder);

    // Moves every volume of a set (from[i] to to[i], first volume first) or none: when one
    // cannot move, those already moved go back. A new name that is taken keeps the whole set
    // where it is; no volume goes to the trash on its own.
    void settleSet(RenameResult result, const std::vector<std::string>& from, const std::vector<std::string>& to);
    // A row that is a volume of a set another row spoke for, at `leadOrdinal`.
    void reportVolumeOfSet(std::size_t position, std::size_t leadOrdinal);

    // Records a move in the journal before it is made, and its failure after.
    void journalMove(const platform::FileIdentity& id, const std::string& from, const std::string& to);
    void journalUnmoved(const platform::FileIdentity& id, const std::string& from, const std::string& to);

    JobFileSystem& files() { return files_; }
    ArchiveRows& rows() { return rows_; }
    const RenameRequest& request() const { return request_; }
    std::vector<RenameResult>& results() { return results_; }

private:
    void clash(RenameResult& result, const std::string& source, const platform::FileIdentity& id);
    // Brings an archive left under a temporary name back to its own; says where it is.
    std::string returnHome(const RenameResult& result, const std::string& source, const platform::FileIdentity& id);
    bool beginJournal();
    void noteJournal(const platform::Status& s);

    JobFileSystem& files_;
    RenameJournal* journal_;
    const RenameRequest& request_;
    ArchiveRows& rows_;
    const StatusSink& status_;
    const RenameResultSink& onResult_;
    std::vector<std::string>& journalProblems_;
    std::vector<RenameResult> results_;
    std::map<std::string, std::string> volumesMoved_;  // a set's volume: where it went
    bool journalBegun_ = false;
};

// The list's rows grouped into archives and volume sets, and which group each row is in.
struct RowUnits {
    std::vector<ArchiveUnit> units;
    std::vector<std::size_t> unitOfRow;
};
RowUnits groupRows(RenameRun& run);

// Every volume's new path when the set takes the file name stem `newStemName` (no
// extension) in its own folder; nothing when a name is refused (the result says why).
std::optional<std::vector<std::string>> setTargets(RenameRun& run, RenameResult& result, const ArchiveUnit& unit,
                                                   const std::string& newStemName);

void renameByExtension(RenameRun& run, ArchiveCommands& commands, std::stop_token stop);
void renameByNumber(RenameRun& run);

}  // namespace jobs
