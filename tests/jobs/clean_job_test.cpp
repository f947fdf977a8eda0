#include "jobs/clean_job.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stop_token>

#include "jobs/job_texts.h"
#include "platform/file.h"
#include "tests/jobs/job_test_fixture.h"

namespace {

// The real file system, with every clearing of stale temporary files logged beside the
// archiver's calls, so the order shows.
class ClearingFileSystem final : public jobs::JobFileSystem {
public:
    ClearingFileSystem(jobs::JobFileSystem& disk, std::vector<std::string>& log) : disk_(disk), log_(log) {}
    bool exists(const std::string& path) override { return disk_.exists(path); }
    std::optional<platform::FileIdentity> identity(const std::string& path) override { return disk_.identity(path); }
    platform::MoveOutcome move(const std::string& from, const std::string& to) override { return disk_.move(from, to); }
    platform::Result<platform::TrashedFile> trash(const std::string& path) override { return disk_.trash(path); }
    platform::Status restore(const platform::TrashedFile& trashed, const std::string& original) override {
        return disk_.restore(trashed, original);
    }
    void removeStaleTemporaryFiles(const std::string& folder) override { log_.push_back("clear " + folder); }

private:
    jobs::JobFileSystem& disk_;
    std::vector<std::string>& log_;
};

using jobs::CleanResult;
using Outcome = CleanResult::Outcome;
using Texts = std::vector<std::string>;

class CleanJobTest : public testsupport::JobTest {
protected:
    std::vector<CleanResult> run(const jobs::VectorArchiveRows& rows, const std::string& list, bool dryRun = false) {
        jobs::CleanJob job(commands);
        return job.run(jobs::CleanRequest{list, dryRun}, rows, status.sink());
    }
    Texts entries(const std::string& relative) { return testsupport::FakeArchiveCommands::entriesOf(dir / relative); }
};

TEST_F(CleanJobTest, HelpExampleLeavesTwoEntries) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example")});
    auto results = run(rows, "文件1.txt");
    EXPECT_EQ(status.texts, (Texts{"正在打扫第1个文件。。。", "正在删除中……", "删除成功！", "文件打扫完毕！"}));
    EXPECT_EQ(entries("a.rar"), (Texts{"文件2.exe", "文件3.pdf"}));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(results[0].outcome, Outcome::Deleted);
    EXPECT_EQ(commands.calls, (Texts{"delete " + at("a.rar") + ": 文件1.txt"}));
}

TEST_F(CleanJobTest, EmptyListShowsOnlyTheCompletionText) {
    jobs::VectorArchiveRows rows;
    EXPECT_TRUE(run(rows, "文件1.txt").empty());
    EXPECT_EQ(status.texts, (Texts{"文件打扫完毕！"}));
    EXPECT_TRUE(commands.calls.empty());
}

// A batch of every kind: the delete command's texts follow each progress text, and
// nothing stops the batch.
TEST_F(CleanJobTest, TwoLinesOverEveryKindOfArchive) {
    jobs::VectorArchiveRows rows({archive("1.rar", "help-example"), archive("2.rar", "no-exe"),
                                  archive("3.rar", "encrypted"), archive("4.rar", "locked"), at("5.rar"),
                                  archive("6.rar", "two-exe")});
    auto results = run(rows, "文件1.txt\r\n  文件3.pdf \r\n\r\n");
    EXPECT_EQ(status.texts, (Texts{"正在打扫第1个文件。。。", "正在删除中……", "删除成功！",
                                   "正在打扫第2个文件。。。", "正在删除中……", "删除成功！",
                                   "正在打扫第3个文件。。。", "正在删除中……", "没有要文件的删除",
                                   "正在打扫第4个文件。。。", "正在删除中……", "删除失败！",
                                   "正在打扫第5个文件。。。", "正在删除中……", "删除失败！",
                                   "正在打扫第6个文件。。。", "正在删除中……", "没有要文件的删除", "文件打扫完毕！"}));
    ASSERT_EQ(results.size(), 6u);
    const std::string trashedSecond = (trashDir / "files" / "2.rar").string();
    struct Expect {
        Outcome outcome;
        std::string detail;
    } expected[] = {
        {Outcome::Deleted, "删除成功"},
        {Outcome::Emptied, "删除成功，压缩包已空，已移到回收站：" + trashedSecond},
        {Outcome::NothingMatched, "未改动：压缩包内没有要删除的文件"},
        {Outcome::Failed, "删除失败！压缩包已锁定，不能修改"},
        {Outcome::Failed, "删除失败！无法打开压缩包"},
        {Outcome::NothingMatched, "未改动：压缩包内没有要删除的文件"},
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        EXPECT_EQ(results[i].ordinal, i + 1);
        EXPECT_EQ(results[i].outcome, expected[i].outcome) << i;
        EXPECT_EQ(results[i].detail, expected[i].detail) << i;
    }
    EXPECT_EQ(entries("1.rar"), (Texts{"文件2.exe"}));
    // A list that empties an archive: the original goes to the trash, whole.
    EXPECT_FALSE(exists("2.rar"));
    EXPECT_EQ(results[1].trashedFile, trashedSecond);
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(trashedSecond), (Texts{"文件1.txt", "文件3.pdf"}));
    EXPECT_EQ(entries("3.rar"), (Texts{"秘密.exe", "公开.txt"}));
    EXPECT_EQ(entries("4.rar"), (Texts{"文件1.txt", "文件2.exe"}));
    // Every archive got all the names in one command, unchanged but for the trimmed blanks.
    EXPECT_EQ(commands.calls[0], "delete " + at("1.rar") + ": 文件1.txt|文件3.pdf");
    EXPECT_EQ(commands.calls.size(), 6u);
}

TEST(DeleteFailedText, PutsTheArchiversReasonOnOneLine) {
    struct Case {
        const char* detail;
        const char* text;
    } cases[] = {
        {"", "删除失败！"},
        {"压缩包已锁定", "删除失败！压缩包已锁定"},
        {"正在从 /d/a.rar 删除\r\n压缩包 /d/a.rar 已锁定，不能修改\r\n压缩程序以退出码 3 结束\r\n",
         "删除失败！压缩包 /d/a.rar 已锁定，不能修改；压缩程序以退出码 3 结束"},
        {"正在删除 x.txt\n\n写入失败\n", "删除失败！写入失败"},
    };
    for (const auto& c : cases) EXPECT_EQ(jobs::texts::deleteFailed(c.detail), c.text) << c.detail;
}

TEST_F(CleanJobTest, EmptyDeleteListRunsNoArchiverCommand) {
    for (const char* list : {"", "\r\n", "  \r\n\t\n"}) {
        jobs::VectorArchiveRows rows({archive("a.rar", "help-example"), archive("b.rar", "no-exe")});
        status.texts.clear();
        auto results = run(rows, list);
        EXPECT_EQ(status.texts, (Texts{"正在打扫第1个文件。。。", "正在打扫第2个文件。。。", "文件打扫完毕！"}));
        ASSERT_EQ(results.size(), 2u);
        for (const auto& r : results) EXPECT_EQ(r.outcome, Outcome::NothingToDelete);
    }
    EXPECT_TRUE(commands.calls.empty());
}

// The dry run asks the archiver for its plan: what it would take, and why it would refuse,
// with its own checks (a locked archive that holds the name is refused, not foreseen as cleaned).
TEST_F(CleanJobTest, DryRunAsksTheArchiverWhatItWouldDo) {
    dir.write("not-an-archive.rar", "plain text");
    jobs::VectorArchiveRows rows({archive("a.rar", "in-folders"), archive("b.rar", "no-exe"), archive("c.rar", "two-exe"),
                                  at("missing.rar"), archive("e.rar", "locked"), at("not-an-archive.rar")});
    auto results = run(rows, "子目录\n文件1.txt\n文件3.pdf", /*dryRun=*/true);
    EXPECT_TRUE(status.texts.empty());
    ASSERT_EQ(results.size(), 6u);
    struct Expect {
        Outcome outcome;
        Texts entries;
        const char* reason;
        const char* detail;
    } expected[] = {
        {Outcome::WouldDelete, {"子目录", "子目录\\说明.txt", "子目录\\文件2.exe"}, "", "将删除 3 个文件"},
        {Outcome::WouldEmpty, {"文件1.txt", "文件3.pdf"}, "", "将删除 2 个文件，删除后压缩包为空，将移到回收站"},
        {Outcome::WouldMatchNothing, {}, "", "未改动：压缩包内没有要删除的文件"},
        {Outcome::WouldFail, {}, "无法打开压缩包", "将无法删除：无法打开压缩包"},
        {Outcome::WouldFail, {}, "压缩包已锁定，不能修改", "将无法删除：压缩包已锁定，不能修改"},
        {Outcome::WouldFail, {}, "无法打开压缩包", "将无法删除：无法打开压缩包"},
    };
    for (std::size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE(results[i].path);
        EXPECT_EQ(results[i].outcome, expected[i].outcome);
        EXPECT_EQ(results[i].entries, expected[i].entries);
        EXPECT_EQ(results[i].removedCount(), expected[i].entries.size());
        EXPECT_EQ(results[i].reason, expected[i].reason);
        EXPECT_EQ(results[i].detail, expected[i].detail);
    }
    EXPECT_EQ(entries("a.rar").size(), 4u);
    EXPECT_EQ(entries("b.rar").size(), 2u);
    EXPECT_EQ(entries("e.rar").size(), 2u);
    EXPECT_TRUE(trashed().empty());
    ASSERT_EQ(commands.calls.size(), 6u);
    for (const auto& call : commands.calls) EXPECT_EQ(call.rfind("plan ", 0), 0u) << call;
}

// On the same folder, the dry run and the real run put every archive in the same category,
// with the same entries and the same reason, so their counts agree.
TEST_F(CleanJobTest, DryRunAndRealRunAgreeOnEveryArchive) {
    dir.write("d/not-an-archive.rar", "plain text");
    jobs::VectorArchiveRows rows({archive("d/deletes.rar", "help-example"), archive("d/empties.rar", "no-exe"),
                                  archive("d/nothing.rar", "two-exe"), archive("d/encrypted.rar", "encrypted"),
                                  archive("d/refused.rar", "locked"), at("d/missing.rar"), at("d/not-an-archive.rar")});
    const std::string list = "文件1.txt\r\n文件3.pdf\r\n";
    const auto foreseen = run(rows, list, /*dryRun=*/true);
    const auto done = run(rows, list);
    using Category = CleanResult::Category;
    const struct {
        Outcome dry;
        Outcome real;
        Category category;
        std::size_t removed;
    } expected[] = {
        {Outcome::WouldDelete, Outcome::Deleted, Category::Changed, 2},
        {Outcome::WouldEmpty, Outcome::Emptied, Category::Changed, 2},
        {Outcome::WouldMatchNothing, Outcome::NothingMatched, Category::Unchanged, 0},
        {Outcome::WouldMatchNothing, Outcome::NothingMatched, Category::Unchanged, 0},
        {Outcome::WouldFail, Outcome::Failed, Category::Failed, 0},
        {Outcome::WouldFail, Outcome::Failed, Category::Failed, 0},
        {Outcome::WouldFail, Outcome::Failed, Category::Failed, 0},
    };
    ASSERT_EQ(foreseen.size(), std::size(expected));
    ASSERT_EQ(done.size(), std::size(expected));
    for (std::size_t i = 0; i < done.size(); ++i) {
        SCOPED_TRACE(done[i].path);
        EXPECT_EQ(foreseen[i].outcome, expected[i].dry);
        EXPECT_EQ(done[i].outcome, expected[i].real);
        EXPECT_EQ(foreseen[i].category(), expected[i].category);
        EXPECT_EQ(done[i].category(), expected[i].category);
        EXPECT_EQ(foreseen[i].removedCount(), expected[i].removed);
        EXPECT_EQ(done[i].entries, foreseen[i].entries);
        EXPECT_EQ(done[i].reason, foreseen[i].reason);
    }
    EXPECT_EQ(entries("d/deletes.rar"), (Texts{"文件2.exe"}));
}

// The archiver cannot rewrite volumes, so a set is only asked, once for all its volumes, and
// one row speaks for it: nothing to delete when no volume holds a name, one refusal otherwise.
TEST_F(CleanJobTest, AVolumeSetIsAskedAsOneArchiveAndNeverRewritten) {
    jobs::VectorArchiveRows rows({archive("v/集.part1.rar", "help-example"), archive("v/集.part2.rar", "two-exe"),
                                  archive("v/单个.rar", "help-example")});
    const struct {
        const char* list;
        Outcome dry, real;
        CleanResult::Category category;
    } cases[] = {
        {"不存在.txt", Outcome::WouldMatchNothing, Outcome::NothingMatched, CleanResult::Category::Unchanged},
        {"乙.exe", Outcome::WouldFail, Outcome::Failed, CleanResult::Category::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.list);
        for (bool dryRun : {true, false}) {
            commands.calls.clear();
            const auto results = run(rows, c.list, dryRun);
            ASSERT_EQ(results.size(), 3u);
            EXPECT_EQ(results[0].outcome, dryRun ? c.dry : c.real);
            EXPECT_EQ(results[0].category(), c.category);
            EXPECT_EQ(results[1].outcome, Outcome::VolumeOfSet);
            EXPECT_EQ(results[1].detail, jobs::texts::volumeOfSet(1));
            EXPECT_EQ(results[2].outcome, dryRun ? Outcome::WouldMatchNothing : Outcome::NothingMatched);
            for (const auto& call : commands.calls) {
                EXPECT_NE(call.rfind("delete " + at("v/集"), 0), 0u) << "a volume was handed to a delete: " << call;
            }
        }
        if (c.category == CleanResult::Category::Failed) {
            EXPECT_NE(run(rows, c.list).front().reason.find("分卷"), std::string::npos);
        }
    }
    EXPECT_EQ(entries("v/集.part2.rar"), (Texts{"甲.exe", "乙.exe"}));
}

// What an archiver killed while writing left behind goes before the job works on a folder:
// once per folder, before its first archive, and never in a dry run.
TEST_F(CleanJobTest, ClearsStaleTemporaryFilesOncePerFolderBeforeItsFirstArchive) {
    ClearingFileSystem clearing(files, commands.calls);
    jobs::VectorArchiveRows rows({archive("d1/a.rar", "help-example"), archive("d1/b.rar", "two-exe"),
                                  archive("d2/c.rar", "help-example"), archive("d1/e.rar", "help-example")});
    jobs::CleanJob job(commands, clearing);
    job.run(jobs::CleanRequest{"文件1.txt", true}, rows, status.sink());
    job.run(jobs::CleanRequest{"", false}, rows, status.sink());
    for (const auto& call : commands.calls) EXPECT_EQ(call.rfind("plan ", 0), 0u) << call;
    commands.calls.clear();

    job.run(jobs::CleanRequest{"文件1.txt", false}, rows, status.sink());
    EXPECT_EQ(commands.calls, (Texts{"clear " + at("d1"), "delete " + at("d1/a.rar") + ": 文件1.txt",
                                     "delete " + at("d1/b.rar") + ": 文件1.txt", "clear " + at("d2"),
                                     "delete " + at("d2/c.rar") + ": 文件1.txt", "delete " + at("d1/e.rar") + ": 文件1.txt"}));
}

TEST(RealJobFileSystem, RemovesTheTemporaryFilesOfWritersThatAreGone) {
    testsupport::TempDir dir;
    // No process has this number: its writer was killed. Both the short names and the
    // earlier ones after the target.
    dir.write("d/" + platform::temporaryFileName(0x7FFFFFF0, 1), "half an archive");
    dir.write("d/.b.rar.2147483632-2.pmbtmp", "half an archive");
    dir.write("d/b.rar", "an archive");
    dir.write("d/.hidden.rar", "not ours");
    jobs::RealJobFileSystem files(dir / "trash");
    files.removeStaleTemporaryFiles((dir / "d").string());
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir / "d")) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (Texts{".hidden.rar", "b.rar"}));
}

// A name the archiver cannot be handed (a double quote, a control character) is left out with
// one status text for the whole job; the other names are still deleted from every archive.
TEST_F(CleanJobTest, ANameTheArchiverCannotTakeIsSkippedAndTheOthersStillApply) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example"), archive("b.rar", "no-exe")});
    jobs::CleanJob job(commands);
    auto results = job.run(jobs::CleanRequest{"广告\"说明\".txt\n文件1.txt\n文件\t3.pdf\n", false}, rows, status.sink());
    const std::string quoted = "已跳过删除列表中的名称“广告\"说明\".txt”：压缩程序无法接收这个名称，其他名称照常删除";
    const std::string tabbed = "已跳过删除列表中的名称“文件\\x093.pdf”：压缩程序无法接收这个名称，其他名称照常删除";
    EXPECT_EQ(status.texts, (Texts{quoted, tabbed, "正在打扫第1个文件。。。", "正在删除中……", "删除成功！",
                                   "正在打扫第2个文件。。。", "正在删除中……", "删除成功！", "文件打扫完毕！"}));
    EXPECT_EQ(job.skippedNames(), (Texts{"广告\"说明\".txt", "文件\t3.pdf"}));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_EQ(results[0].outcome, Outcome::Deleted);
    EXPECT_EQ(results[0].entries, (Texts{"文件1.txt"}));
    EXPECT_EQ(entries("a.rar"), (Texts{"文件2.exe", "文件3.pdf"}));
    EXPECT_EQ(entries("b.rar"), (Texts{"文件3.pdf"}));
    EXPECT_EQ(commands.calls, (Texts{"delete " + at("a.rar") + ": 文件1.txt", "delete " + at("b.rar") + ": 文件1.txt"}));

    // The dry run leaves them out the same way, silently; only names that cannot be passed: nothing runs.
    status.texts.clear();
    commands.calls.clear();
    results = job.run(jobs::CleanRequest{"文件1.txt\n\"\n", true}, rows, status.sink());
    EXPECT_TRUE(status.texts.empty());
    EXPECT_EQ(job.skippedNames(), (Texts{"\""}));
    EXPECT_EQ(commands.calls, (Texts{"plan " + at("a.rar") + ": 文件1.txt", "plan " + at("b.rar") + ": 文件1.txt"}));
    commands.calls.clear();
    results = job.run(jobs::CleanRequest{"\"\n\x01\n", false}, rows, status.sink());
    ASSERT_EQ(results.size(), 2u);
    for (const auto& r : results) {
        EXPECT_EQ(r.outcome, Outcome::NothingToDelete);
        EXPECT_EQ(r.detail, "未改动：删除列表中没有可以交给压缩程序的名称");
    }
    EXPECT_TRUE(commands.calls.empty());
}

// An archive the delete leaves without entries is never destroyed: the original goes to the
// trash, or, where no trash takes it, stays as an archive without entries.
TEST_F(CleanJobTest, AnEmptiedArchiveGoesToTheTrashOrStaysWithoutEntries) {
    for (bool trashTakesIt : {true, false}) {
        SCOPED_TRACE(trashTakesIt ? "trash" : "no trash");
        if (!trashTakesIt) commands.trash.reset();
        const std::string folder = trashTakesIt ? "t/" : "k/";
        jobs::VectorArchiveRows rows({archive(folder + "a.rar", "help-example")});
        auto results = run(rows, "*.*");
        ASSERT_EQ(results.size(), 1u);
        const CleanResult& r = results[0];
        EXPECT_EQ(r.category(), CleanResult::Category::Changed);
        EXPECT_EQ(r.entries, (Texts{"文件1.txt", "文件2.exe", "文件3.pdf"}));
        EXPECT_EQ(r.removedCount(), 3u);
        if (trashTakesIt) {
            EXPECT_EQ(r.outcome, Outcome::Emptied);
            EXPECT_EQ(r.trashedFile, (trashDir / "files" / "a.rar").string());
            EXPECT_EQ(r.detail, "删除成功，压缩包已空，已移到回收站：" + r.trashedFile);
            EXPECT_FALSE(exists(folder + "a.rar"));
            EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(r.trashedFile).size(), 3u);
        } else {
            EXPECT_EQ(r.outcome, Outcome::KeptEmpty);
            EXPECT_TRUE(r.trashedFile.empty());
            EXPECT_EQ(r.detail, "删除成功，压缩包已空；回收站无法接收，已保留为不含文件的压缩包");
            ASSERT_TRUE(exists(folder + "a.rar"));
            EXPECT_TRUE(entries(folder + "a.rar").empty());
            EXPECT_EQ(tag(folder + "a.rar"), folder + "a.rar");
        }
    }
}

TEST_F(CleanJobTest, StopRequestLetsTheCurrentArchiveFinish) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example"), archive("b.rar", "help-example")});
    std::stop_source stop;
    jobs::CleanJob job(commands);
    auto results = job.run(jobs::CleanRequest{"文件1.txt", false}, rows, status.sink(),
                           [&](const CleanResult&) { stop.request_stop(); }, stop.get_token());
    EXPECT_EQ(results.size(), 1u);
    EXPECT_EQ(status.texts, (Texts{"正在打扫第1个文件。。。", "正在删除中……", "删除成功！", "文件打扫完毕！"}));
    EXPECT_EQ(entries("b.rar").size(), 3u);
}

}  // namespace
