// The file operations of the platform layer on names of any script: the Windows build
// must reach each file through the wide-character API, never through a code page.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>

#include "platform/append_file.h"
#include "platform/file.h"
#include "platform/file_identity.h"
#include "platform/file_lock.h"
#include "platform/file_move.h"
#include "platform/paths.h"
#include "platform/trash.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace platform;
using testsupport::TempDir;

const char* const kNames[] = {"plain.rar", "文件 1.rar", "😀.rar", "Ελληνικά.rar", "a%PATH%b.rar"};

TEST(UnicodeNames, FilesAreWrittenReadAndListedUnderTheirExactNames) {
    for (const char* name : kNames) {
        TempDir dir;
        const auto target = dir.path() / pathFromUtf8(name);
        ASSERT_TRUE(writeFileAtomically(target, "bytes")) << name;
        auto back = readWholeFile(target);
        ASSERT_TRUE(back) << back.message();
        EXPECT_EQ(*back, "bytes");
        std::vector<std::string> listed;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) listed.push_back(utf8FromPath(entry.path().filename()));
        EXPECT_EQ(listed, std::vector<std::string>{name});
        EXPECT_EQ(utf8FromPath(pathFromUtf8(name)), name);
    }
}

TEST(UnicodeNames, StaleTemporaryFilesOfAChineseTargetAreFound) {
    TempDir dir;
    const auto target = dir.path() / pathFromUtf8("资料.rar");
    writeFileAtomically(target, "x");
    const auto stale = dir.path() / pathFromUtf8(".资料.rar.999999999.pmbtmp");
    ASSERT_TRUE(writeFileAtomically(stale, "left by a killed run"));
    removeStaleTemporaryFiles(target);
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(target));
}

TEST(FileMove, MovesButNeverReplaces) {
    TempDir dir;
    const auto from = dir.write("旧.rar", "from");
    const auto taken = dir.write("taken.rar", "keep");
    EXPECT_EQ(moveWithoutReplacing(from, taken).kind, MoveOutcome::Kind::TargetExists);
    EXPECT_EQ(*readWholeFile(from), "from");
    EXPECT_EQ(*readWholeFile(taken), "keep");

    const auto to = dir.path() / pathFromUtf8("新.rar");
    EXPECT_TRUE(moveWithoutReplacing(from, to).moved());
    EXPECT_FALSE(std::filesystem::exists(from));
    EXPECT_EQ(*readWholeFile(to), "from");

    auto missing = moveWithoutReplacing(dir / "missing.rar", dir / "other.rar");
    EXPECT_EQ(missing.kind, MoveOutcome::Kind::Failed);
    EXPECT_NE(missing.message.find("missing.rar"), std::string::npos) << missing.message;
}

TEST(FileIdentity, OtherSpellingsAndLinksAreTheSameFile) {
    TempDir dir;
    const auto file = dir.write("sub/资料.rar", "x");
    const auto other = dir.write("sub/other.rar", "x");
    std::filesystem::create_hard_link(file, dir / "link.rar");
    EXPECT_TRUE(isSameFile(file, dir / "sub/../sub/资料.rar"));
    EXPECT_TRUE(isSameFile(file, dir / "link.rar"));
    EXPECT_FALSE(isSameFile(file, other));
    EXPECT_FALSE(isSameFile(file, dir / "missing.rar"));
    EXPECT_FALSE(fileIdentity(dir / "missing.rar"));
#ifdef _WIN32
    // Names differing only in letter case reach one file on Windows.
    const auto upper = dir.write("Case.RAR", "x");
    EXPECT_TRUE(isSameFile(upper, dir / "case.rar"));
#endif
}

TEST(AppendFile, AddsEachRecordAtTheEndAcrossOpenings) {
    TempDir dir;
    const auto journal = dir.path() / pathFromUtf8("日志.txt");
    {
        auto file = AppendFile::open(journal);
        ASSERT_TRUE(file) << file.message();
        ASSERT_TRUE(file->append("one\n"));
        ASSERT_TRUE(file->append("two\n"));
    }
    auto again = AppendFile::open(journal);
    ASSERT_TRUE(again) << again.message();
    ASSERT_TRUE(again->append("three\n"));
    EXPECT_EQ(*readWholeFile(journal), "one\ntwo\nthree\n");
    EXPECT_FALSE(AppendFile::open(dir / "no such folder" / "x.txt"));
}

TEST(FileLock, ASecondHolderWaitsUntilTheFirstLetsGo) {
    using namespace std::chrono_literals;
    TempDir dir;
    const auto lockFile = dir.path() / pathFromUtf8("锁.lock");
    std::optional<FileLock> first;
    {
        auto taken = FileLock::acquire(lockFile);
        ASSERT_TRUE(taken) << taken.message();
        first.emplace(std::move(*taken));
    }
    std::atomic<int> waits{0};
    std::atomic<bool> acquired{false};
    std::thread second([&] {
        auto lock = FileLock::acquire(lockFile, [&] { ++waits; });
        acquired = lock.ok();
    });
    for (int i = 0; i < 1000 && waits.load() == 0; ++i) std::this_thread::sleep_for(10ms);
    EXPECT_EQ(waits.load(), 1);
    EXPECT_FALSE(acquired.load());
    first.reset();
    second.join();
    EXPECT_TRUE(acquired.load());
}

TEST(Trash, AGivenTrashFolderTakesTheFileAndGivesItBack) {
    TempDir dir;
    const auto original = dir.write("资料 1.rar", "archive");
    const auto sameName = dir.path() / pathFromUtf8("资料 1.rar");
    auto first = moveToTrash(original, dir / "trash");
    ASSERT_TRUE(first) << first.message();
    EXPECT_FALSE(std::filesystem::exists(original));
    EXPECT_EQ(*readWholeFile(first->file), "archive");
    EXPECT_TRUE(std::filesystem::exists(first->info));

    // A second file of the same name gets a name of its own in the trash.
    dir.write("资料 1.rar", "second");
    auto second = moveToTrash(sameName, dir / "trash");
    ASSERT_TRUE(second) << second.message();
    EXPECT_NE(second->file, first->file);
    // Where a file went is enough to find its record again.
    EXPECT_EQ(trashRecordOf(second->file).info, second->info);
    EXPECT_EQ(trashRecordOf(second->file).file, second->file);

    ASSERT_TRUE(restoreFromTrash(*first, sameName));
    EXPECT_EQ(*readWholeFile(sameName), "archive");
    EXPECT_FALSE(std::filesystem::exists(first->info));
    // Never over a file that has come back in the meantime.
    EXPECT_FALSE(restoreFromTrash(*second, sameName));
    EXPECT_EQ(*readWholeFile(sameName), "archive");

    EXPECT_FALSE(moveToTrash(dir / "missing.rar", dir / "trash"));
}

}  // namespace
