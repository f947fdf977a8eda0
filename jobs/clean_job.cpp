#include "jobs/clean_job.h"

#include "jobs/delete_list.h"
#include "jobs/job_texts.h"

namespace jobs {

CleanResult::Category CleanResult::category() const {
    switch (outcome) {
        case Outcome::Deleted:
        case Outcome::WouldDelete:
        case Outcome::WouldEmpty:
            return Category::Changed;
        case Outcome::NothingMatched:
        case Outcome::NothingToDelete:
        case Outcome::WouldMatchNothing:
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

}  // namespace

std::vector<CleanResult> CleanJob::run(const CleanRequest& request, const ArchiveRows& rows, const StatusSink& status,
                                       const CleanResultSink& onResult, std::stop_token stop) {
    journalProblems_.clear();
    const std::vector<std::string> names = deleteListNames(request.deleteList);
    const bool recording = journal_ && files_ && !request.dryRun;
    auto say = [&](std::string_view text) {
        if (!request.dryRun && status) status(std::string(text));
    };
    // The delete command's own texts go to the same sink, and stay silent in a dry run.
    const StatusSink quiet = [](const std::string&) {};
    const StatusSink& commandSink = status ? status : quiet;

    std::vector<CleanResult> results;
    for (std::size_t i = 0; i < rows.count(); ++i) {
        if (stop.stop_requested()) break;
        say(texts::cleanProgress(i + 1));
        CleanResult r;
        r.ordinal = i + 1;
        r.path = rows.pathAt(i);
        if (names.empty()) {
            // A delete command naming no entry never reaches the archiver.
            r.outcome = CleanResult::Outcome::NothingToDelete;
            r.detail = std::string(texts::kDeleteListEmpty);
        } else if (request.dryRun) {
            r = preview(commands_, std::move(r), names);
        } else {
            auto before = recording ? files_->identity(r.path) : std::nullopt;
            DeleteOutcome outcome = commands_.deleteFromArchive(r.path, names, commandSink);
            auto after = before ? files_->identity(r.path) : std::nullopt;
            if (after && !(*after == *before)) {
                if (auto s = journal_->recordRewrite(*before, *after, r.path); !s) journalProblems_.push_back(s.message());
            }
            switch (outcome.kind) {
                case DeleteOutcome::Kind::Deleted:
                    r.outcome = CleanResult::Outcome::Deleted;
                    r.detail = std::string(texts::kDeleted);
                    r.entries = std::move(outcome.removedEntries);
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
        }
        if (onResult) onResult(r);
        results.push_back(std::move(r));
    }
    say(texts::kCleanDone);
    return results;
}

}  // namespace jobs
