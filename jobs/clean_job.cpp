#include "jobs/clean_job.h"

#include "jobs/delete_list.h"
#include "jobs/job_texts.h"
#include "jobs/rename_job.h"

namespace jobs {

CleanResult::Category CleanResult::category() const {
    switch (outcome) {
        case Outcome::Deleted:
        case Outcome::WouldDelete:
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

CleanResult preview(ArchiveCommands& commands, CleanResult r, const std::vector<std::string>& names) {
    Listing listing = commands.listArchive(r.path, kListingPassword);
    if (!listing.listed) {
        r.outcome = CleanResult::Outcome::CannotList;
        r.detail = texts::cannotList(listing.problem);
        return r;
    }
    auto removed = entriesRemovedBy(listing.entries, names);
    for (auto i : removed) r.entries.push_back(listing.entries[i].path);
    r.wouldEmpty = !removed.empty() && removed.size() == listing.entries.size();
    r.outcome = removed.empty() ? CleanResult::Outcome::WouldMatchNothing : CleanResult::Outcome::WouldDelete;
    if (removed.empty()) r.detail = std::string(texts::kNothingMatched);
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
                    break;
                case DeleteOutcome::Kind::NothingMatched:
                    r.outcome = CleanResult::Outcome::NothingMatched;
                    r.detail = std::string(texts::kNothingMatched);
                    break;
                case DeleteOutcome::Kind::Failed:
                    r.outcome = CleanResult::Outcome::Failed;
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
