// A volume set is one archive for the rename job: one number or one name for all its
// volumes, which move together or not at all, and one row that speaks for it.
#include <gtest/gtest.h>

#include "jobs/rename_job.h"
#include "platform/file.h"
#include "tests/jobs/job_test_fixture.h"

namespace {

using jobs::RenameResult;
using Outcome = RenameResult::Outcome;
using Texts = std::vector<std::string>;

// The disk, except that one move fails as a full disk would make it.
class FailingMoveFileSystem final : public jobs::JobFileSystem {
public:
    FailingMoveFileSystem(jobs::JobFileSystem& disk, std::string failingTarget)
        : disk_(disk), failingTarget_(std::move(failingTarget)) {}
    bool exists(const std::string& path) override { return disk_.exists(path); }
    std::optional<platform::FileIdentity> identity(const std::string& path) override { return disk_.identity(path); }
    platform::MoveOutcome move(const std::string& from, const std::string& to) override {
        if (to == failingTarget_) return {platform::MoveOutcome::Kind::Failed, "磁盘已满"};
        return disk_.move(from, to);
    }
    platform::Result<platform::TrashedFile> trash(const std::string& path) override { return disk_.trash(path); }
    platform::Status restore(const platform::TrashedFile& t, const std::string& original) override {
        return disk_.restore(t, original);
    }

private:
    jobs::JobFileSystem& disk_;
    std::string failingTarget_;
};

class RenameVolumeSet : public testsupport::JobTest {
protected:
    std::vector<RenameResult> number(jobs::VectorArchiveRows& rows, const std::string& start,
                                     jobs::JobFileSystem* fs = nullptr) {
        jobs::RenameJob job(commands, fs ? *fs : files);
        jobs::RenameRequest request;
        request.mode = jobs::RenameMode::ByNumber;
        request.prefix = "示例";
        request.startNumber = start;
        return job.run(request, rows, status.sink());
    }
    std::vector<RenameResult> byExtension(jobs::VectorArchiveRows& rows, const std::string& extension) {
        jobs::RenameJob job(commands, files);
        jobs::RenameRequest request;
        request.mode = jobs::RenameMode::ByExtension;
        request.extension = extension;
        return job.run(request, rows, status.sink());
    }
    Texts filesIn(const std::string& relative) const {
        Texts names;
        for (const auto& e : std::filesystem::directory_iterator(dir / relative)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(RenameVolumeSet, ASetTakesOneNumberAndKeepsItsVolumeNaming) {
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example"), archive("d/s.part1.rar", "help-example"),
                                  archive("d/s.part2.rar", "no-exe"), archive("d/s.part3.rar", "no-exe"),
                                  archive("d/o.rar", "help-example"), archive("d/b.rar", "help-example")});
    archive("d/o.r00", "no-exe");
    archive("d/o.r01", "no-exe");
    auto results = number(rows, "00005");

    EXPECT_EQ(status.texts.size(), 7u);  // a progress text per row, then the completion text
    ASSERT_EQ(results.size(), 6u);
    EXPECT_EQ(results[1].outcome, Outcome::Renamed);
    EXPECT_EQ(results[1].newPath, at("d/示例00006.part1.rar"));
    for (std::size_t i : {2u, 3u}) {
        EXPECT_EQ(results[i].outcome, Outcome::VolumeOfSet);
        EXPECT_EQ(results[i].detail, "分卷压缩包的一卷，与第2个一同处理");
        EXPECT_EQ(results[i].category(), RenameResult::Category::Unchanged);
    }
    EXPECT_EQ(results[4].outcome, Outcome::Renamed);
    EXPECT_EQ(rows.paths(), (Texts{at("d/示例00005.rar"), at("d/示例00006.part1.rar"), at("d/示例00006.part2.rar"),
                                   at("d/示例00006.part3.rar"), at("d/示例00007.rar"), at("d/示例00008.rar")}));
    EXPECT_EQ(filesIn("d"), (Texts{"示例00005.rar", "示例00006.part1.rar", "示例00006.part2.rar", "示例00006.part3.rar",
                                   "示例00007.r00", "示例00007.r01", "示例00007.rar", "示例00008.rar"}));
    EXPECT_EQ(tag("d/示例00006.part3.rar"), "d/s.part3.rar");
    EXPECT_EQ(tag("d/示例00007.r01"), "d/o.r01");

    // Again: every archive, sets included, already has its name.
    auto again = number(rows, "00005");
    for (const auto& r : again) {
        EXPECT_TRUE(r.outcome == Outcome::AlreadyNamed || r.outcome == Outcome::VolumeOfSet) << r.detail;
    }
    EXPECT_EQ(filesIn("d").size(), 8u);
}

TEST_F(RenameVolumeSet, ByExtensionNamesTheSetAfterItsFirstVolume) {
    jobs::VectorArchiveRows rows({archive("d/v.part02.rar", "two-exe"), archive("d/v.part01.rar", "help-example")});
    auto results = byExtension(rows, "exe");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, Outcome::Renamed);
    EXPECT_EQ(results[0].newPath, at("d/文件2.part02.rar"));
    EXPECT_EQ(results[1].outcome, Outcome::VolumeOfSet);
    EXPECT_EQ(results[1].currentPath, at("d/文件2.part01.rar"));
    EXPECT_EQ(commands.calls, (Texts{"list " + at("d/v.part01.rar")}));
    EXPECT_EQ(filesIn("d"), (Texts{"文件2.part01.rar", "文件2.part02.rar"}));
    EXPECT_TRUE(trashed().empty());
}

// A taken name for any volume keeps the whole set; no volume goes to the trash alone.
TEST_F(RenameVolumeSet, AClashOnAnyVolumeKeepsTheWholeSet) {
    dir.write("d/示例1.part2.rar", "stranger");
    jobs::VectorArchiveRows rows({archive("d/s.part1.rar", "help-example"), archive("d/s.part2.rar", "no-exe")});
    auto results = number(rows, "1");
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, Outcome::ClashKept);
    EXPECT_EQ(results[0].detail, "文件已存在：" + at("d/示例1.part2.rar") + "；分卷压缩包的各卷都保留原名");
    EXPECT_EQ(results[0].category(), RenameResult::Category::Failed);
    EXPECT_EQ(results[1].currentPath, at("d/s.part2.rar"));
    EXPECT_EQ(filesIn("d"), (Texts{"s.part1.rar", "s.part2.rar", "示例1.part2.rar"}));
    EXPECT_EQ(platform::readWholeFile(dir / "d/示例1.part2.rar").value(), "stranger");
    EXPECT_TRUE(trashed().empty());
    for (const auto& t : status.texts) EXPECT_NE(t, "文件已存在！该文件被删除！");
}

TEST_F(RenameVolumeSet, AVolumeThatCannotMoveBringsTheMovedOnesBack) {
    jobs::VectorArchiveRows rows({archive("d/s.part1.rar", "help-example"), archive("d/s.part2.rar", "no-exe"),
                                  archive("d/s.part3.rar", "no-exe")});
    FailingMoveFileSystem failing(files, at("d/示例1.part3.rar"));
    auto results = number(rows, "1", &failing);
    ASSERT_EQ(results.size(), 3u);
    EXPECT_EQ(results[0].outcome, Outcome::MoveFailed);
    EXPECT_EQ(results[0].detail, "未更名：磁盘已满；已改名的分卷都已改回原名");
    EXPECT_EQ(filesIn("d"), (Texts{"s.part1.rar", "s.part2.rar", "s.part3.rar"}));
    EXPECT_EQ(rows.paths(), (Texts{at("d/s.part1.rar"), at("d/s.part2.rar"), at("d/s.part3.rar")}));
}

TEST_F(RenameVolumeSet, ASetWithAVolumeMissingIsReportedAndLeftAlone) {
    jobs::VectorArchiveRows rows({archive("d/s.part1.rar", "help-example"), archive("d/s.part3.rar", "no-exe"),
                                  archive("d/x.rar", "help-example")});
    for (bool byNumber : {true, false}) {
        SCOPED_TRACE(byNumber);
        auto results = byNumber ? number(rows, "1") : byExtension(rows, "exe");
        ASSERT_EQ(results.size(), 3u);
        EXPECT_EQ(results[0].outcome, Outcome::VolumeMissing);
        EXPECT_EQ(results[0].detail, "未更名：分卷压缩包缺少分卷 " + at("d/s.part2.rar") + "，各卷都保留原名");
        EXPECT_EQ(results[1].outcome, Outcome::VolumeOfSet);
        EXPECT_EQ(results[2].outcome, Outcome::Renamed);
        EXPECT_TRUE(exists("d/s.part1.rar"));
        EXPECT_TRUE(exists("d/s.part3.rar"));
    }
    EXPECT_EQ(filesIn("d"), (Texts{"s.part1.rar", "s.part3.rar", "文件2.rar"}));
}

}  // namespace
