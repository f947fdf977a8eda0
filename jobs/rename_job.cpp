#include "jobs/rename_job.h"

#include <memory>

#include "jobs/dry_run_file_system.h"
#include "jobs/job_texts.h"
#include "jobs/naming_rules.h"
#include "jobs/rename_run.h"

namespace jobs {

using Outcome = RenameResult::Outcome;

std::vector<RenameResult> RenameJob::run(const RenameRequest& request, ArchiveRows& rows, const StatusSink& status,
                                         const RenameResultSink& onResult, std::stop_token stop) {
    journalProblems_.clear();
    std::unique_ptr<DryRunFileSystem> overlay;
    if (request.dryRun) overlay = std::make_unique<DryRunFileSystem>(files_);
    JobFileSystem& files = overlay ? static_cast<JobFileSystem&>(*overlay) : files_;

    RenameRun run(files, journal_, request, rows, status, onResult, journalProblems_);
    if (request.mode == RenameMode::ByExtension) {
        renameByExtension(run, commands_, stop);
    } else {
        renameByNumber(run);
    }
    run.finish();
    return std::move(run.results());
}

void renameByExtension(RenameRun& run, ArchiveCommands& commands, std::stop_token stop) {
    const std::string extension = normalizedExtension(run.request().extension);
    const RowUnits grouped = groupRows(run);
    for (std::size_t i = 0; i < run.rows().count(); ++i) {
        if (stop.stop_requested()) break;
        run.status(texts::renameProgress(i + 1));
        const ArchiveUnit& unit = grouped.units[grouped.unitOfRow[i]];
        if (unit.isSet && unit.rows.front() != i) {
            run.reportVolumeOfSet(i, unit.rows.front() + 1);
            continue;
        }
        RenameResult r = run.start(i);
        if (extension.empty()) {
            r.outcome = Outcome::NothingTyped;
            r.detail = std::string(texts::kNoExtensionTyped);
            run.report(std::move(r));
            continue;
        }
        if (unit.isSet && !unit.complete()) {
            r.outcome = Outcome::VolumeMissing;
            r.detail = texts::volumeMissing(unit.missingVolume);
            run.report(std::move(r));
            continue;
        }
        // A set is named after the entries of its first volume.
        Listing listing = commands.listArchive(unit.isSet ? unit.volumes.front() : r.oldPath, kListingPassword);
        if (!listing.listed) {
            r.outcome = Outcome::CannotList;
            r.detail = std::string(texts::kNotRenamed) + texts::cannotList(listing.problem);
            run.report(std::move(r));
            continue;
        }
        auto match = findEntryWithExtension(listing.entries, extension);
        if (!match) {
            r.outcome = Outcome::NoMatchingEntry;
            r.detail = texts::noEntryWithExtension(extension);
            run.report(std::move(r));
            continue;
        }
        const std::string name = archiveNameForEntry(bareEntryName(listing.entries[*match].path), extension);
        if (unit.isSet) {
            if (name == ".rar") {
                r.outcome = Outcome::NameRefused;
                r.detail = texts::nameRefused(name, texts::kEmptyName);
                run.report(std::move(r));
                continue;
            }
            auto targets = setTargets(run, r, unit, name.substr(0, name.size() - 4));
            if (!targets) {
                run.report(std::move(r));
                continue;
            }
            run.settleSet(std::move(r), unit.volumes, *targets);
            continue;
        }
        r.newPath = RenameRun::pathBeside(r.oldPath, name);
        if (run.refuses(r, name)) {
            run.report(std::move(r));
            continue;
        }
        if (namesSameFile(run.files(), r.oldPath, r.newPath)) {
            r.outcome = Outcome::AlreadyNamed;
            r.detail = std::string(texts::kAlreadyNamed);
            run.report(std::move(r));
            continue;
        }
        const std::string source = r.oldPath;
        run.settle(std::move(r), source, {});
    }
}

}  // namespace jobs
