// The rename of a volume set: all volumes move together or none does.
#include "jobs/job_texts.h"
#include "jobs/rename_run.h"
#include "platform/paths.h"

namespace jobs {

using Outcome = RenameResult::Outcome;

RowUnits groupRows(RenameRun& run) {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < run.rows().count(); ++i) paths.push_back(run.rows().pathAt(i));
    RowUnits grouped;
    grouped.units = groupVolumeSets(paths, [&](const std::string& path) { return run.files().exists(path); });
    grouped.unitOfRow.resize(paths.size());
    for (std::size_t u = 0; u < grouped.units.size(); ++u) {
        for (auto row : grouped.units[u].rows) grouped.unitOfRow[row] = u;
    }
    return grouped;
}

std::optional<std::vector<std::string>> setTargets(RenameRun& run, RenameResult& result, const ArchiveUnit& unit,
                                                   const std::string& newStemName) {
    const std::string stem = RenameRun::pathBeside(unit.volumes.front(), newStemName);
    std::vector<std::string> targets;
    for (const auto& volume : unit.volumes) {
        std::string target = volumePath(*unit.set, volumeNameOf(volume)->index, stem);
        const std::string name = platform::utf8FromPath(platform::pathFromUtf8(target).filename());
        result.newPath = target;
        if (run.refuses(result, name)) return std::nullopt;
        targets.push_back(std::move(target));
    }
    return targets;
}

void RenameRun::settleSet(RenameResult result, const std::vector<std::string>& from,
                          const std::vector<std::string>& to) {
    // The row's own volume names the set in its result.
    std::size_t own = 0;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i] == result.oldPath) own = i;
    }
    result.newPath = to[own];

    std::vector<platform::FileIdentity> ids;
    bool named = true;
    for (std::size_t i = 0; i < from.size(); ++i) {
        auto id = files_.identity(from[i]);
        if (!id) {
            result.outcome = Outcome::VolumeMissing;
            result.detail = texts::volumeMissing(from[i]);
            report(std::move(result));
            return;
        }
        ids.push_back(*id);
        named = named && namesSameFile(files_, from[i], to[i]);
    }
    if (named) {
        result.outcome = Outcome::AlreadyNamed;
        result.detail = std::string(texts::kAlreadyNamed);
        report(std::move(result));
        return;
    }
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (!namesSameFile(files_, from[i], to[i]) && files_.exists(to[i])) {
            result.outcome = Outcome::ClashKept;
            result.detail = texts::setClashKept(to[i]);
            report(std::move(result));
            return;
        }
    }

    std::vector<std::size_t> moved;
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (namesSameFile(files_, from[i], to[i])) continue;
        journalMove(ids[i], from[i], to[i]);
        platform::MoveOutcome m = files_.move(from[i], to[i]);
        if (m.moved()) {
            moved.push_back(i);
            continue;
        }
        journalUnmoved(ids[i], from[i], to[i]);
        bool allBack = true;
        for (auto j = moved.rbegin(); j != moved.rend(); ++j) {
            journalMove(ids[*j], to[*j], from[*j]);
            if (files_.move(to[*j], from[*j]).moved()) continue;
            journalUnmoved(ids[*j], to[*j], from[*j]);
            volumesMoved_[from[*j]] = to[*j];
            allBack = false;
        }
        result.outcome = m.kind == platform::MoveOutcome::Kind::TargetExists ? Outcome::ClashKept : Outcome::MoveFailed;
        result.detail = m.kind == platform::MoveOutcome::Kind::TargetExists ? texts::setClashKept(to[i])
                                                                             : texts::setMoveFailed(m.message, allBack);
        if (auto at = volumesMoved_.find(result.oldPath); at != volumesMoved_.end()) result.currentPath = at->second;
        report(std::move(result));
        return;
    }
    for (std::size_t i = 0; i < from.size(); ++i) volumesMoved_[from[i]] = to[i];
    result.outcome = Outcome::Renamed;
    result.currentPath = result.newPath;
    report(std::move(result));
}

void RenameRun::reportVolumeOfSet(std::size_t position, std::size_t leadOrdinal) {
    RenameResult r = start(position);
    r.outcome = Outcome::VolumeOfSet;
    r.detail = texts::volumeOfSet(leadOrdinal);
    if (auto at = volumesMoved_.find(r.oldPath); at != volumesMoved_.end()) {
        r.newPath = at->second;
        r.currentPath = at->second;
    }
    report(std::move(r));
}

}  // namespace jobs
