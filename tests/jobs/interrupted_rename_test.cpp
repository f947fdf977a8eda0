// A numbering run killed at any point: the next start finds the archives it hid and gives
// every one its own name back, and no hidden file of ours is left.
#include <gtest/gtest.h>

#include <stdexcept>

#include "jobs/rename_job.h"
#include "jobs/rename_journal.h"
#include "jobs/undo_rename.h"
#include "tests/jobs/job_test_fixture.h"

namespace {

using Texts = std::vector<std::string>;

struct Killed : std::runtime_error {
    Killed() : std::runtime_error("killed") {}
};

// The disk until the program is killed: the move after `movesLeft` moves never happens
// (its journal line is written already, as a kill right before the move leaves it).
class DyingFileSystem final : public jobs::JobFileSystem {
public:
    DyingFileSystem(jobs::JobFileSystem& disk, std::size_t movesLeft) : disk_(disk), movesLeft_(movesLeft) {}
    bool exists(const std::string& path) override { return disk_.exists(path); }
    std::optional<platform::FileIdentity> identity(const std::string& path) override { return disk_.identity(path); }
    platform::MoveOutcome move(const std::string& from, const std::string& to) override {
        if (movesLeft_ == 0) throw Killed();
        --movesLeft_;
        return disk_.move(from, to);
    }
    platform::Result<platform::TrashedFile> trash(const std::string& path) override { return disk_.trash(path); }
    platform::Status restore(const platform::TrashedFile& t, const std::string& original) override {
        return disk_.restore(t, original);
    }

private:
    jobs::JobFileSystem& disk_;
    std::size_t movesLeft_;
};

class InterruptedRename : public testsupport::JobTest {
protected:
    std::filesystem::path journalFile = dir / "work" / std::string(jobs::kRenameJournalName);
    void SetUp() override { std::filesystem::create_directories(journalFile.parent_path()); }

    // Numbers the rows, killed after `moves` moves; whether the kill came before the end.
    bool numberKilledAfter(jobs::VectorArchiveRows rows, std::size_t moves) {
        auto journal = jobs::RenameJournal::open(journalFile);
        EXPECT_TRUE(journal.ok());
        DyingFileSystem dying(files, moves);
        jobs::RenameJob job(commands, dying);
        job.setJournal(&*journal);
        jobs::RenameRequest request;
        request.mode = jobs::RenameMode::ByNumber;
        request.prefix = "示例";
        request.startNumber = "1";
        try {
            job.run(request, rows, {});
        } catch (const Killed&) {
            return true;
        }
        return false;
    }
    Texts filesIn(const std::string& relative) const {
        Texts names;
        for (const auto& e : std::filesystem::directory_iterator(dir / relative)) names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

// A rotation of three names: all three step aside under hidden names first, then each
// takes its new one, six moves in all. A kill before each of them.
TEST_F(InterruptedRename, AKilledNumberingRunIsUndoneWhateverPhaseItDiedIn) {
    for (std::size_t moves = 0; moves <= 6; ++moves) {
        SCOPED_TRACE("killed after " + std::to_string(moves) + " moves");
        std::filesystem::remove_all(dir / "d");
        std::filesystem::remove(journalFile);
        const Texts names = {"示例3.rar", "示例1.rar", "示例2.rar"};
        jobs::VectorArchiveRows rows;
        for (const auto& n : names) rows.add(archive("d/" + n, "help-example", n));
        const bool killed = numberKilledAfter(rows, moves);
        EXPECT_EQ(killed, moves < 6);

        status.texts.clear();
        auto report = jobs::finishInterruptedRenames(journalFile, files, status.sink());
        ASSERT_TRUE(report.ok()) << report.message();
        // Killed before its first move or after its last, nothing is hidden: nothing to do.
        const bool hidden = moves > 0 && moves < 6;
        EXPECT_EQ(report->runs.size(), hidden ? 1u : 0u);
        EXPECT_EQ(status.texts, hidden ? Texts{"上次更名被中断，已恢复原名"} : Texts{});
        EXPECT_EQ(filesIn("d"), (Texts{"示例1.rar", "示例2.rar", "示例3.rar"}));
        if (moves < 6) {
            for (const auto& n : names) EXPECT_EQ(tag("d/" + n), n) << n;
        }

        // Done once: a second start finds nothing more.
        status.texts.clear();
        auto again = jobs::finishInterruptedRenames(journalFile, files, status.sink());
        ASSERT_TRUE(again.ok());
        EXPECT_TRUE(again->runs.empty());
        EXPECT_TRUE(status.texts.empty());
    }
}

// The old name was taken meanwhile: that archive cannot go back, and the status says so.
TEST_F(InterruptedRename, AnOldNameTakenSinceIsReported) {
    jobs::VectorArchiveRows rows({archive("d/示例2.rar", "help-example", "a"), archive("d/示例1.rar", "help-example", "b")});
    ASSERT_TRUE(numberKilledAfter(rows, 2));  // both aside, neither renamed yet
    dir.write("d/示例2.rar", "a newcomer");
    auto report = jobs::finishInterruptedRenames(journalFile, files, status.sink());
    ASSERT_TRUE(report.ok());
    ASSERT_EQ(report->runs.size(), 1u);
    EXPECT_FALSE(report->runs[0].complete());
    ASSERT_EQ(status.texts.size(), 3u);
    EXPECT_EQ(status.texts[0], "上次更名被中断，部分压缩包未能恢复原名：");
    EXPECT_NE(status.texts[1].find("原名称 " + at("d/示例2.rar") + " 已被占用"), std::string::npos) << status.texts[1];
    // Not left hidden: it comes out under a name of its own beside the taken one.
    EXPECT_EQ(status.texts[2], "压缩包已改名为 " + at("d/示例2（更名中断）.rar"));
    EXPECT_EQ(tag("d/示例1.rar"), "b");
    EXPECT_EQ(tag("d/示例2（更名中断）.rar"), "a");
    EXPECT_EQ(filesIn("d"), (Texts{"示例1.rar", "示例2.rar", "示例2（更名中断）.rar"}));
}

// A run that was only asked to work on names, interrupted or not, leaves nothing hidden
// and is none of this: its renames stay for undo to revert when asked.
TEST_F(InterruptedRename, ARunWithoutHiddenArchivesIsLeftForUndo) {
    jobs::VectorArchiveRows rows({archive("d/a.rar", "help-example"), archive("d/b.rar", "help-example")});
    ASSERT_TRUE(numberKilledAfter(rows, 1));
    auto report = jobs::finishInterruptedRenames(journalFile, files, status.sink());
    ASSERT_TRUE(report.ok());
    EXPECT_TRUE(report->runs.empty());
    EXPECT_EQ(filesIn("d"), (Texts{"b.rar", "示例1.rar"}));
    auto undone = jobs::undoLastRenameJob(journalFile, files);
    ASSERT_TRUE(undone.ok());
    EXPECT_EQ(filesIn("d"), (Texts{"a.rar", "b.rar"}));
}

}  // namespace
