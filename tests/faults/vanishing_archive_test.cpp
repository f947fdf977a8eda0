// Archives that vanish while a batch runs, and archives another process holds open: each
// gets its own result, the batch goes on, and no other archive is harmed.
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <unistd.h>
#endif

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "tests/faults/fault_workspace.h"
#include "tests/support/temp_dir.h"

namespace testfaults {
namespace {

namespace fs = std::filesystem;

// What a Vanisher waits for.
enum class Event {
    Opened,   // the archiver opens the file
    MovedTo,  // a file is renamed to the name (a new version takes its place)
};

// Removes a file the moment a watched event on a (possibly other) file of its folder
// happens: the archiver opening the archive, or the archive before it being replaced.
#ifdef _WIN32
class Vanisher {
public:
    Vanisher(const fs::path& watched, Event event, const fs::path& victim) : victim_(victim), name_(watched.filename().native()) {
        // Windows tells no one that a file was opened.
        if (event == Event::Opened) return;
        folder_ = ::CreateFileW(watched.parent_path().c_str(), FILE_LIST_DIRECTORY,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED, nullptr);
        stop_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        changed_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        if (folder_ == INVALID_HANDLE_VALUE || !stop_ || !changed_) return;
        if (!watch()) return;
        ready_ = true;
        thread_ = std::thread([this] { loop(); });
    }
    ~Vanisher() {
        if (stop_) ::SetEvent(stop_);
        if (thread_.joinable()) thread_.join();
        if (folder_ != INVALID_HANDLE_VALUE) {
            ::CancelIoEx(folder_, &overlapped_);
            DWORD ignored = 0;
            ::GetOverlappedResult(folder_, &overlapped_, &ignored, TRUE);
            ::CloseHandle(folder_);
        }
        for (HANDLE h : {stop_, changed_}) {
            if (h) ::CloseHandle(h);
        }
    }
    bool ready() const { return ready_; }
    bool removed() const { return removed_; }

private:
    bool watch() {
        overlapped_ = OVERLAPPED{};
        overlapped_.hEvent = changed_;
        return ::ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME, nullptr,
                                       &overlapped_, nullptr) != 0;
    }
    void loop() {
        const HANDLE events[] = {stop_, changed_};
        while (!removed_ && ::WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            DWORD got = 0;
            if (!::GetOverlappedResult(folder_, &overlapped_, &got, FALSE)) return;
            ::ResetEvent(changed_);
            for (DWORD at = 0; got > 0 && at < got;) {
                const auto* e = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + at);
                const std::wstring name(e->FileName, e->FileNameLength / sizeof(WCHAR));
                if (e->Action == FILE_ACTION_RENAMED_NEW_NAME && name == name_) {
                    removed_ = ::DeleteFileW(victim_.c_str()) != 0;
                    return;
                }
                if (e->NextEntryOffset == 0) break;
                at += e->NextEntryOffset;
            }
            if (!watch()) return;
        }
    }

    fs::path victim_;
    std::wstring name_;
    HANDLE folder_ = INVALID_HANDLE_VALUE;
    HANDLE stop_ = nullptr;
    HANDLE changed_ = nullptr;
    OVERLAPPED overlapped_{};
    alignas(DWORD) unsigned char buffer_[8192];
    bool ready_ = false;
    std::atomic<bool> removed_{false};
    std::thread thread_;
};
#else
class Vanisher {
public:
    Vanisher(const fs::path& watched, Event event, const fs::path& victim) : victim_(victim) {
        fd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        if (fd_ < 0) return;
        watch_ = ::inotify_add_watch(fd_, watched.parent_path().c_str(), event == Event::Opened ? IN_OPEN : IN_MOVED_TO);
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
#endif

#ifdef _WIN32
#define SKIP_IF_NOT_READY(vanisher) \
    if (!(vanisher).ready()) GTEST_SKIP() << "Windows tells no one when a file is opened"
#else
#define SKIP_IF_NOT_READY(vanisher) ASSERT_TRUE((vanisher).ready())
#endif

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
        ChildExit done = run(args, withEnvironment(cliEnvironment(dir / "home")));
        done.output = cliText(done.output);
        return done;
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
        Vanisher vanisher(archives[1], Event::Opened, archives[1]);
        SKIP_IF_NOT_READY(vanisher);
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
        Vanisher vanisher(archives[0], Event::MovedTo, archives[1]);
        SKIP_IF_NOT_READY(vanisher);
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

#ifdef _WIN32
// A reader on Windows that lets others read but neither write nor delete (nor rename, which
// needs delete access) keeps its archive as it is: the clean and the rename of that one
// fail and say why, the others are done, and the reader still reads what it opened.
TEST_F(VanishingArchiveTest, AnArchiveAnotherProgramHoldsShutIsReportedAndTheOthersAreDone) {
    const auto archives = makeArchives(dir / "tree", 3);
    const std::string before = readBytes(archives[1]);
    HANDLE held = ::CreateFileW(archives[1].c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    const ChildExit clean = runCli({"clean", "--name", "ad.txt", (dir / "tree").string()});
    EXPECT_EQ(clean.exitCode, 1) << clean.output;
    EXPECT_NE(clean.output.find(archives[1].string() + "：删除失败！"), std::string::npos) << clean.output;
    EXPECT_NE(clean.output.find("已打扫 2 个"), std::string::npos) << clean.output;
    const ChildExit rename = runCli({"rename", "--ext", "exe", (dir / "tree").string()});
    EXPECT_EQ(rename.exitCode, 1) << rename.output;
    EXPECT_NE(rename.output.find(archives[1].string() + "（未更名："), std::string::npos) << rename.output;
    EXPECT_NE(rename.output.find("已更名 2 个"), std::string::npos) << rename.output;
    for (int i : {1, 3}) {
        EXPECT_EQ(entryPaths(dir / "tree" / ("episode-" + std::to_string(i) + ".rar")),
                  (std::vector<std::string>{"episode-" + std::to_string(i) + ".exe"}));
    }
    std::string seen(before.size() + 1, '\0');
    DWORD got = 0;
    OVERLAPPED start{};
    const BOOL read = ::ReadFile(held, seen.data(), static_cast<DWORD>(seen.size()), &got, &start);
    ::CloseHandle(held);
    ASSERT_TRUE(read);
    seen.resize(got);
    EXPECT_EQ(seen, before);
    EXPECT_TRUE(temporaryFilesIn(dir / "tree").empty());
}
#else
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
#endif

}  // namespace
}  // namespace testfaults
