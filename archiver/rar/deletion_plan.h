#pragma once
// Which entries a deletion takes and whether the archive allows removing them: a locked
// archive or a volume never, a kept hard link or file copy never without its source, and
// a solid stream only where no kept entry needs the window a removed one filled.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "archiver/rar/archive.h"
#include "archiver/rar/name_matcher.h"

namespace rar {

enum class DeleteCheck {
    Allowed,
    Locked,           // the archive's lock flag forbids changes
    Volume,           // one volume of a multi-volume set
    SolidDependency,  // a kept entry of a solid stream needs the data of a removed one
    LinkTarget,       // a kept hard link or file copy names a removed entry as its source
};

struct DeletionPlan {
    std::vector<bool> removed;                // per entry
    std::vector<std::size_t> removedEntries;  // indices, in archive order
    std::vector<std::string> removedPaths;    // their paths, in the same order
    std::size_t keptEntries = 0;
    DeleteCheck check = DeleteCheck::Allowed;
    // For SolidDependency and LinkTarget: the kept entry that could not be extracted any
    // more, and the removed entry whose data it needs.
    std::optional<std::size_t> dependentEntry;
    std::optional<std::size_t> neededEntry;
    std::string dependentPath;
    std::string neededPath;

    bool nothingMatched() const { return removedEntries.empty(); }
    bool removesEverything() const { return !removedEntries.empty() && keptEntries == 0; }
};

// Builds the plan entry by entry in archive order, as the reader hands them on, keeping
// of each entry only what a later check needs: one bit, and the paths of the removed
// entries and of kept links to other entries.
class DeletionPlanner {
public:
    void add(const Entry& entry, bool remove);
    // Once every entry is in; the archive-level flags decide first.
    DeletionPlan finish(const Archive& archive);

private:
    struct KeptLink {
        std::size_t index = 0;
        std::string path;
        std::string target;  // '\' separated, as entry paths are
    };
    DeletionPlan plan_;
    std::vector<KeptLink> keptLinks_;
    // The removed entry that fed the current solid stream's window, if any.
    std::optional<std::size_t> taintedBy_;
    std::string taintedByPath_;
    bool solidConflict_ = false;
};

// Which entries the names take, and whether the archive allows removing them.
DeletionPlan planDeletion(const Archive& archive, const NameMatcher& matcher);
// The same from explicit per-entry choices (tests, the fuzzer).
DeletionPlan planDeletion(const Archive& archive, std::vector<bool> removed);

}  // namespace rar
