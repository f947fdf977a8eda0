#include "jobs/rename_run.h"

#include "jobs/job_texts.h"
#include "jobs/naming_rules.h"
#include "platform/paths.h"

namespace jobs {

using Outcome = RenameResult::Outcome;

RenameRun::RenameRun(JobFileSystem& files, RenameJournal* journal, const RenameRequest& request, ArchiveRows& rows,
                     const StatusSink& status, const RenameResultSink& onResult,
                     std::vector<std::string>& journalProblems)
    : files_(files),
      journal_(request.dryRun ? nullptr : journal),
      request_(request),
      rows_(rows),
      status_(status),
      onResult_(onResult),
      journalProblems_(journalProblems) {}

void RenameRun::status(std::string_view text) {
    if (!request_.dryRun && status_) status_(std::string(text));
}

RenameResult RenameRun::start(std::size_t position) {
    RenameResult r;
    r.ordinal = position + 1;
    r.oldPath = rows_.pathAt(position);
    r.currentPath = r.oldPath;
    r.dryRun = request_.dryRun;
    return r;
}

void RenameRun::report(RenameResult result) {
    if (!request_.dryRun && !result.currentPath.empty() && result.currentPath != result.oldPath) {
        rows_.setPathAt(result.ordinal - 1, result.currentPath);
    }
    if (onResult_) onResult_(result);
    results_.push_back(std::move(result));
}

void RenameRun::finish() {
    if (journalBegun_) noteJournal(journal_->end());
    status(texts::kRenameDone);
}

std::string RenameRun::pathBeside(const std::string& oldPath, const std::string& name) {
    return platform::utf8FromPath(platform::pathFromUtf8(oldPath).parent_path() / platform::pathFromUtf8(name));
}

bool RenameRun::refuses(RenameResult& result, const std::string& name) {
    // An entry named ".exe" leaves nothing in front of ".rar".
    auto reason = name == ".rar" ? std::optional<std::string>(texts::kEmptyName) : refusedNameReason(name);
    if (!reason) reason = refusedPathReason(result.newPath);
    if (!reason) return false;
    result.outcome = Outcome::NameRefused;
    result.detail = texts::nameRefused(name, *reason);
    return true;
}

void RenameRun::noteJournal(const platform::Status& s) {
    if (!s) journalProblems_.push_back(s.message());
}

bool RenameRun::beginJournal() {
    if (!journal_) return false;
    if (!journalBegun_) {
        std::string what = request_.mode == RenameMode::ByExtension
                               ? "按后缀 " + request_.extension
                               : "按序号 前缀“" + request_.prefix + "” 起始序号 " + request_.startNumber;
        noteJournal(journal_->begin(what));
        journalBegun_ = true;
    }
    return true;
}

void RenameRun::journalMove(const platform::FileIdentity& id, const std::string& from, const std::string& to) {
    if (beginJournal()) noteJournal(journal_->recordMove(id, from, to));
}

void RenameRun::journalUnmoved(const platform::FileIdentity& id, const std::string& from, const std::string& to) {
    if (beginJournal()) noteJournal(journal_->recordUnmoved(id, from, to));
}

std::string RenameRun::returnHome(const RenameResult& result, const std::string& source,
                                  const platform::FileIdentity& id) {
    if (source == result.oldPath) return source;
    journalMove(id, source, result.oldPath);
    if (files_.move(source, result.oldPath).moved()) return result.oldPath;
    journalUnmoved(id, source, result.oldPath);
    return source;
}

void RenameRun::settle(RenameResult result, const std::string& source, const ListedHolder& holder) {
    auto id = files_.identity(source);
    if (!id) {
        result.outcome = Outcome::Missing;
        result.detail = std::string(texts::kMissing);
        report(std::move(result));
        return;
    }
    journalMove(*id, source, result.newPath);
    platform::MoveOutcome moved = files_.move(source, result.newPath);
    if (moved.moved()) {
        result.outcome = Outcome::Renamed;
        result.currentPath = result.newPath;
        report(std::move(result));
        return;
    }
    journalUnmoved(*id, source, result.newPath);
    if (moved.kind == platform::MoveOutcome::Kind::TargetExists) {
        // A listed archive that could not make way is no stranger's file: nobody goes to
        // the trash for it.
        auto occupant = files_.identity(result.newPath);
        auto held = occupant && holder ? holder(*occupant) : std::nullopt;
        if (!held) {
            clash(result, source, *id);
            return;
        }
        result.detail = texts::heldByListedArchive(*held + 1);
    } else {
        result.detail = texts::moveFailed(moved.message);
    }
    result.outcome = Outcome::MoveFailed;
    result.currentPath = returnHome(result, source, *id);
    if (result.currentPath != result.oldPath) result.detail += texts::keptUnderTemporaryName(result.currentPath);
    report(std::move(result));
}

void RenameRun::clash(RenameResult& result, const std::string& source, const platform::FileIdentity& id) {
    // Trashed from its own name, the desktop can later put it back where the user knew it.
    const std::string at = returnHome(result, source, id);
    auto trashed = files_.trash(at);
    if (trashed) {
        if (beginJournal()) noteJournal(journal_->recordTrash(id, at, *trashed));
        status(texts::kRenameClash);
        result.outcome = Outcome::Trashed;
        result.currentPath.clear();
        result.detail = request_.dryRun ? texts::clashWouldTrash(result.newPath)
                                        : texts::clashTrashed(result.newPath, platform::utf8FromPath(trashed->file));
    } else {
        // The text would say the file was deleted; it was not, so the status line keeps
        // its progress text and the result says what happened.
        result.outcome = Outcome::ClashKept;
        result.currentPath = at;
        result.detail = texts::clashKept(result.newPath, trashed.message());
        if (at != result.oldPath) result.detail += texts::keptUnderTemporaryName(at);
    }
    report(std::move(result));
}

}  // namespace jobs
