// The "结果" words: every outcome a job reports gets a short sentence, and the failures are
// marked so the window can make them stand out.
#include "ui/core/result_texts.h"

#include <gtest/gtest.h>

namespace {

using RenameOutcome = jobs::RenameResult::Outcome;
using CleanOutcome = jobs::CleanResult::Outcome;

jobs::RenameResult renameResult(RenameOutcome outcome, std::string detail, std::string newPath = {}) {
    jobs::RenameResult r;
    r.ordinal = 1;
    r.outcome = outcome;
    r.oldPath = "/下载/a.rar";
    r.newPath = std::move(newPath);
    r.currentPath = r.outcome == RenameOutcome::Renamed ? r.newPath : r.oldPath;
    r.detail = std::move(detail);
    return r;
}

TEST(RenameRowResult, EveryOutcomeInAFewWords) {
    struct Case {
        jobs::RenameResult result;
        RowResult expected;
    };
    const Case cases[] = {
        {renameResult(RenameOutcome::Renamed, "", "/下载/文件2.rar"), {"已更名为 文件2.rar", false}},
        {renameResult(RenameOutcome::AlreadyNamed, "名称已是新名称，未改动", "/下载/a.rar"), {"名称已是新名称，未改动", false}},
        {renameResult(RenameOutcome::NoMatchingEntry, "未更名：压缩包内没有后缀为“exe”的文件"),
         {"未更名：压缩包内没有后缀为“exe”的文件", false}},
        {renameResult(RenameOutcome::NothingTyped, "未更名：没有填写后缀"), {"未更名：没有填写后缀", false}},
        {renameResult(RenameOutcome::SameAsEarlierRow, "未更名：与第1个是同一个文件"), {"未更名：与第1个是同一个文件", false}},
        {renameResult(RenameOutcome::CannotList, "未更名：无法读取压缩包内容：压缩包已损坏"),
         {"未更名：无法读取压缩包内容：压缩包已损坏", true}},
        {renameResult(RenameOutcome::NameRefused, "未更名：新名称“CON.rar”不可用：“CON”是系统保留的名称", "/下载/CON.rar"),
         {"未更名：新名称“CON.rar”不可用：“CON”是系统保留的名称", true}},
        {renameResult(RenameOutcome::BadStartNumber, "未更名：起始序号只能由数字0到9组成"),
         {"未更名：起始序号只能由数字0到9组成", true}},
        {renameResult(RenameOutcome::Missing, "未更名：文件不存在"), {"未更名：文件不存在", true}},
        {renameResult(RenameOutcome::MoveFailed, "未更名：没有权限"), {"未更名：没有权限", true}},
        // A reason the job words without the verdict gets it.
        {renameResult(RenameOutcome::ClashKept, "文件已存在：/下载/b.rar；回收站无法接收，本压缩包保留未动：只读", "/下载/b.rar"),
         {"未更名：文件已存在：/下载/b.rar；回收站无法接收，本压缩包保留未动：只读", true}},
        // One that moved along with another archive says where it is now.
        {[] {
             auto r = renameResult(RenameOutcome::SameAsEarlierRow, "与第1个一同处理");
             r.currentPath = "/下载/示例00005.part2.rar";
             return r;
         }(),
         {"已更名为 示例00005.part2.rar", false}},
        {renameResult(RenameOutcome::Trashed, "文件已存在：/下载/b.rar；本压缩包已移到回收站", "/下载/b.rar"),
         {"已移到回收站：b.rar已存在", true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.result.outcome));
        EXPECT_EQ(renameRowResult(c.result), c.expected);
    }
}

jobs::CleanResult cleanResult(CleanOutcome outcome, std::string detail, std::size_t entries = 0) {
    jobs::CleanResult r;
    r.ordinal = 1;
    r.path = "/下载/a.rar";
    r.outcome = outcome;
    r.detail = std::move(detail);
    for (std::size_t i = 0; i < entries; ++i) r.entries.push_back("广告" + std::to_string(i) + ".txt");
    return r;
}

jobs::CleanResult withReason(jobs::CleanResult r, std::string reason) {
    r.reason = std::move(reason);
    return r;
}

TEST(CleanRowResult, EveryOutcomeInAFewWords) {
    struct Case {
        jobs::CleanResult result;
        RowResult expected;
    };
    const Case cases[] = {
        {cleanResult(CleanOutcome::Deleted, "删除成功", 3), {"已删除 3 个文件", false}},
        {cleanResult(CleanOutcome::Deleted, "删除成功", 1), {"已删除 1 个文件", false}},
        // A delete that did not say what it took out.
        {cleanResult(CleanOutcome::Deleted, "删除成功"), {"已删除文件", false}},
        {cleanResult(CleanOutcome::NothingMatched, "未改动：压缩包内没有要删除的文件"), {"没有要删除的文件", false}},
        {cleanResult(CleanOutcome::Failed, "删除失败！压缩包已加密，密码错误"), {"删除失败：压缩包已加密，密码错误", true}},
        {cleanResult(CleanOutcome::Failed, "删除失败！"), {"删除失败", true}},
        {cleanResult(CleanOutcome::NothingToDelete, "未改动：删除列表为空"), {"未改动：删除列表为空", false}},
        {cleanResult(CleanOutcome::WouldDelete, "", 2), {"将删除 2 个文件", false}},
        {cleanResult(CleanOutcome::WouldMatchNothing, "未改动：压缩包内没有要删除的文件"), {"没有要删除的文件", false}},
        {cleanResult(CleanOutcome::Emptied, "删除成功，压缩包已空，已移到回收站：/t/a.rar", 2),
         {"已清空，原压缩包已移到回收站", false}},
        {cleanResult(CleanOutcome::KeptEmpty, "删除成功，压缩包已空；回收站无法接收，已保留为不含文件的压缩包", 2),
         {"已清空，保留为不含文件的压缩包", false}},
        {cleanResult(CleanOutcome::WouldEmpty, "", 2), {"将删除 2 个文件，清空后将移到回收站", false}},
        {withReason(cleanResult(CleanOutcome::WouldFail, "将无法删除：压缩包已锁定"), "压缩包已锁定"),
         {"删除失败：压缩包已锁定", true}},
        {withReason(cleanResult(CleanOutcome::Failed, "删除失败！压缩包已锁定；退出码 3"), "压缩包已锁定；退出码 3"),
         {"删除失败：压缩包已锁定；退出码 3", true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.result.outcome));
        EXPECT_EQ(cleanRowResult(c.result), c.expected);
    }
}

}  // namespace
