// myrar d and myrar a killed with SIGKILL (TerminateProcess on Windows) at random moments:
// whatever the moment, the archive is byte for byte the one before or the complete result,
// and the next run of the command removes the temporary file the killed one left. A d
// that only removes entries at the end cuts the file in place instead of rewriting it
// (archiver/rar/tail_cut.h); between its steps the file is neither byte copy, and then it
// must list exactly the entries kept, with nothing behind its end block that a reader
// would list, and the next run must finish the cut.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "archiver/rar/archive_reader.h"
#include "platform/file_identity.h"
#include "platform/paths.h"
#include "tests/faults/fault_workspace.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"

namespace testfaults {
namespace {

using Clock = std::chrono::steady_clock;

struct KillScenario {
    std::filesystem::path archive;
    std::vector<std::string> command;
    std::optional<std::string> before;  // nullopt: no archive before the command
    std::string after;                  // the complete result
    bool cutInPlace = false;            // the command changes the file itself
};

// The entries an archive file lists, when it can be read without any problem.
std::optional<std::vector<std::string>> listedEntries(const std::filesystem::path& archive) {
    const rar::ReadResult read = rar::readArchive(archive, rar::ReadOptions{});
    if (read.problem) return std::nullopt;
    std::vector<std::string> paths;
    for (const auto& e : read.archive.entries) paths.push_back(e.path);
    return paths;
}

// Puts the folder back as it was before the command.
void resetArchive(const KillScenario& s) {
    std::error_code ec;
    std::filesystem::remove(s.archive, ec);
    for (const auto& name : temporaryFilesIn(s.archive.parent_path())) std::filesystem::remove(s.archive.parent_path() / name, ec);
    if (s.before) writeBytes(s.archive, *s.before);
}

std::optional<std::string> archiveNow(const KillScenario& s) {
    if (!std::filesystem::exists(s.archive)) return std::nullopt;
    return readBytes(s.archive);
}

std::uint32_t seed() {
    // A failing trial names its seed; PIMINGBAO_FAULT_SEED repeats that run.
    if (const char* fixed = std::getenv("PIMINGBAO_FAULT_SEED")) return static_cast<std::uint32_t>(std::strtoul(fixed, nullptr, 10));
    return std::random_device{}();
}

// How long one whole run takes here, so that the kills spread over all of it.
Clock::duration typicalRun(const KillScenario& s) {
    std::vector<Clock::duration> runs;
    for (int i = 0; i < 3; ++i) {
        resetArchive(s);
        const auto start = Clock::now();
        const ChildExit done = run(s.command);
        runs.push_back(Clock::now() - start);
        EXPECT_EQ(done.exitCode, 0) << utf8(done.output);
        EXPECT_EQ(archiveNow(s), s.after) << "an uninterrupted run must give the same archive each time";
    }
    std::sort(runs.begin(), runs.end());
    return runs[1];
}

void killTrials(const KillScenario& s, int trials) {
    const std::uint32_t runSeed = seed();
    std::mt19937 random(runSeed);
    const Clock::duration whole = typicalRun(s);
    // A little past the typical end, so that the last steps (flush, rename, the exit) are hit too.
    std::uniform_int_distribution<long long> pick(0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count() * 13 / 10);
    std::optional<std::vector<std::string>> keptEntries;
    if (s.cutInPlace) {
        const auto result = s.archive.parent_path() / "expected-result.rar";
        writeBytes(result, s.after);
        keptEntries = listedEntries(result);
        std::filesystem::remove(result);
        ASSERT_TRUE(keptEntries) << "the complete result cannot be read";
    }
    int original = 0, complete = 0, halfWay = 0, killed = 0, leftovers = 0;
    for (int trial = 0; trial < trials; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial) + " of seed " + std::to_string(runSeed));
        resetArchive(s);
        Child child = Child::start(s.command);
        std::this_thread::sleep_for(std::chrono::microseconds(pick(random)));
        child.kill();
        const ChildExit exit = child.wait();
        killed += exit.killed();

        const auto now = archiveNow(s);
        if (now == s.before) {
            ++original;
        } else if (now == s.after) {
            ++complete;
        } else if (s.cutInPlace && now && listedEntries(s.archive) == keptEntries) {
            ++halfWay;
        } else {
            ADD_FAILURE() << "after the kill the archive is neither the one before nor the complete result ("
                          << (now ? std::to_string(now->size()) + " bytes" : std::string("missing")) << ")";
        }
        leftovers += !temporaryFilesIn(s.archive.parent_path()).empty();

        // The next run, uninterrupted: it finishes the job, or finds it done, and tidies up.
        const ChildExit next = run(s.command);
        EXPECT_TRUE(next.exitCode == 0 || next.exitCode == 1) << utf8(next.output);
        EXPECT_EQ(archiveNow(s), s.after);
        EXPECT_TRUE(temporaryFilesIn(s.archive.parent_path()).empty())
            << "the next run left " << temporaryFilesIn(s.archive.parent_path()).front();
    }
    std::cout << "  " << trials << " kills (seed " << runSeed << "): " << killed << " while running, " << original
              << " left the archive as before, " << complete << " complete, " << halfWay
              << " cut half-way (the kept entries listed), " << leftovers
              << " left a temporary file for the next run\n";
    EXPECT_GT(killed, 0) << "no kill landed while the command ran";
}

class KillTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    const std::string big = randomBytes(4 << 20, 1);

    // Three large entries around a small one: the delete copies megabytes, so a kill
    // lands in the copy, the flush or the rename as often as in the start.
    FileList archiveFiles() const {
        return {{"part1.bin", big}, {"广告.txt", "广告\r\n"}, {"part2.bin", randomBytes(4 << 20, 2)}, {"part3.bin", big}};
    }
};

TEST_F(KillTest, DeleteFromRar4LeavesTheOriginalOrTheResult) {
    const auto archive = dir / "archive.rar";
    buildArchive(archive, archiveFiles());
    const std::string before = readBytes(archive);
    KillScenario s{archive, {myrarProgram().string(), "d", "-y", archive.string(), "广告.txt"}, before, {}};
    ASSERT_EQ(run(s.command).exitCode, 0);
    s.after = readBytes(archive);
    ASSERT_NE(s.after, before);
    killTrials(s, 25);
}

TEST_F(KillTest, DeleteFromRar5LeavesTheOriginalOrTheResult) {
    SKIP_WITHOUT_FIXTURES();
    const auto archive = dir / "rar5.rar";
    const std::string before = readBytes(testsupport::fixture("test_read_format_rar5_multiple_files.rar"));
    KillScenario s{archive, {myrarProgram().string(), "d", "-y", archive.string(), "test2.bin"}, before, {}};
    resetArchive(s);
    ASSERT_EQ(run(s.command).exitCode, 0);
    s.after = readBytes(archive);
    ASSERT_NE(s.after, before);
    killTrials(s, 10);
}

// The last entry is cut off in place: the kept entries are listed in every state.
TEST_F(KillTest, DeleteOfTheLastEntryLeavesTheOriginalTheResultOrTheKeptEntries) {
    const struct {
        const char* what;
        bool rar5;
    } cases[] = {{"RAR4", false}, {"RAR5", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.rar5 && !testsupport::fixturesAvailable()) continue;
        const auto archive = dir / (std::string("last-") + c.what + ".rar");
        std::string before;
        std::string last;
        if (c.rar5) {
            before = readBytes(testsupport::fixture("test_read_format_rar5_multiple_files.rar"));
            last = "test4.bin";
        } else {
            buildArchive(archive, archiveFiles());
            before = readBytes(archive);
            last = "part3.bin";
        }
        KillScenario s{archive, {myrarProgram().string(), "d", "-y", archive.string(), last}, before, {}, true};
        resetArchive(s);
        const auto was = platform::fileIdentity(archive);
        ASSERT_TRUE(was) << was.message();
        const ChildExit first = run(s.command);
        ASSERT_EQ(first.exitCode, 0) << utf8(first.output);
        const auto now = platform::fileIdentity(archive);
        ASSERT_TRUE(now) << now.message();
        ASSERT_EQ(*now, *was) << "rewritten, not cut in place";
        s.after = readBytes(archive);
        ASSERT_LT(s.after.size(), before.size());
        killTrials(s, c.rar5 ? 15 : 25);
    }
}

TEST_F(KillTest, AddToAnExistingArchiveLeavesTheOriginalOrTheResult) {
    const auto archive = dir / "archive.rar";
    buildArchive(archive, archiveFiles());
    const std::string before = readBytes(archive);
    const auto added = dir / "stage" / "新的.bin";
    writeBytes(added, randomBytes(6 << 20, 3));
    KillScenario s{archive, {myrarProgram().string(), "a", "-ep1", archive.string(), platform::utf8FromPath(added)}, before, {}};
    ASSERT_EQ(run(s.command).exitCode, 0);
    s.after = readBytes(archive);
    ASSERT_NE(s.after, before);
    killTrials(s, 20);
}

TEST_F(KillTest, AddToANewArchiveLeavesNoArchiveOrTheResult) {
    const auto archive = dir / "new.rar";
    const auto added = dir / "stage" / "part.bin";
    writeBytes(added, randomBytes(8 << 20, 4));
    KillScenario s{archive, {myrarProgram().string(), "a", "-ep1", archive.string(), added.string()}, std::nullopt, {}};
    ASSERT_EQ(run(s.command).exitCode, 0);
    s.after = readBytes(archive);
    killTrials(s, 10);
}

}  // namespace
}  // namespace testfaults
