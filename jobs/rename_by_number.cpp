#include <map>
#include <random>

#include "jobs/job_texts.h"
#include "jobs/naming_rules.h"
#include "jobs/rename_run.h"
#include "jobs/undo_rename.h"

namespace jobs {
namespace {

using Outcome = RenameResult::Outcome;

struct IdentityLess {
    bool operator()(const platform::FileIdentity& a, const platform::FileIdentity& b) const {
        return a.device != b.device ? a.device < b.device : a.file < b.file;
    }
};
using IdentityMap = std::map<platform::FileIdentity, std::size_t, IdentityLess>;

struct Row {
    RenameResult result;
    bool moves = false;
    bool holdsName = false;  // keeps its file under its own name through the job
    bool viaTemporary = false;
    std::string location;  // where the archive lies between the two phases
    platform::FileIdentity id;
    // A volume set: its first row moves every volume; its other rows follow it.
    std::vector<std::string> setFrom, setTo;
    std::optional<std::size_t> volumeOf;
};

// Hidden, short and still ".rar": a crash between the phases leaves files the folder walk
// finds and the journal knows.
class TemporaryNames {
public:
    TemporaryNames() {
        std::random_device random;
        std::uniform_int_distribution<unsigned> hex(0, 15);
        for (int i = 0; i < 8; ++i) tag_ += "0123456789abcdef"[hex(random)];
    }
    std::string freeNameBeside(JobFileSystem& files, const std::string& path) {
        while (true) {
            std::string candidate =
                RenameRun::pathBeside(path, std::string(kTemporaryNamePrefix) + tag_ + "-" + std::to_string(++counter_) + ".rar");
            if (!files.exists(candidate)) return candidate;
        }
    }

private:
    std::string tag_;
    unsigned counter_ = 0;
};

// Everything known before a file is touched: each row's new path, and which rows keep
// their names and why.
std::vector<Row> plan(RenameRun& run) {
    const RenameRequest& request = run.request();
    std::vector<Row> rows;
    IdentityMap seen;
    // One number per archive: a volume set takes one for all its rows.
    const RowUnits grouped = groupRows(run);
    for (std::size_t i = 0; i < run.rows().count(); ++i) {
        Row& row = rows.emplace_back();
        row.result = run.start(i);
        RenameResult& r = row.result;
        auto id = run.files().identity(r.oldPath);
        if (id) {
            row.id = *id;
            row.holdsName = true;
        }
        const ArchiveUnit& unit = grouped.units[grouped.unitOfRow[i]];
        if (unit.isSet && unit.rows.front() != i) {
            row.volumeOf = unit.rows.front();
            continue;
        }
        if (request.startNumber.empty()) {
            r.outcome = Outcome::NothingTyped;
            r.detail = std::string(texts::kNoStartNumberTyped);
            continue;
        }
        auto number = runningNumberText(request.startNumber, grouped.unitOfRow[i]);
        if (!number) {
            r.outcome = Outcome::BadStartNumber;
            r.detail = std::string(texts::kStartNumberNotDigits);
            continue;
        }
        if (unit.isSet) {
            if (!unit.complete()) {
                r.outcome = Outcome::VolumeMissing;
                r.detail = texts::volumeMissing(unit.missingVolume);
                continue;
            }
            auto targets = setTargets(run, r, unit, request.prefix + *number);
            if (!targets) continue;
            row.setFrom = unit.volumes;
            row.setTo = std::move(*targets);
            continue;
        }
        const std::string name = request.prefix + *number + ".rar";
        r.newPath = RenameRun::pathBeside(r.oldPath, name);
        if (run.refuses(r, name)) continue;
        if (!id) {
            r.outcome = Outcome::Missing;
            r.detail = std::string(texts::kMissing);
            continue;
        }
        if (auto earlier = seen.find(*id); earlier != seen.end()) {
            row.holdsName = false;  // the earlier row speaks for the file
            r.outcome = Outcome::SameAsEarlierRow;
            r.detail = texts::sameArchiveAs(earlier->second + 1);
            continue;
        }
        seen.emplace(*id, i);
        if (namesSameFile(run.files(), r.oldPath, r.newPath)) {
            r.outcome = Outcome::AlreadyNamed;
            r.detail = std::string(texts::kAlreadyNamed);
            continue;
        }
        row.moves = true;
        row.holdsName = false;
        row.location = r.oldPath;
    }
    return rows;
}

}  // namespace

void renameByNumber(RenameRun& run) {
    std::vector<Row> rows = plan(run);
    JobFileSystem& files = run.files();

    // A new path that is a later row's present name is no clash: that archive moves on.
    // So every archive whose name another archive of the list is to take first steps
    // aside under a temporary name; then each takes its new name in list order. Running
    // the same numbering again finds every archive named already and moves nothing.
    IdentityMap movers;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].moves) movers.emplace(rows[i].id, i);
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].moves) continue;
        auto occupant = files.identity(rows[i].result.newPath);
        if (!occupant) continue;
        auto m = movers.find(*occupant);
        if (m != movers.end() && m->second != i) rows[m->second].viaTemporary = true;
    }

    TemporaryNames temporary;
    for (Row& row : rows) {
        if (!row.viaTemporary) continue;
        const std::string aside = temporary.freeNameBeside(files, row.result.oldPath);
        run.journalMove(row.id, row.result.oldPath, aside);
        platform::MoveOutcome moved = files.move(row.result.oldPath, aside);
        if (moved.moved()) {
            row.location = aside;
            continue;
        }
        run.journalUnmoved(row.id, row.result.oldPath, aside);
        row.moves = false;
        row.holdsName = true;
        row.result.outcome = Outcome::MoveFailed;
        row.result.detail = texts::moveFailed(moved.message);
    }

    // The rows that still hold their own names: a new path taken by one of them is not a
    // stranger's file.
    IdentityMap staying;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i].holdsName) staying.emplace(rows[i].id, i);
    }
    auto holder = [&](const platform::FileIdentity& id) -> std::optional<std::size_t> {
        auto it = staying.find(id);
        if (it == staying.end()) return std::nullopt;
        return it->second;
    };

    for (std::size_t i = 0; i < rows.size(); ++i) {
        run.status(texts::renameProgress(i + 1));
        if (rows[i].volumeOf) {
            run.reportVolumeOfSet(i, *rows[i].volumeOf + 1);
            continue;
        }
        if (!rows[i].setFrom.empty()) {
            run.settleSet(std::move(rows[i].result), rows[i].setFrom, rows[i].setTo);
            continue;
        }
        if (!rows[i].moves) {
            run.report(std::move(rows[i].result));
            continue;
        }
        run.settle(std::move(rows[i].result), rows[i].location, holder);
    }
}

}  // namespace jobs
