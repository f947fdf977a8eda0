#pragma once
// The record of what rename jobs did, kept in the working directory so that the last job
// can be undone; a clean job records there the archives it emptied and sent to the trash. Each move is written before it is made and each trashing right after,
// both flushed to disk, so a crash loses nothing that undo needs; undo checks every file
// by its identity before it touches it, so a record of a move that never happened is
// harmless.
//
// The file is UTF-8 text, one record per line, fields separated by tabs, with "\", tab,
// CR and LF inside a field written as \\, \t, \r, \n:
//   begin <job id> <local time> <what the job was asked>
//   begin-clean <job id> <local time> <what the job was asked>   (only trash records follow)
//   move <device:file> <from> <to>          (written before the move)
//   unmoved <device:file> <from> <to>       (the move just recorded failed)
//   trash <device:file> <from> <trashed file> <its .trashinfo>
//   end <job id>
//   undone <job id>
//   rewritten <device:file before> <device:file after> <path>
// The last kind comes from the clean job: a delete writes the archive anew, so its file
// changes identity while it stays where a rename left it, and undo must still know it.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/append_file.h"
#include "platform/file_identity.h"
#include "platform/status.h"
#include "platform/trash.h"

namespace jobs {

inline constexpr std::string_view kRenameJournalName = "pimingbao-rename-journal.txt";

enum class JournalJobKind { Rename, Clean };

class RenameJournal {
public:
    // Opens the journal for one job, dropping all but the latest jobs when it has grown large.
    static platform::Result<RenameJournal> open(const std::filesystem::path& file);

    platform::Status begin(std::string_view description, JournalJobKind kind = JournalJobKind::Rename);
    platform::Status recordMove(const platform::FileIdentity& id, const std::string& from, const std::string& to);
    platform::Status recordUnmoved(const platform::FileIdentity& id, const std::string& from, const std::string& to);
    platform::Status recordTrash(const platform::FileIdentity& id, const std::string& from,
                                 const platform::TrashedFile& trashed);
    platform::Status end();
    // Outside any rename job: the archive at `path` was written anew by a delete.
    platform::Status recordRewrite(const platform::FileIdentity& before, const platform::FileIdentity& after,
                                   const std::string& path);

    const std::string& jobId() const { return jobId_; }

private:
    explicit RenameJournal(platform::AppendFile file) : file_(std::move(file)) {}
    platform::Status write(const std::vector<std::string>& fields);
    platform::AppendFile file_;
    std::string jobId_;
};

// One job as read back from the journal.
struct JournalRecord {
    enum class Kind { Move, Trash };  // a move followed by its "unmoved" is left out
    Kind kind = Kind::Move;
    platform::FileIdentity id;
    std::string from;
    std::string to;                 // move: the new path; trash: the trashed file
    std::string trashInfo;          // trash only
};

struct JournalJob {
    std::size_t line = 0;  // where the job begins in the journal
    std::string id;
    std::string when;
    std::string description;
    bool ended = false;
    bool undone = false;
    std::vector<JournalRecord> records;
    JournalJobKind kind = JournalJobKind::Rename;
};

struct JournalRewrite {
    std::size_t line = 0;
    platform::FileIdentity before;
    platform::FileIdentity after;
    std::string path;
};

struct JournalContents {
    std::vector<JournalJob> jobs;          // oldest first
    std::vector<JournalRewrite> rewrites;  // in the order written
};

// What the journal holds. A missing journal holds nothing.
platform::Result<JournalContents> readRenameJournal(const std::filesystem::path& file);
platform::Status markJobUndone(const std::filesystem::path& file, const std::string& jobId);

// Field escaping, shared with the tests.
std::string escapeJournalField(std::string_view field);
std::optional<std::string> unescapeJournalField(std::string_view field);

}  // namespace jobs
