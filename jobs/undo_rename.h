#pragma once
// Undoing the last rename job that did something and is not undone yet: its moves are
// reversed newest first and its trashed archives come back, each only while the file is
// still where the job left it (same identity) and its old name is free. The job counts as
// undone once nothing of it is left that could still be put back.
#include <filesystem>
#include <string>
#include <vector>

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

}  // namespace jobs
