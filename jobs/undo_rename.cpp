#include "jobs/undo_rename.h"

#include "jobs/rename_journal.h"
#include "platform/paths.h"

namespace jobs {
namespace {

// The identity the file a job left at record.to has now: a later delete may have written
// it anew, once or more.
platform::FileIdentity expectedIdentity(const JournalRecord& record, const JournalJob& job,
                                        const std::vector<JournalRewrite>& rewrites) {
    platform::FileIdentity expected = record.id;
    for (const auto& w : rewrites) {
        if (w.line > job.line && w.path == record.to && w.before == expected) expected = w.after;
    }
    return expected;
}

UndoStep undoMove(const JournalRecord& record, const platform::FileIdentity& expected, JobFileSystem& files) {
    UndoStep step{UndoStep::Outcome::Failed, record.to, record.from, {}};
    auto id = files.identity(record.to);
    if (!id || !(*id == expected)) {
        step.outcome = UndoStep::Outcome::NotWhereLeft;
        return step;
    }
    if (files.exists(record.from)) {
        step.outcome = UndoStep::Outcome::OldNameTaken;
        return step;
    }
    auto moved = files.move(record.to, record.from);
    if (moved.moved()) {
        step.outcome = UndoStep::Outcome::Restored;
    } else if (moved.kind == platform::MoveOutcome::Kind::TargetExists) {
        step.outcome = UndoStep::Outcome::OldNameTaken;
    } else {
        step.detail = moved.message;
    }
    return step;
}

UndoStep undoTrash(const JournalRecord& record, JobFileSystem& files) {
    UndoStep step{UndoStep::Outcome::Failed, record.to, record.from, {}};
    if (record.to.empty()) {
        step.outcome = UndoStep::Outcome::InTrashUnknownWhere;
        return step;
    }
    auto id = files.identity(record.to);
    if (!id || !(*id == record.id)) {
        step.outcome = UndoStep::Outcome::NotWhereLeft;
        return step;
    }
    if (files.exists(record.from)) {
        step.outcome = UndoStep::Outcome::OldNameTaken;
        return step;
    }
    platform::TrashedFile trashed{platform::pathFromUtf8(record.to), platform::pathFromUtf8(record.trashInfo)};
    auto restored = files.restore(trashed, record.from);
    if (restored) {
        step.outcome = UndoStep::Outcome::Restored;
    } else {
        step.detail = restored.message();
    }
    return step;
}

// The job's records undone newest first.
std::vector<UndoStep> undoRecords(const JournalJob& job, const std::vector<JournalRewrite>& rewrites,
                                  JobFileSystem& files) {
    std::vector<UndoStep> steps;
    for (auto r = job.records.rbegin(); r != job.records.rend(); ++r) {
        steps.push_back(r->kind == JournalRecord::Kind::Move ? undoMove(*r, expectedIdentity(*r, job, rewrites), files)
                                                             : undoTrash(*r, files));
    }
    return steps;
}

// A step that failed for a reason the user can clear (a name taken since) leaves the job open.
bool leavesJobOpen(const std::vector<UndoStep>& steps) {
    for (const auto& step : steps) {
        if (step.outcome == UndoStep::Outcome::OldNameTaken || step.outcome == UndoStep::Outcome::Failed) return true;
    }
    return false;
}

bool isTemporaryName(const std::string& path) {
    return platform::utf8FromPath(platform::pathFromUtf8(path).filename()).rfind(std::string(kTemporaryNamePrefix), 0) == 0;
}

// "示例2.rar" -> "示例2（更名中断）.rar", then "示例2（更名中断2）.rar"...
std::string visibleNameFor(const std::string& oldPath, int n) {
    const std::filesystem::path old = platform::pathFromUtf8(oldPath);
    const std::string stem = platform::utf8FromPath(old.stem());
    const std::string ext = platform::utf8FromPath(old.extension());
    const std::string name = stem + "（更名中断" + (n > 1 ? std::to_string(n) : std::string()) + "）" + ext;
    return platform::utf8FromPath(old.parent_path() / platform::pathFromUtf8(name));
}

}  // namespace

bool UndoReport::complete() const {
    for (const auto& s : steps) {
        if (s.outcome != UndoStep::Outcome::Restored) return false;
    }
    return true;
}

platform::Result<UndoReport> undoLastRenameJob(const std::filesystem::path& journalFile, JobFileSystem& files) {
    auto journal = readRenameJournal(journalFile);
    if (!journal) return journal.status();
    auto& jobs = journal->jobs;
    UndoReport report;
    for (auto it = jobs.rbegin(); it != jobs.rend(); ++it) {
        if (it->undone || it->records.empty()) continue;
        report.foundJob = true;
        report.when = it->when;
        report.description = it->description;
        report.cleanJob = it->kind == JournalJobKind::Clean;
        report.steps = undoRecords(*it, journal->rewrites, files);
        // A job left open is tried again by the next undo instead of going on to the one before.
        if (!leavesJobOpen(report.steps)) {
            if (auto s = markJobUndone(journalFile, it->id); !s) return s;
        }
        break;
    }
    return report;
}

std::string undoStepText(const UndoStep& step) {
    switch (step.outcome) {
        case UndoStep::Outcome::Restored:
            return "已还原：" + step.from + " -> " + step.to;
        case UndoStep::Outcome::NotWhereLeft:
            return "未还原：" + step.from + " 已不在更名后的位置";
        case UndoStep::Outcome::OldNameTaken:
            return "未还原：" + step.from + "，原名称 " + step.to + " 已被占用";
        case UndoStep::Outcome::InTrashUnknownWhere:
            return "未还原：" + step.to + " 已移到回收站，请在回收站中还原";
        case UndoStep::Outcome::Failed:
            break;
    }
    return "未还原：" + step.from + "：" + step.detail;
}

}  // namespace jobs

namespace jobs {

platform::Result<InterruptedRunReport> finishInterruptedRenames(const std::filesystem::path& journalFile,
                                                                JobFileSystem& files, const StatusSink& status) {
    InterruptedRunReport report;
    auto journal = readRenameJournal(journalFile);
    if (!journal) return journal.status();
    for (auto& job : journal->jobs) {
        if (job.ended || job.undone) continue;
        // Only a run that stopped with archives still under our hidden names needs us; any
        // other rename that stopped half-way left every archive under a name of its own.
        bool hidden = false;
        for (const auto& r : job.records) {
            if (r.kind != JournalRecord::Kind::Move || !isTemporaryName(r.to)) continue;
            auto id = files.identity(r.to);
            hidden = hidden || (id && *id == r.id);
        }
        if (!hidden) continue;
        // The hidden archives' new names were never written down, so the run cannot be
        // finished; undone as a whole, every archive is back under the name it had.
        InterruptedRun run;
        run.when = job.when;
        run.description = job.description;
        run.steps = undoRecords(job, journal->rewrites, files);
        // An archive whose old name was taken meanwhile is not left hidden: it comes out
        // under a visible name beside it.
        for (const auto& r : job.records) {
            if (r.kind != JournalRecord::Kind::Move || !isTemporaryName(r.to)) continue;
            auto id = files.identity(r.to);
            if (!id || !(*id == r.id)) continue;
            for (int n = 1; n < 100; ++n) {
                const std::string visible = visibleNameFor(r.from, n);
                if (files.exists(visible)) continue;
                if (files.move(r.to, visible).moved()) run.uncovered.push_back(visible);
                break;
            }
        }
        // Nothing of it is left that undo could still put back better.
        if (auto s = markJobUndone(journalFile, job.id); !s) return s;
        if (status) {
            status(run.complete() ? std::string(kInterruptedRunRestored) : std::string(kInterruptedRunPartlyRestored));
            for (const auto& step : run.steps) {
                if (step.outcome != UndoStep::Outcome::Restored && step.outcome != UndoStep::Outcome::NotWhereLeft) {
                    status(undoStepText(step));
                }
            }
            for (const auto& visible : run.uncovered) status("压缩包已改名为 " + visible);
        }
        report.runs.push_back(std::move(run));
    }
    return report;
}

bool InterruptedRun::complete() const {
    // A record of a move that never happened finds nothing where it points: nothing to undo.
    for (const auto& s : steps) {
        if (s.outcome != UndoStep::Outcome::Restored && s.outcome != UndoStep::Outcome::NotWhereLeft) return false;
    }
    return true;
}

}  // namespace jobs
