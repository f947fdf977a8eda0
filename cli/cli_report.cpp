#include "cli/cli_report.h"

#include "jobs/job_texts.h"

namespace cli {
namespace {

std::string ordinal(std::size_t n) { return "[" + std::to_string(n) + "] "; }

std::string count(std::size_t n) { return std::to_string(n); }

}  // namespace

std::string renameResultLine(const jobs::RenameResult& r) {
    if (r.outcome == jobs::RenameResult::Outcome::Renamed) {
        return ordinal(r.ordinal) + (r.dryRun ? "将更名：" : "已更名：") + r.oldPath + " -> " + r.newPath;
    }
    return ordinal(r.ordinal) + jobs::resultListText(r);
}

std::string renameSummary(const std::vector<jobs::RenameResult>& results, bool dryRun) {
    std::size_t renamed = 0, unchanged = 0, failed = 0, trashed = 0;
    for (const auto& r : results) {
        // A set counts once, on the row that speaks for it.
        if (r.outcome == jobs::RenameResult::Outcome::VolumeOfSet) continue;
        switch (r.category()) {
            case jobs::RenameResult::Category::Renamed: ++renamed; break;
            case jobs::RenameResult::Category::Unchanged: ++unchanged; break;
            case jobs::RenameResult::Category::Failed: ++failed; break;
        }
        if (r.outcome == jobs::RenameResult::Outcome::Trashed) ++trashed;
    }
    std::string text = dryRun ? "试运行：将更名 " + count(renamed) + " 个，不变 " + count(unchanged) + " 个，失败 " +
                                    count(failed) + " 个"
                              : "已更名 " + count(renamed) + " 个，未改动 " + count(unchanged) + " 个，失败 " +
                                    count(failed) + " 个";
    if (trashed > 0) text += "（其中 " + count(trashed) + (dryRun ? " 个将移到回收站）" : " 个已移到回收站）");
    text += "。(";
    text += dryRun ? "dry run: would rename " : "renamed ";
    text += count(renamed) + ", unchanged " + count(unchanged) + ", failed " + count(failed);
    if (trashed > 0) text += ", " + count(trashed) + (dryRun ? " would go" : " went") + " to the trash";
    return text + ")";
}

std::vector<std::string> cleanResultLines(const jobs::CleanResult& r) {
    using Outcome = jobs::CleanResult::Outcome;
    std::vector<std::string> lines{ordinal(r.ordinal) + r.path + "：" + r.detail};
    if (r.outcome == Outcome::WouldDelete || r.outcome == Outcome::WouldEmpty) {
        for (const auto& e : r.entries) lines.push_back("    " + e);
    }
    return lines;
}

std::string cleanSummary(const std::vector<jobs::CleanResult>& results, bool dryRun) {
    using Outcome = jobs::CleanResult::Outcome;
    std::size_t changed = 0, unchanged = 0, failed = 0, trashed = 0, keptEmpty = 0;
    for (const auto& r : results) {
        if (r.outcome == Outcome::VolumeOfSet) continue;  // its set is counted once, at its first volume
        switch (r.category()) {
            case jobs::CleanResult::Category::Changed: ++changed; break;
            case jobs::CleanResult::Category::Unchanged: ++unchanged; break;
            case jobs::CleanResult::Category::Failed: ++failed; break;
        }
        if (r.outcome == Outcome::WouldEmpty || r.outcome == Outcome::Emptied) ++trashed;
        if (r.outcome == Outcome::KeptEmpty) ++keptEmpty;
    }
    std::string text = dryRun ? "试运行：将打扫 " + count(changed) + " 个，不变 " + count(unchanged) + " 个，失败 " +
                                    count(failed) + " 个"
                              : "已打扫 " + count(changed) + " 个，未改动 " + count(unchanged) + " 个，失败 " +
                                    count(failed) + " 个";
    std::string emptied;
    if (trashed > 0) emptied = count(trashed) + (dryRun ? " 个将移到回收站" : " 个已移到回收站");
    if (keptEmpty > 0) emptied += (emptied.empty() ? "" : "，") + count(keptEmpty) + " 个已保留为不含文件的压缩包";
    if (!emptied.empty()) text += "（其中 " + emptied + "）";
    text += "。(";
    text += dryRun ? "dry run: would clean " : "cleaned ";
    text += count(changed) + ", unchanged " + count(unchanged) + ", failed " + count(failed);
    if (trashed > 0) text += ", " + count(trashed) + (dryRun ? " would go" : " went") + " to the trash";
    if (keptEmpty > 0) text += ", " + count(keptEmpty) + " kept without entries";
    return text + ")";
}

std::string undoSummary(const jobs::UndoReport& report) {
    std::size_t restored = 0;
    for (const auto& s : report.steps) restored += s.outcome == jobs::UndoStep::Outcome::Restored;
    const std::size_t left = report.steps.size() - restored;
    return "已还原 " + count(restored) + " 个，未还原 " + count(left) + " 个。(restored " + count(restored) +
           ", not restored " + count(left) + ")";
}

}  // namespace cli
