#include "jobs/rename_result.h"

namespace jobs {

RenameResult::Category RenameResult::category() const {
    switch (outcome) {
        case Outcome::Renamed:
            return Category::Renamed;
        case Outcome::AlreadyNamed:
        case Outcome::NoMatchingEntry:
        case Outcome::NothingTyped:
        case Outcome::SameAsEarlierRow:
        case Outcome::VolumeOfSet:  // its set's row says what happened to it
            return Category::Unchanged;
        default:
            return Category::Failed;
    }
}

std::string resultListText(const RenameResult& result) {
    if (result.outcome == RenameResult::Outcome::Renamed) return result.newPath;
    const std::string& shown = result.currentPath.empty() ? result.oldPath : result.currentPath;
    return shown + "（" + result.detail + "）";
}

}  // namespace jobs
