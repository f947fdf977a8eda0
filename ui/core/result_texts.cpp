#include "ui/core/result_texts.h"

#include "platform/paths.h"
#include "ui/core/window_texts.h"

namespace {

using RenameOutcome = jobs::RenameResult::Outcome;
using CleanOutcome = jobs::CleanResult::Outcome;

// The row already shows the folder; the file name is what changed.
std::string fileName(const std::string& path) {
    return platform::utf8FromPath(platform::pathFromUtf8(path).filename());
}

// The jobs word some reasons as whole sentences that already begin with the verdict.
std::string withoutPrefix(std::string text, std::string_view prefix) {
    if (text.rfind(prefix, 0) == 0) text.erase(0, prefix.size());
    return text;
}

std::string notRenamed(const std::string& detail) {
    return std::string(texts::kResultNotRenamed) + withoutPrefix(detail, texts::kResultNotRenamed);
}

std::string count(std::string_view before, std::size_t n) {
    return std::string(before) + std::to_string(n) + std::string(texts::kResultDeletedAfter);
}

}  // namespace

RowResult renameRowResult(const jobs::RenameResult& r) {
    const bool failed = r.category() == jobs::RenameResult::Category::Failed;
    switch (r.outcome) {
        case RenameOutcome::Renamed:
            return {std::string(texts::kResultRenamedTo) + fileName(r.newPath), false};
        case RenameOutcome::AlreadyNamed:
            return {r.detail, failed};
        case RenameOutcome::Trashed:
            // The new name was taken by another file, so this archive left the folder.
            return {std::string(texts::kResultTrashed) + "：" + fileName(r.newPath) + std::string(texts::kResultNameTaken),
                    failed};
        default:
            // An archive that moved with another one (a volume of a set) says where it is now.
            if (r.changedPath() && !r.currentPath.empty()) {
                return {std::string(texts::kResultRenamedTo) + fileName(r.currentPath), failed};
            }
            return {notRenamed(r.detail), failed};
    }
}

RowResult cleanRowResult(const jobs::CleanResult& r) {
    const bool failed = r.category() == jobs::CleanResult::Category::Failed;
    switch (r.outcome) {
        case CleanOutcome::Deleted:
            return {r.entries.empty() ? std::string(texts::kResultDeletedUncounted)
                                      : count(texts::kResultDeletedBefore, r.entries.size()),
                    failed};
        case CleanOutcome::WouldDelete:
            return {count(texts::kResultWouldDeleteBefore, r.entries.size()), failed};
        case CleanOutcome::NothingMatched:
        case CleanOutcome::WouldMatchNothing:
            return {std::string(texts::kResultNothingToDelete), failed};
        case CleanOutcome::NothingToDelete:
            return {r.detail, failed};
        case CleanOutcome::VolumeOfSet:
            return {r.detail, failed};
        case CleanOutcome::Emptied:
            return {std::string(texts::kResultEmptiedToTrash), failed};
        case CleanOutcome::KeptEmpty:
            return {std::string(texts::kResultEmptiedKept), failed};
        case CleanOutcome::WouldEmpty:
            return {count(texts::kResultWouldDeleteBefore, r.entries.size()) + std::string(texts::kResultWouldTrash), failed};
        case CleanOutcome::Failed:
        case CleanOutcome::WouldFail: {
            // The job keeps the archiver's reason on its own; older results only in the detail.
            std::string reason = r.reason.empty() ? withoutPrefix(r.detail, "删除失败！") : r.reason;
            reason = withoutPrefix(reason, texts::kResultDeleteFailed);
            std::string text(texts::kResultDeleteFailed);
            if (!reason.empty()) text += "：" + reason;
            return {text, failed};
        }
        default:
            // The job's own words, for the outcomes worded nowhere else.
            return {r.detail, failed};
    }
}
