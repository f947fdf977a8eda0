#include "ui/core/example_results.h"

#include "ui/core/archive_list.h"
#include "ui/core/result_texts.h"
#include "ui/core/window_texts.h"

namespace {

using Outcome = jobs::CleanResult::Outcome;

struct Example {
    const char* name;
    Outcome outcome;
    const char* detail;
    std::size_t removed;
};

}  // namespace

std::vector<ListRow> exampleResultRows(const std::string& folder) {
    const Example examples[] = {
        {"示例00005.rar", Outcome::Deleted, "删除成功", 2},
        {"示例00006.rar", Outcome::Deleted, "删除成功", 1},
        {"字幕合集.rar", Outcome::NothingMatched, "未改动：压缩包内没有要删除的文件", 0},
        {"损坏的下载.rar", Outcome::Failed, "删除失败！压缩包已损坏", 0},
        {"加密资料.rar", Outcome::Failed, "删除失败！压缩包已加密，需要密码", 0},
        {"剧集.part1.rar", Outcome::Failed, "删除失败！无法改写分卷压缩包", 0},
    };
    std::vector<ListRow> rows;
    for (const Example& e : examples) {
        jobs::CleanResult r;
        r.ordinal = rows.size() + 1;
        r.path = folder + e.name;
        r.outcome = e.outcome;
        r.detail = e.detail;
        r.entries.assign(e.removed, "广告.url");
        const RowResult shown = cleanRowResult(r);
        rows.emplace_back(runningNumber(rows.size()), r.path, shown.text, shown.failed);
    }
    // An archive that held nothing but the advertisement.
    rows.emplace_back(runningNumber(rows.size()), folder + "只有广告.rar", std::string(texts::kResultEmptiedToTrash), false);
    return rows;
}
