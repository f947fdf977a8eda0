#include "archiver/rar/deletion_plan.h"

#include <algorithm>

namespace rar {
namespace {

// Data whose loss changes what a later entry of the same solid stream decompresses to.
// Stored entries are copied out without passing through the decompressor's window, and
// folders and empty files add nothing to it.
bool feedsSolidWindow(const Entry& e) { return !e.isDirectory && e.packedSize > 0 && e.method != 0; }

}  // namespace

void DeletionPlanner::add(const Entry& e, bool remove) {
    const std::size_t index = plan_.removed.size();
    plan_.removed.push_back(remove);
    if (remove) {
        plan_.removedEntries.push_back(index);
        plan_.removedPaths.push_back(e.path);
    } else {
        ++plan_.keptEntries;
    }
    // RAR5 hard links and file copies carry no data of their own; their source must stay.
    if (!remove && (e.link == LinkKind::HardLink || e.link == LinkKind::FileCopy)) {
        std::string target = e.linkTarget;
        std::replace(target.begin(), target.end(), '/', '\\');
        keptLinks_.push_back(KeptLink{index, e.path, std::move(target)});
    }
    // Walk each solid stream: once a removed entry has fed the window, every kept entry
    // that decompresses further on in the same stream would come out wrong.
    if (solidConflict_) return;
    if (!e.solid) taintedBy_.reset();
    if (remove) {
        if (feedsSolidWindow(e) && !taintedBy_) {
            taintedBy_ = index;
            taintedByPath_ = e.path;
        }
    } else if (taintedBy_ && feedsSolidWindow(e)) {
        solidConflict_ = true;
        plan_.dependentEntry = index;
        plan_.neededEntry = taintedBy_;
        plan_.dependentPath = e.path;
        plan_.neededPath = taintedByPath_;
    }
}

DeletionPlan DeletionPlanner::finish(const Archive& archive) {
    DeletionPlan plan = std::move(plan_);
    plan_ = DeletionPlan{};
    const bool solidConflict = solidConflict_;
    if (archive.locked || archive.volume) {
        plan.check = archive.locked ? DeleteCheck::Locked : DeleteCheck::Volume;
        plan.dependentEntry.reset();
        plan.neededEntry.reset();
        plan.dependentPath.clear();
        plan.neededPath.clear();
        return plan;
    }
    for (const KeptLink& link : keptLinks_) {
        for (std::size_t k = 0; k < plan.removedEntries.size(); ++k) {
            if (plan.removedPaths[k] != link.target) continue;
            plan.check = DeleteCheck::LinkTarget;
            plan.dependentEntry = link.index;
            plan.neededEntry = plan.removedEntries[k];
            plan.dependentPath = link.path;
            plan.neededPath = plan.removedPaths[k];
            return plan;
        }
    }
    if (solidConflict) plan.check = DeleteCheck::SolidDependency;
    return plan;
}

DeletionPlan planDeletion(const Archive& archive, std::vector<bool> removed) {
    removed.resize(archive.entries.size(), false);
    DeletionPlanner planner;
    for (std::size_t i = 0; i < archive.entries.size(); ++i) planner.add(archive.entries[i], removed[i]);
    return planner.finish(archive);
}

DeletionPlan planDeletion(const Archive& archive, const NameMatcher& matcher) {
    DeletionPlanner planner;
    for (const Entry& e : archive.entries) planner.add(e, matcher.matches(e.path));
    return planner.finish(archive);
}

}  // namespace rar
