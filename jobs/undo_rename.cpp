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
        for (auto r = it->records.rbegin(); r != it->records.rend(); ++r) {
            report.steps.push_back(r->kind == JournalRecord::Kind::Move
                                       ? undoMove(*r, expectedIdentity(*r, *it, journal->rewrites), files)
                                       : undoTrash(*r, files));
        }
        // A step that failed for a reason the user can clear (a name taken since) stays open:
        // the next undo tries this job again instead of going on to the one before.
        bool open = false;
        for (const auto& step : report.steps) {
            open = open || step.outcome == UndoStep::Outcome::OldNameTaken || step.outcome == UndoStep::Outcome::Failed;
        }
        if (!open) {
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
