// Archives that vanish while a batch runs, and archives another process holds open: each
// gets its own result, the batch goes on, and no other archive is harmed.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "tests/faults/fault_workspace.h"
#include "tests/support/temp_dir.h"

namespace testfaults {
namespace {

namespace fs = std::filesystem;

// Removes a file the moment a watched event on a (possibly other) file of its folder
// happens: the archiver opening the archive, or the archive before it being replaced.
class Vanisher {
public:
    Vanisher(const fs::path& watched, std::uint32_t event, const fs::path& victim) : victim_(victim) {
        fd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (fd_ < 0) return;
        watch_ = ::inotify_add_watch(fd_, watched.parent_path().c_str(), event);
        name_ = watched.filename().string();
        thread_ = std::thread([this] { loop(); });
    }
    ~Vanisher() {
        stop_ = true;
        if (thread_.joinable()) thread_.join();
        if (fd_ >= 0) ::close(fd_);
    }
    bool ready() const { return watch_ >= 0; }
    // Whether the file was there to remove when the event came.
    bool removed() const { return removed_; }

private:
    void loop() {
        alignas(inotify_event) char buffer[4096];
        while (!stop_ && !fired_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            const ssize_t n = ::read(fd_, buffer, sizeof buffer);
            for (ssize_t at = 0; n > 0 && at < n;) {
                const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
                at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
                if (e->len == 0 || name_ != e->name || fired_) continue;
                fired_ = true;
                removed_ = ::unlink(victim_.c_str()) == 0;
            }
        }
    }

    fs::path victim_;
    std::string name_;
    int fd_ = -1;
    int watch_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<bool> fired_{false};
    std::atomic<bool> removed_{false};
    std::thread thread_;
};

class VanishingArchiveTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    fs::path cli = installCli(dir / "bin");

    std::vector<fs::path> makeArchives(const fs::path& folder, int count) {
        std::vector<fs::path> archives;
        for (int i = 1; i <= count; ++i) {
            archives.push_back(folder / ("archive-" + std::to_string(i) + ".rar"));
            buildArchive(archives.back(), {{"ad.txt", "advert\r\n"}, {"episode-" + std::to_string(i) + ".exe", randomBytes(4096, i)}});
        }
        return archives;
    }
    ChildExit runCli(std::vector<std::string> args) {
        args.insert(args.begin(), cli.string());
        return run(args, withEnvironment(cliEnvironment(dir / "home")));
    }
};

// Scheduling decides whether the vanishing lands in the window; a few attempts make sure
// it does at least once, and every attempt must come out sound.
constexpr int kAttempts = 5;

TEST_F(VanishingArchiveTest, RenameReportsAnArchiveThatVanishedAfterItsListing) {
    bool landed = false;
    for (int attempt = 0; attempt < kAttempts && !landed; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        const auto folder = dir / ("tree" + std::to_string(attempt));
        const auto archives = makeArchives(folder, 4);
        std::vector<std::string> args = {"rename", "--ext", "exe"};
        for (const auto& a : archives) args.push_back(a.string());
        // The listing of the second archive opens it; removed then, the listing still
        // reads it whole, and the job finds it gone when it comes to rename it.
        Vanisher vanisher(archives[1], IN_OPEN, archives[1]);
        ASSERT_TRUE(vanisher.ready());
        const ChildExit done = runCli(args);
        const std::string& out = done.output;

        for (int i : {1, 3, 4}) EXPECT_TRUE(fs::exists(folder / ("episode-" + std::to_string(i) + ".rar"))) << out;
        if (!vanisher.removed()) continue;  // the job renamed it before it could vanish
        landed = true;
        EXPECT_FALSE(fs::exists(folder / "episode-2.rar")) << out;
        EXPECT_EQ(done.exitCode, 1) << out;
        EXPECT_NE(out.find("[2] " + archives[1].string() + "（未更名：文件不存在）"), std::string::npos) << out;
        EXPECT_NE(out.find("已更名 3 个"), std::string::npos) << out;
    }
    EXPECT_TRUE(landed) << "the archive never vanished between its listing and its renaming";
}

TEST_F(VanishingArchiveTest, CleanReportsAnArchiveThatVanishedBeforeItsTurn) {
    bool landed = false;
    for (int attempt = 0; attempt < kAttempts && !landed; ++attempt) {
        SCOPED_TRACE("attempt " + std::to_string(attempt));
        const auto folder = dir / ("tree" + std::to_string(attempt));
        const auto archives = makeArchives(folder, 4);
        std::vector<std::string> args = {"clean", "--name", "ad.txt"};
        for (const auto& a : archives) args.push_back(a.string());
        // When the first archive's new version takes its place, the second one goes.
        Vanisher vanisher(archives[0], IN_MOVED_TO, archives[1]);
        ASSERT_TRUE(vanisher.ready());
        const ChildExit done = runCli(args);
        const std::string& out = done.output;

        for (int i : {0, 2, 3}) EXPECT_EQ(entryPaths(archives[i]).size(), 1u) << archives[i] << "\n" << out;
        if (!vanisher.removed()) continue;
        if (fs::exists(archives[1])) {
            // The archiver had it open already: its cleaned copy came back under the name.
            EXPECT_EQ(entryPaths(archives[1]).size(), 1u) << out;
            continue;
        }
        landed = true;
        EXPECT_EQ(done.exitCode, 1) << out;
        EXPECT_NE(out.find("[2] " + archives[1].string() + "：删除失败！"), std::string::npos) << out;
        EXPECT_NE(out.find("已打扫 3 个"), std::string::npos) << out;
    }
    EXPECT_TRUE(landed) << "the archive never vanished before its turn";
}

TEST_F(VanishingArchiveTest, ArchivesHeldOpenByAnotherProcessAreCleanedAndRenamed) {
    const auto archives = makeArchives(dir / "tree", 3);
    const std::string before = readBytes(archives[1]);
    // Another program reading the archive, with a shared lock as readers take one.
    const int held = ::open(archives[1].c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_SH), 0);

    const ChildExit clean = runCli({"clean", "--name", "ad.txt", (dir / "tree").string()});
    EXPECT_EQ(clean.exitCode, 0) << clean.output;
    const ChildExit rename = runCli({"rename", "--ext", "exe", (dir / "tree").string()});
    EXPECT_EQ(rename.exitCode, 0) << rename.output;
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(entryPaths(dir / "tree" / ("episode-" + std::to_string(i) + ".rar")),
                  (std::vector<std::string>{"episode-" + std::to_string(i) + ".exe"}));
    }
    // The reader still sees the archive it opened, whole: nothing was changed in place.
    std::string seen(before.size() + 1, '\0');
    const ssize_t got = ::pread(held, seen.data(), seen.size(), 0);
    ::close(held);
    ASSERT_EQ(got, static_cast<ssize_t>(before.size()));
    seen.resize(static_cast<std::size_t>(got));
    EXPECT_EQ(seen, before);
}

}  // namespace
}  // namespace testfaults
