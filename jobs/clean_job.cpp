#include "jobs/clean_job.h"

#include <filesystem>
#include <set>

#include "jobs/delete_list.h"
#include "jobs/job_texts.h"
#include "jobs/volume_set.h"
#include "platform/paths.h"

namespace jobs {

CleanResult::Category CleanResult::category() const {
    switch (outcome) {
        case Outcome::Deleted:
        case Outcome::Emptied:
        case Outcome::KeptEmpty:
        case Outcome::WouldDelete:
        case Outcome::WouldEmpty:
            return Category::Changed;
        case Outcome::NothingMatched:
        case Outcome::NothingToDelete:
        case Outcome::WouldMatchNothing:
        case Outcome::VolumeOfSet:
            return Category::Unchanged;
        default:
            return Category::Failed;
    }
}

namespace {

// The archiver itself says what the delete would take or why it would refuse: a prediction
// of our own would drift from its rule and its checks.
CleanResult preview(ArchiveCommands& commands, CleanResult r, const std::vector<std::string>& names) {
    DeleteOutcome plan = commands.planDelete(r.path, names);
    switch (plan.kind) {
        case DeleteOutcome::Kind::Deleted:
            r.entries = std::move(plan.removedEntries);
            if (plan.emptied == DeleteOutcome::Emptied::No) {
                r.outcome = CleanResult::Outcome::WouldDelete;
                r.detail = texts::wouldDelete(r.removedCount());
            } else {
                r.outcome = CleanResult::Outcome::WouldEmpty;
                r.detail = texts::wouldEmpty(r.removedCount());
            }
            break;
        case DeleteOutcome::Kind::NothingMatched:
            r.outcome = CleanResult::Outcome::WouldMatchNothing;
            r.detail = std::string(texts::kNothingMatched);
            break;
        case DeleteOutcome::Kind::Failed:
            r.outcome = CleanResult::Outcome::WouldFail;
            r.reason = texts::archiverReason(plan.detail);
            r.detail = texts::wouldFail(r.reason);
            break;
    }
    return r;
}

// What a delete did, as the clean job reports it.
CleanResult deleted(CleanResult r, DeleteOutcome outcome) {
    switch (outcome.kind) {
        case DeleteOutcome::Kind::Deleted:
            r.entries = std::move(outcome.removedEntries);
            if (outcome.emptied == DeleteOutcome::Emptied::MovedToTrash) {
                r.outcome = CleanResult::Outcome::Emptied;
                r.trashedFile = std::move(outcome.trashedFile);
                r.detail = texts::emptiedAndTrashed(r.trashedFile);
            } else if (outcome.emptied == DeleteOutcome::Emptied::KeptEmpty) {
                r.outcome = CleanResult::Outcome::KeptEmpty;
                r.detail = std::string(texts::kEmptiedAndKept);
            } else {
                r.outcome = CleanResult::Outcome::Deleted;
                r.detail = std::string(texts::kDeleted);
            }
            break;
        case DeleteOutcome::Kind::NothingMatched:
            r.outcome = CleanResult::Outcome::NothingMatched;
            r.detail = std::string(texts::kNothingMatched);
            break;
        case DeleteOutcome::Kind::Failed:
            r.outcome = CleanResult::Outcome::Failed;
            r.reason = texts::archiverReason(outcome.detail);
            r.detail = texts::deleteFailed(outcome.detail);
            break;
    }
    return r;
}

// How undo names the job: the first few names of the delete list.
std::string journalDescription(const std::vector<std::string>& names) {
    constexpr std::size_t kShown = 3;
    std::string text = "删除 ";
    for (std::size_t i = 0; i < names.size() && i < kShown; ++i) text += (i ? "、" : "") + names[i];
    if (names.size() > kShown) text += " 等 " + std::to_string(names.size()) + " 个名称";
    return text;
}

// The archiver cannot rewrite the volumes of a set, so a set is only ever asked, never
// changed: when no volume holds one of the names it has nothing to delete, otherwise it is
// refused once for the whole set.
CleanResult cleanVolumeSet(ArchiveCommands& commands, CleanResult r, const ArchiveUnit& unit,
                           const std::vector<std::string>& names, bool dryRun) {
    std::string refusal;
    for (const auto& volume : unit.volumes) {
        DeleteOutcome plan = commands.planDelete(volume, names);
        if (plan.kind == DeleteOutcome::Kind::Deleted) {
            refusal = texts::volumeSetCannotBeCleaned(volume);
            break;
        }
        if (plan.kind == DeleteOutcome::Kind::Failed && refusal.empty()) {
            refusal = texts::archiverReason(plan.detail);
        }
    }
    if (!unit.complete() && refusal.empty()) refusal = texts::volumeSetIncomplete(unit.missingVolume);
    if (refusal.empty()) {
        r.outcome = dryRun ? CleanResult::Outcome::WouldMatchNothing : CleanResult::Outcome::NothingMatched;
        r.detail = std::string(texts::kNothingMatched);
    } else {
        r.outcome = dryRun ? CleanResult::Outcome::WouldFail : CleanResult::Outcome::Failed;
        r.reason = refusal;
        r.detail = dryRun ? texts::wouldFail(refusal) : std::string(texts::kDeleteFailedStatus) + refusal;
    }
    return r;
}

}  // namespace

std::vector<CleanResult> CleanJob::run(const CleanRequest& request, const ArchiveRows& rows, const StatusSink& status,
                                       const CleanResultSink& onResult, std::stop_token stop) {
    journalProblems_.clear();
    skippedNames_.clear();
    const std::vector<std::string> listed = deleteListNames(request.deleteList);
    // One name the archiver cannot take would fail the command for every archive.
    std::vector<std::string> names;
    for (const auto& name : listed) {
        if (commands_.canPassName(name)) {
            names.push_back(name);
        } else {
            skippedNames_.push_back(name);
        }
    }
    const bool recording = journal_ && files_ && !request.dryRun;
    bool journalBegun = false;
    auto note = [&](const platform::Status& s) {
        if (!s) journalProblems_.push_back(s.message());
    };
    auto say = [&](std::string_view text) {
        if (!request.dryRun && status) status(std::string(text));
    };
    // The delete command's own texts go to the same sink, and stay silent in a dry run.
    const StatusSink quiet = [](const std::string&) {};
    const StatusSink& commandSink = status ? status : quiet;

    for (const auto& name : skippedNames_) say(texts::nameSkipped(name));
    std::set<std::string> clearedFolders;

    std::vector<std::string> paths;
    for (std::size_t i = 0; i < rows.count(); ++i) paths.push_back(rows.pathAt(i));
    const std::vector<ArchiveUnit> units = groupVolumeSets(paths, [this](const std::string& path) {
        if (files_) return files_->exists(path);
        std::error_code ec;
        return std::filesystem::exists(platform::pathFromUtf8(path), ec);
    });
    std::vector<const ArchiveUnit*> unitOfRow(paths.size(), nullptr);
    for (const auto& unit : units) {
        for (auto row : unit.rows) unitOfRow[row] = &unit;
    }

    std::vector<CleanResult> results;
    for (std::size_t i = 0; i < rows.count(); ++i) {
        if (stop.stop_requested()) break;
        say(texts::cleanProgress(i + 1));
        CleanResult r;
        r.ordinal = i + 1;
        r.path = rows.pathAt(i);
        const ArchiveUnit* unit = unitOfRow[i];
        if (unit && unit->isSet && unit->rows.front() != i) {
            r.outcome = CleanResult::Outcome::VolumeOfSet;
            r.detail = texts::volumeOfSet(unit->rows.front() + 1);
        } else if (names.empty()) {
            // A delete command naming no entry never reaches the archiver.
            r.outcome = CleanResult::Outcome::NothingToDelete;
            r.detail = std::string(listed.empty() ? texts::kDeleteListEmpty : texts::kNoNameLeft);
        } else if (unit && unit->isSet) {
            // The same texts in the status line as a delete command that found nothing or refused.
            if (!request.dryRun) commandSink(std::string(texts::kDeletingStatus));
            r = cleanVolumeSet(commands_, std::move(r), *unit, names, request.dryRun);
            if (!request.dryRun) {
                commandSink(std::string(r.category() == CleanResult::Category::Failed ? texts::kDeleteFailedStatus
                                                                                      : texts::kNothingToDeleteStatus));
            }
        } else if (request.dryRun) {
            r = preview(commands_, std::move(r), names);
        } else {
            if (files_) {
                const std::string folder = platform::utf8FromPath(platform::pathFromUtf8(r.path).parent_path());
                if (clearedFolders.insert(folder).second) files_->removeStaleTemporaryFiles(folder);
            }
            auto before = recording ? files_->identity(r.path) : std::nullopt;
            DeleteOutcome outcome = commands_.deleteFromArchive(r.path, names, commandSink);
            r = deleted(std::move(r), std::move(outcome));
            auto after = before ? files_->identity(r.path) : std::nullopt;
            if (after && !(*after == *before)) note(journal_->recordRewrite(*before, *after, r.path));
            // The archiver moved the emptied original into the trash: undo brings it back, or,
            // where the trash did not say where it went, sends the user to the trash.
            if (before && r.outcome == CleanResult::Outcome::Emptied) {
                auto id = r.trashedFile.empty() ? before : files_->identity(r.trashedFile);
                platform::TrashedFile trashed;
                if (!r.trashedFile.empty()) trashed = files_->trashRecordOf(r.trashedFile);
                if (!journalBegun) note(journal_->begin(journalDescription(names), JournalJobKind::Clean));
                journalBegun = true;
                note(journal_->recordTrash(id.value_or(*before), r.path, trashed));
            }
        }
        if (onResult) onResult(r);
        results.push_back(std::move(r));
    }
    if (journalBegun) note(journal_->end());
    say(texts::kCleanDone);
    return results;
}

}  // namespace jobs
