#pragma once
// Undoing the last rename job that did something and is not undone yet: its moves are
// reversed newest first and its trashed archives come back, each only while the file is
// still where the job left it (same identity) and its old name is free. The job counts as
// undone once nothing of it is left that could still be put back.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "archiver/driver/status_sink.h"
#include "jobs/job_file_system.h"
#include "platform/status.h"

namespace jobs {

struct UndoStep {
    // InTrashUnknownWhere: the trash took it without saying where, so only the desktop's
    // own restore can bring it back.
    enum class Outcome { Restored, NotWhereLeft, OldNameTaken, InTrashUnknownWhere, Failed };
    Outcome outcome = Outcome::Failed;
    std::string from;  // where the job left the archive (a path, or its place in the trash)
    std::string to;    // where undo puts it back
    std::string detail;
};

struct UndoReport {
    bool foundJob = false;
    std::string when;
    std::string description;
    std::vector<UndoStep> steps;  // in the order they were taken
    bool cleanJob = false;        // a clean job: only the archives it emptied come back from the trash

    bool complete() const;
};

platform::Result<UndoReport> undoLastRenameJob(const std::filesystem::path& journalFile, JobFileSystem& files);

// One line of text for a step, in the window's language.
std::string undoStepText(const UndoStep& step);

// The numbering run puts archives aside under hidden names that begin so.
inline constexpr std::string_view kTemporaryNamePrefix = ".~pimingbao-";

// A numbering run that was killed between its two phases, found and undone.
struct InterruptedRun {
    std::string when;
    std::string description;
    std::vector<UndoStep> steps;
    // Archives that could not have their old names back, now under these visible names.
    std::vector<std::string> uncovered;
    bool complete() const;  // every archive is back under its own name
};

struct InterruptedRunReport {
    std::vector<InterruptedRun> runs;
};

inline constexpr std::string_view kInterruptedRunRestored = "上次更名被中断，已恢复原名";
inline constexpr std::string_view kInterruptedRunPartlyRestored = "上次更名被中断，部分压缩包未能恢复原名：";

// Called before any job and at program start, while the archiver's lock is held (so no
// run of another copy is still going): a numbering run recorded in the journal that never
// ended and left archives under hidden temporary names is undone, so no archive stays
// hidden. What was done is told to `status` (nothing when there was nothing to do); the
// steps that failed follow, one text each.
platform::Result<InterruptedRunReport> finishInterruptedRenames(const std::filesystem::path& journalFile,
                                                                JobFileSystem& files, const StatusSink& status);

}  // namespace jobs
