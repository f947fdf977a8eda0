// Undo after a clean job: the archives it emptied come back from the trash, whole; nothing
// else of a clean can be undone, so a clean that emptied nothing leaves the last rename to undo.
#include <gtest/gtest.h>

#include "platform/paths.h"

#include "jobs/clean_job.h"
#include "jobs/rename_job.h"
#include "jobs/rename_journal.h"
#include "jobs/undo_rename.h"
#include "tests/jobs/job_test_fixture.h"

namespace {

using jobs::UndoStep;
using Texts = std::vector<std::string>;

class UndoCleanTest : public testsupport::JobTest {
protected:
    std::filesystem::path journalFile = dir / "work" / std::string(jobs::kRenameJournalName);

    void SetUp() override { std::filesystem::create_directories(journalFile.parent_path()); }

    void rename(jobs::VectorArchiveRows& rows) {
        auto journal = jobs::RenameJournal::open(journalFile);
        ASSERT_TRUE(journal.ok()) << journal.message();
        jobs::RenameJob job(commands, files);
        job.setJournal(&*journal);
        jobs::RenameRequest request;
        request.extension = "exe";
        job.run(request, rows, status.sink());
        EXPECT_TRUE(job.journalProblems().empty());
    }
    std::vector<jobs::CleanResult> clean(jobs::VectorArchiveRows& rows, const std::string& list) {
        auto journal = jobs::RenameJournal::open(journalFile);
        EXPECT_TRUE(journal.ok()) << journal.message();
        jobs::CleanJob job(commands);
        job.setJournal(&*journal, &files);
        auto results = job.run(jobs::CleanRequest{list, false}, rows, status.sink());
        EXPECT_TRUE(job.journalProblems().empty());
        return results;
    }
    jobs::UndoReport undo() {
        auto report = jobs::undoLastRenameJob(journalFile, files);
        EXPECT_TRUE(report.ok()) << report.message();
        return *report;
    }
    Texts entries(const std::string& relative) { return testsupport::FakeArchiveCommands::entriesOf(dir / relative); }
};

TEST_F(UndoCleanTest, BringsBackTheArchivesTheCleanEmptiedThenTheRenameBeforeIt) {
    jobs::VectorArchiveRows rows({archive("d/a.rar", "two-exe"), archive("d/b.rar", "help-example")});
    rename(rows);
    ASSERT_TRUE(exists("d/甲.rar"));
    auto results = clean(rows, "*.exe\n文件1.txt");
    ASSERT_EQ(results.size(), 2u);
    ASSERT_EQ(results[0].outcome, jobs::CleanResult::Outcome::Emptied);
    ASSERT_EQ(results[1].outcome, jobs::CleanResult::Outcome::Deleted);
    ASSERT_FALSE(exists("d/甲.rar"));

    auto report = undo();
    EXPECT_TRUE(report.foundJob);
    EXPECT_TRUE(report.cleanJob);
    EXPECT_EQ(report.description, "删除 *.exe、文件1.txt");
    ASSERT_EQ(report.steps.size(), 1u);
    EXPECT_EQ(report.steps[0].outcome, UndoStep::Outcome::Restored);
    EXPECT_EQ(jobs::undoStepText(report.steps[0]),
              "已还原：" + platform::utf8FromPath(trashDir / "files" / platform::pathFromUtf8("甲.rar")) + " -> " + at("d/甲.rar"));
    EXPECT_EQ(entries("d/甲.rar"), (Texts{"甲.exe", "乙.exe"}));
    EXPECT_TRUE(trashed().empty());
    EXPECT_TRUE(std::filesystem::is_empty(trashDir / "info"));
    // What the delete took from the other archive stays deleted.
    EXPECT_EQ(entries("d/文件2.rar"), (Texts{"文件3.pdf"}));

    // Next comes the rename: the archive back from the trash is the one it moved.
    report = undo();
    EXPECT_FALSE(report.cleanJob);
    EXPECT_TRUE(report.complete());
    EXPECT_EQ(tag("d/a.rar"), "d/a.rar");
    EXPECT_EQ(tag("d/b.rar"), "d/b.rar");
    EXPECT_FALSE(undo().foundJob);
}

TEST_F(UndoCleanTest, ACleanThatEmptiedNothingLeavesTheRenameToUndo) {
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example")});
    rename(rows);
    clean(rows, "文件1.txt");
    commands.trash.reset();
    clean(rows, "*");  // kept as an archive without entries: nothing in the trash to bring back

    auto report = undo();
    EXPECT_FALSE(report.cleanJob);
    EXPECT_TRUE(report.complete());
    EXPECT_TRUE(exists("d/a.rar"));
    EXPECT_TRUE(entries("d/a.rar").empty());
}

// Where the trash did not say where the archive went, undo sends the user to the trash.
TEST_F(UndoCleanTest, SendsTheUserToTheTrashWhenItSaidNotWhere) {
    commands.trashTellsWhere = false;
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example")});
    auto results = clean(rows, "*");
    ASSERT_EQ(results[0].outcome, jobs::CleanResult::Outcome::Emptied);
    EXPECT_EQ(results[0].detail, "删除成功，压缩包已空，已移到回收站");

    auto report = undo();
    EXPECT_TRUE(report.cleanJob);
    ASSERT_EQ(report.steps.size(), 1u);
    EXPECT_EQ(report.steps[0].outcome, UndoStep::Outcome::InTrashUnknownWhere);
    EXPECT_EQ(jobs::undoStepText(report.steps[0]), "未还原：" + at("d/a.rar") + " 已移到回收站，请在回收站中还原");
    EXPECT_FALSE(undo().foundJob);
}

}  // namespace
