#include "jobs/undo_rename.h"

#include <gtest/gtest.h>

#include "jobs/clean_job.h"
#include "jobs/rename_job.h"
#include "jobs/rename_journal.h"
#include "platform/file.h"
#include "tests/jobs/job_test_fixture.h"
#include "tests/jobs/test_file_systems.h"

namespace {

using jobs::UndoStep;
using Texts = std::vector<std::string>;

class UndoTest : public testsupport::JobTest {
protected:
    std::filesystem::path journalFile = dir / "work" / std::string(jobs::kRenameJournalName);

    void SetUp() override { std::filesystem::create_directories(journalFile.parent_path()); }

    std::vector<jobs::RenameResult> rename(jobs::VectorArchiveRows& rows, jobs::RenameMode mode,
                                           const std::string& extension, const std::string& start = {},
                                           jobs::JobFileSystem* fs = nullptr) {
        auto journal = jobs::RenameJournal::open(journalFile);
        EXPECT_TRUE(journal.ok()) << journal.message();
        jobs::RenameJob job(commands, fs ? *fs : files);
        job.setJournal(&*journal);
        jobs::RenameRequest request;
        request.mode = mode;
        request.extension = extension;
        request.prefix = "示例";
        request.startNumber = start;
        auto results = job.run(request, rows, status.sink());
        EXPECT_TRUE(job.journalProblems().empty());
        return results;
    }
    jobs::UndoReport undo() {
        auto report = jobs::undoLastRenameJob(journalFile, files);
        EXPECT_TRUE(report.ok()) << report.message();
        return *report;
    }
};

TEST_F(UndoTest, RevertsTheRenamesAndBringsTheTrashedArchiveBack) {
    jobs::VectorArchiveRows rows({archive("d/first.rar", "help-example"), archive("d/second.rar", "help-example"),
                                  archive("d/third.rar", "two-exe")});
    rename(rows, jobs::RenameMode::ByExtension, "exe");
    ASSERT_FALSE(exists("d/second.rar"));

    auto report = undo();
    EXPECT_TRUE(report.foundJob);
    EXPECT_EQ(report.description, "按后缀 exe");
    ASSERT_EQ(report.steps.size(), 3u);
    EXPECT_TRUE(report.complete());
    EXPECT_EQ(tag("d/first.rar"), "d/first.rar");
    EXPECT_EQ(tag("d/second.rar"), "d/second.rar");
    EXPECT_EQ(tag("d/third.rar"), "d/third.rar");
    EXPECT_FALSE(exists("d/文件2.rar"));
    EXPECT_FALSE(exists("d/甲.rar"));
    EXPECT_TRUE(trashed().empty());
    EXPECT_TRUE(std::filesystem::is_empty(trashDir / "info"));

    // Undone once; nothing earlier is left.
    EXPECT_FALSE(undo().foundJob);
}

// Trashed where the trash did not say where to: only the desktop can bring it back, and
// undo says so instead of naming an empty place.
TEST_F(UndoTest, SendsTheUserToTheTrashForAnArchiveItCannotFindThere) {
    testsupport::UntoldTrashFileSystem untold(dir / "bin");
    jobs::VectorArchiveRows rows({archive("d/first.rar", "help-example"), archive("d/second.rar", "help-example")});
    rename(rows, jobs::RenameMode::ByExtension, "exe", {}, &untold);
    ASSERT_TRUE(std::filesystem::exists(dir / "bin/second.rar"));

    auto report = undo();
    ASSERT_EQ(report.steps.size(), 2u);
    EXPECT_EQ(report.steps[0].outcome, UndoStep::Outcome::InTrashUnknownWhere);
    EXPECT_EQ(jobs::undoStepText(report.steps[0]), "未还原：" + at("d/second.rar") + " 已移到回收站，请在回收站中还原");
    EXPECT_EQ(report.steps[1].outcome, UndoStep::Outcome::Restored);
    EXPECT_FALSE(report.complete());
    EXPECT_EQ(tag("d/first.rar"), "d/first.rar");
    // Nothing undo could still do is left open.
    EXPECT_FALSE(undo().foundJob);
}

TEST_F(UndoTest, RevertsANumberingThatSwappedNames) {
    jobs::VectorArchiveRows rows({archive("d/示例00006.rar", "help-example"), archive("d/示例00005.rar", "help-example"),
                                  archive("d/x.rar", "help-example")});
    rename(rows, jobs::RenameMode::ByNumber, "", "00005");
    ASSERT_EQ(tag("d/示例00005.rar"), "d/示例00006.rar");

    auto report = undo();
    EXPECT_TRUE(report.complete());
    EXPECT_EQ(tag("d/示例00006.rar"), "d/示例00006.rar");
    EXPECT_EQ(tag("d/示例00005.rar"), "d/示例00005.rar");
    EXPECT_EQ(tag("d/x.rar"), "d/x.rar");
    EXPECT_FALSE(exists("d/示例00007.rar"));
}

TEST_F(UndoTest, OnlyTouchesFilesStillWhereTheJobLeftThem) {
    jobs::VectorArchiveRows rows({archive("1/a.rar", "help-example"), archive("2/a.rar", "two-exe"),
                                  archive("3/a.rar", "encrypted")});
    rename(rows, jobs::RenameMode::ByExtension, "exe");
    // Moved away by the user; replaced by another file; its old name taken meanwhile.
    std::filesystem::rename(dir / "1/文件2.rar", dir / "1/kept-by-user.rar");
    // Made before the old one goes, so it cannot be given the old file's number.
    dir.write("2/newer", "new file, same name");
    std::filesystem::rename(dir / "2/newer", dir / "2/甲.rar");
    dir.write("3/a.rar", "a newer a.rar");

    auto report = undo();
    ASSERT_EQ(report.steps.size(), 3u);
    EXPECT_EQ(report.steps[0].outcome, UndoStep::Outcome::OldNameTaken);  // newest first
    EXPECT_EQ(report.steps[1].outcome, UndoStep::Outcome::NotWhereLeft);
    EXPECT_EQ(report.steps[2].outcome, UndoStep::Outcome::NotWhereLeft);
    EXPECT_FALSE(report.complete());
    EXPECT_TRUE(exists("1/kept-by-user.rar"));
    EXPECT_EQ(platform::readWholeFile(dir / "2/甲.rar").value(), "new file, same name");
    EXPECT_EQ(platform::readWholeFile(dir / "3/a.rar").value(), "a newer a.rar");
    EXPECT_EQ(tag("3/秘密.rar"), "3/a.rar");

    // The blocked step stays open: once the name is free, undo finishes the job.
    std::filesystem::remove(dir / "3/a.rar");
    report = undo();
    EXPECT_EQ(report.steps[0].outcome, UndoStep::Outcome::Restored);
    EXPECT_EQ(tag("3/a.rar"), "3/a.rar");
    EXPECT_FALSE(undo().foundJob);
}

// A delete writes the archive anew (a new file under the same name): undo still knows it
// for the archive the rename left there, but not a stranger that took the name.
TEST_F(UndoTest, RecognisesAnArchiveACleanJobRewroteSinceTheRename) {
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example"), archive("e/b.rar", "help-example")});
    rename(rows, jobs::RenameMode::ByExtension, "exe");
    {
        auto journal = jobs::RenameJournal::open(journalFile);
        ASSERT_TRUE(journal.ok());
        jobs::CleanJob clean(commands);
        clean.setJournal(&*journal, &files);
        clean.run(jobs::CleanRequest{"文件1.txt", false}, rows, status.sink());
        clean.run(jobs::CleanRequest{"文件3.pdf", false}, rows, status.sink());
        EXPECT_TRUE(clean.journalProblems().empty());
    }
    // Not ours: written under that name without the journal knowing.
    dir.write("e/other", "stranger");
    std::filesystem::rename(dir / "e/other", dir / "e/文件2.rar");

    auto report = undo();
    ASSERT_EQ(report.steps.size(), 2u);
    EXPECT_EQ(report.steps[0].outcome, UndoStep::Outcome::NotWhereLeft);
    EXPECT_EQ(report.steps[1].outcome, UndoStep::Outcome::Restored);
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "d/a.rar"), (Texts{"文件2.exe"}));
    EXPECT_EQ(platform::readWholeFile(dir / "e/文件2.rar").value(), "stranger");
}

TEST_F(UndoTest, AJobThatChangedNothingIsNotTheOneUndone) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example")});
    rename(rows, jobs::RenameMode::ByExtension, "exe");
    rename(rows, jobs::RenameMode::ByExtension, "exe");  // already named: nothing to record
    rename(rows, jobs::RenameMode::ByExtension, "pdf");
    rename(rows, jobs::RenameMode::ByExtension, "doc");  // no match
    ASSERT_TRUE(exists("文件3.rar"));

    EXPECT_EQ(undo().description, "按后缀 pdf");
    EXPECT_TRUE(exists("文件2.rar"));
    EXPECT_EQ(undo().description, "按后缀 exe");
    EXPECT_TRUE(exists("a.rar"));
    EXPECT_FALSE(undo().foundJob);
}

TEST_F(UndoTest, NoJournalMeansNothingToUndo) {
    auto report = undo();
    EXPECT_FALSE(report.foundJob);
    EXPECT_TRUE(report.steps.empty());
}

TEST(RenameJournalFile, FieldsSurviveTabsLineEndsAndBackslashes) {
    for (std::string field : {"plain", "a\tb", "line\nbreak\r\n", "C:\\资料\\a.rar", "\\t literally", ""}) {
        auto escaped = jobs::escapeJournalField(field);
        EXPECT_EQ(escaped.find_first_of("\t\r\n"), std::string::npos);
        EXPECT_EQ(jobs::unescapeJournalField(escaped), field);
    }
    EXPECT_FALSE(jobs::unescapeJournalField("bad\\").has_value());
    EXPECT_FALSE(jobs::unescapeJournalField("bad\\x").has_value());
}

TEST(RenameJournalFile, ReadsBackWhatWasWrittenAndIgnoresACutLastLine) {
    testsupport::TempDir dir;
    const auto file = dir / "journal.txt";
    {
        auto journal = jobs::RenameJournal::open(file);
        ASSERT_TRUE(journal.ok());
        platform::FileIdentity id{7, 42};
        ASSERT_TRUE(journal->begin("按后缀 exe"));
        ASSERT_TRUE(journal->recordMove(id, "/d/a\tb.rar", "/d/new\nname.rar"));
        ASSERT_TRUE(journal->recordMove(id, "/d/x.rar", "/d/y.rar"));
        ASSERT_TRUE(journal->recordUnmoved(id, "/d/x.rar", "/d/y.rar"));
        ASSERT_TRUE(journal->recordTrash(id, "/d/c.rar", platform::TrashedFile{"/t/files/c.rar", "/t/info/c.rar.trashinfo"}));
        ASSERT_TRUE(journal->end());
    }
    {
        auto more = platform::readWholeFile(file).value() + "begin\tcut-short";
        ASSERT_TRUE(platform::writeFileAtomically(file, more));
    }
    auto journal = jobs::readRenameJournal(file);
    ASSERT_TRUE(journal.ok());
    ASSERT_EQ(journal->jobs.size(), 1u);
    const auto& job = journal->jobs.front();
    EXPECT_TRUE(job.ended);
    EXPECT_FALSE(job.undone);
    ASSERT_EQ(job.records.size(), 2u);  // the move that did not happen is left out
    EXPECT_EQ(job.records[0].from, "/d/a\tb.rar");
    EXPECT_EQ(job.records[0].to, "/d/new\nname.rar");
    EXPECT_EQ(job.records[0].id, (platform::FileIdentity{7, 42}));
    EXPECT_EQ(job.records[1].kind, jobs::JournalRecord::Kind::Trash);
    EXPECT_EQ(job.records[1].trashInfo, "/t/info/c.rar.trashinfo");
}

}  // namespace
