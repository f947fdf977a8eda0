// The window's job starter: jobs on a worker thread, texts and results as they happen,
// nothing started while a job runs, and a close that lets the current archive finish.
#include "ui/core/worker_job_starter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "archiver/driver/archiver_texts.h"
#include "jobs/real_job_file_system.h"
#include "jobs/rename_journal.h"
#include "jobs/vector_archive_rows.h"
#include "platform/file.h"
#include "platform/file_identity.h"
#include "platform/file_lock.h"
#include "tests/jobs/fake_archive_commands.h"
#include "tests/support/fixtures.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_core/fake_main_view.h"
#include "ui/core/main_presenter.h"

namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// Holds every archiver command until the test lets it go, one at a time.
class GatedCommands final : public ArchiveCommands {
public:
    explicit GatedCommands(ArchiveCommands& inner) : inner_(inner) {}

    Listing listArchive(const std::string& path, const std::string& password) override {
        pass();
        return inner_.listArchive(path, password);
    }
    std::string readArchiveComment(const std::string&, const std::string&) override { return {}; }
    bool addToArchive(const std::string&, const std::vector<std::string>&, const StatusSink&) override { return false; }
    bool extractArchive(const std::string&, bool, const StatusSink&) override { return false; }
    DeleteOutcome deleteFromArchive(const std::string& path, const std::vector<std::string>& names,
                                    const StatusSink& sink) override {
        pass();
        return inner_.deleteFromArchive(path, names, sink);
    }
    DeleteOutcome planDelete(const std::string& path, const std::vector<std::string>& names) override {
        pass();
        return inner_.planDelete(path, names);
    }
    bool canPassName(const std::string& name) const override { return inner_.canPassName(name); }

    void waitUntilEntered(int count) {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(changed_.wait_for(lock, 10s, [&] { return entered_ >= count; }));
    }
    void letOneGo() {
        std::lock_guard lock(mutex_);
        ++allowed_;
        changed_.notify_all();
    }
    void letAllGo() {
        std::lock_guard lock(mutex_);
        allowed_ = 1 << 20;
        changed_.notify_all();
    }

private:
    void pass() {
        std::unique_lock lock(mutex_);
        ++entered_;
        changed_.notify_all();
        changed_.wait(lock, [&] { return allowed_ > 0; });
        --allowed_;
    }
    ArchiveCommands& inner_;
    std::mutex mutex_;
    std::condition_variable changed_;
    int entered_ = 0;
    int allowed_ = 0;
};

class TestSession final : public jobs::JobSession {
public:
    TestSession(ArchiveCommands& commands, const std::filesystem::path& dir)
        : commands_(commands), files_(dir / "trash"), journal_(dir / std::string(jobs::kRenameJournalName)) {}
    ArchiveCommands& commands() override { return commands_; }
    jobs::JobFileSystem& files() override { return files_; }
    std::filesystem::path journalFile() const override { return journal_; }

private:
    ArchiveCommands& commands_;
    jobs::RealJobFileSystem files_;
    std::filesystem::path journal_;
};

// What reaches the window, in order, whatever thread it came from.
struct WindowSide {
    std::mutex mutex;
    std::condition_variable changed;
    Texts events;
    std::thread::id caller;
    int finished = 0;

    StatusSink status() {
        return [this](const std::string& t) { add("status " + t); };
    }
    JobReport report() {
        JobReport r;
        r.renameResult = [this](const jobs::RenameResult& o) {
            const bool renamed = o.outcome == jobs::RenameResult::Outcome::Renamed;
            add("result " + std::to_string(o.ordinal) + (renamed ? " renamed " : " kept ") + jobs::resultListText(o));
        };
        r.finished = [this] {
            std::lock_guard lock(mutex);
            ++finished;
            events.push_back("finished");
            changed.notify_all();
        };
        return r;
    }
    void add(const std::string& e) {
        std::lock_guard lock(mutex);
        caller = std::this_thread::get_id();
        events.push_back(e);
        changed.notify_all();
    }
    void waitForFinished() {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 20s, [&] { return finished > 0; }));
    }
    bool waitFor(const std::string& e) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, 20s, [&] { return std::find(events.begin(), events.end(), e) != events.end(); });
    }
};

class WorkerJobStarterTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::FakeArchiveCommands fake{std::filesystem::path(PIMINGBAO_JOBS_TEST_DATA) / "fake_archives.txt"};
    GatedCommands gated{fake};
    int sessionsOpened = 0;
    WorkerJobStarter starter{[this](const StatusSink&) -> platform::Result<std::unique_ptr<jobs::JobSession>> {
        ++sessionsOpened;
        std::unique_ptr<jobs::JobSession> s = std::make_unique<TestSession>(gated, dir.path());
        return s;
    }};
    WindowSide window;

    WorkerJobStarterTest() { fake.trash = dir / "trash"; }

    std::string archive(const std::string& relative, const std::string& contents) {
        fake.writeArchive(dir / relative, contents);
        return (dir / relative).string();
    }
};

TEST_F(WorkerJobStarterTest, RenameRunsOnAWorkerAndReportsAsItGoes) {
    jobs::VectorArchiveRows rows({archive("1/a.rar", "help-example"), archive("2/b.rar", "no-exe")});
    RenameRequest request;
    request.extension = "exe";
    starter.startRename(request, rows, window.status(), window.report());
    EXPECT_TRUE(starter.busy());

    gated.waitUntilEntered(1);
    {
        std::lock_guard lock(window.mutex);
        EXPECT_EQ(window.events, (Texts{"status 正在修改第1个文件名称。"}));
        EXPECT_NE(window.caller, std::this_thread::get_id());
    }
    gated.letAllGo();
    window.waitForFinished();
    starter.waitUntilIdle();
    EXPECT_FALSE(starter.busy());
    EXPECT_EQ(window.events,
              (Texts{"status 正在修改第1个文件名称。", "result 1 renamed " + (dir / "1/文件2.rar").string(),
                     "status 正在修改第2个文件名称。",
                     "result 2 kept " + (dir / "2/b.rar").string() + "（未更名：压缩包内没有后缀为“exe”的文件）",
                     "status RAR文件名称修改完毕！", "finished"}));
    EXPECT_EQ(rows.pathAt(0), (dir / "1/文件2.rar").string());
    // Recorded, so that the command-line undo can revert a job the window ran.
    auto journal = jobs::readRenameJournal(dir / std::string(jobs::kRenameJournalName));
    ASSERT_TRUE(journal.ok());
    ASSERT_EQ(journal->jobs.size(), 1u);
    EXPECT_EQ(journal->jobs.front().records.size(), 1u);
}

TEST_F(WorkerJobStarterTest, NothingStartsWhileAJobRuns) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example")});
    starter.startClean("文件1.txt", rows, window.status(), window.report());
    gated.waitUntilEntered(1);

    WindowSide second;
    RenameRequest request;
    request.extension = "exe";
    starter.startRename(request, rows, second.status(), second.report());
    EXPECT_EQ(second.events, (Texts{"finished"}));  // ended at once, having done nothing
    EXPECT_EQ(sessionsOpened, 1);

    gated.letAllGo();
    window.waitForFinished();
    starter.waitUntilIdle();
    EXPECT_EQ(window.events.back(), "finished");
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "a.rar"), (Texts{"文件2.exe", "文件3.pdf"}));

    // Once it has ended the next job starts.
    starter.startRename(request, rows, second.status(), second.report());
    second.waitFor("status RAR文件名称修改完毕！");
    starter.waitUntilIdle();
    EXPECT_EQ(sessionsOpened, 2);
}

TEST_F(WorkerJobStarterTest, ClosingLetsTheCurrentArchiveFinishAndStartsNoOther) {
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example"), archive("b.rar", "help-example")});
    starter.startClean("文件1.txt", rows, window.status(), window.report());
    gated.waitUntilEntered(1);  // the first delete is under way

    std::thread closing([&] { starter.waitUntilIdle(); });
    std::this_thread::sleep_for(50ms);
    gated.letOneGo();
    closing.join();

    EXPECT_EQ(window.events, (Texts{"status 正在打扫第1个文件。。。", "status 正在删除中……", "status 删除成功！",
                                    "status 文件打扫完毕！", "finished"}));
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "a.rar").size(), 2u);
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "b.rar").size(), 3u);
    EXPECT_FALSE(starter.busy());
}

TEST_F(WorkerJobStarterTest, ASessionThatCannotOpenSaysWhyAndFinishes) {
    WorkerJobStarter broken(WorkerJobStarter::archiverSessions(platform::Status::failure("no working directory")));
    jobs::VectorArchiveRows rows({archive("a.rar", "help-example")});
    broken.startClean("文件1.txt", rows, window.status(), window.report());
    window.waitForFinished();
    broken.waitUntilIdle();
    EXPECT_EQ(window.events, (Texts{"status 无法启动压缩程序：no working directory", "finished"}));
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "a.rar").size(), 3u);
}

// The presenter with this starter: the rename results fill 超级列表框_更名, the archive list
// takes the new paths, and a clean job afterwards finds the renamed files.
TEST_F(WorkerJobStarterTest, WindowShowsResultsAndCleansTheRenamedFiles) {
    gated.letAllGo();
    FakeMainView view;
    SettingsFile settings(SettingsFile::Places{dir.path(), {}, {}});
    MainPresenter presenter(view, starter, settings);
    auto settle = [&] {
        for (int i = 0; i < 2000 && (presenter.jobRunning() || view.pending() > 0); ++i) {
            view.runAll();
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_FALSE(presenter.jobRunning());
    };
    view.filesAnswer = std::vector<std::string>{archive("d/a.rar", "help-example"), archive("d/b.rar", "help-example"),
                                                archive("d/c.rar", "no-exe")};
    presenter.onAddClicked();
    view.texts[Control::编辑框_后缀] = "exe";
    presenter.onRenameClicked();
    settle();

    const std::string renamed = (dir / "d/文件2.rar").string();
    EXPECT_EQ(view.texts[Control::标签_状态], "RAR文件名称修改完毕！");
    EXPECT_EQ(view.numbers(Control::超级列表框_更名), (Texts{"1", "2", "3"}));
    const Texts results = view.paths(Control::超级列表框_更名);
    EXPECT_EQ(results[0], renamed);
    EXPECT_NE(results[1].find("本压缩包已移到回收站"), std::string::npos) << results[1];
    EXPECT_EQ(results[2], (dir / "d/c.rar").string() + "（未更名：压缩包内没有后缀为“exe”的文件）");
    EXPECT_EQ(view.paths(Control::超级列表框_文件)[0], renamed);
    EXPECT_EQ(presenter.archives().pathAt(0), renamed);
    EXPECT_EQ(view.results(Control::超级列表框_文件), (Texts{"已更名为 文件2.rar", "✗ 已移到回收站：文件2.rar已存在",
                                                        "未更名：压缩包内没有后缀为“exe”的文件"}));

    view.texts[Control::编辑框1] = "文件1.txt\r\n文件3.pdf";
    presenter.onCleanClicked();
    settle();
    // Each archive's outcome reaches its row, not only the completion text.
    const Texts cleaned = view.results(Control::超级列表框_文件);
    EXPECT_EQ(cleaned[0].rfind("已删除", 0), 0u) << cleaned[0];
    EXPECT_EQ(view.texts[Control::标签_状态], "文件打扫完毕！");
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "d/文件2.rar"), (Texts{"文件2.exe"}));
    // Emptied by the clean: the original is in the trash.
    EXPECT_FALSE(std::filesystem::exists(dir / "d/c.rar"));
    EXPECT_EQ(testsupport::FakeArchiveCommands::entriesOf(dir / "trash/files/c.rar").size(), 2u);
}

// The window's own path with the real archiver: another copy holds the archiver, the
// status line says so, and the job goes on once it is free.
TEST(WorkerJobStarterWithArchiver, WaitsForAnotherCopyThenRenamesARealArchive) {
    SKIP_WITHOUT_FIXTURES();
    testsupport::TempDir dir;
    const auto work = dir / "work";
    std::filesystem::create_directories(work);
    const auto archive = dir / "下载/字幕.rar";
    std::filesystem::create_directories(archive.parent_path());
    std::filesystem::copy_file(testsupport::fixture("zimuku-10-ass.rar"), archive);

    auto otherCopy = platform::FileLock::acquire(work / "myrar.lock");
    ASSERT_TRUE(otherCopy.ok()) << otherCopy.message();

    WorkerJobStarter starter(WorkerJobStarter::archiverSessions(work));
    WindowSide window;
    jobs::VectorArchiveRows rows({archive.string()});
    RenameRequest request;
    request.extension = "ass";
    starter.startRename(request, rows, window.status(), window.report());
    ASSERT_TRUE(window.waitFor("status " + std::string(archivertexts::kWaitingForOtherCopy)));
    { auto released = std::move(*otherCopy); }
    window.waitForFinished();
    starter.waitUntilIdle();

    const auto renamed = dir / "下载/Modern.Family.S05E05.720p.WEB-DL.DD5.1.H.264-HWD.英文.rar";
    EXPECT_EQ(window.events,
              (Texts{"status " + std::string(archivertexts::kWaitingForOtherCopy), "status 正在修改第1个文件名称。",
                     "result 1 renamed " + renamed.string(), "status RAR文件名称修改完毕！", "finished"}));
    EXPECT_TRUE(std::filesystem::exists(renamed));
    EXPECT_TRUE(std::filesystem::exists(work / "myrar.exe"));
    EXPECT_TRUE(std::filesystem::exists(work / std::string(jobs::kRenameJournalName)));
}

// A numbering run killed half-way hid an archive; the window's next job brings it back first.
TEST_F(WorkerJobStarterTest, AJobFirstUndoesAnInterruptedNumberingRun) {
    const std::string hidden = (dir / "h/.~pimingbao-0badf00d-1.rar").string();
    // A plain name: the test's own narrow paths are not UTF-8 on Windows.
    const std::string original = archive("h/shili2.rar", "help-example");
    {
        auto journal = jobs::RenameJournal::open(dir / std::string(jobs::kRenameJournalName));
        ASSERT_TRUE(journal.ok());
        ASSERT_TRUE(journal->begin("按序号 前缀“示例” 起始序号 1"));
        ASSERT_TRUE(journal->recordMove(platform::fileIdentity(original).value(), original, hidden));
        std::filesystem::rename(original, hidden);
    }
    jobs::VectorArchiveRows rows({archive("c/a.rar", "help-example")});
    starter.startClean("文件1.txt", rows, window.status(), window.report());
    gated.letAllGo();
    window.waitForFinished();
    starter.waitUntilIdle();
    ASSERT_FALSE(window.events.empty());
    EXPECT_EQ(window.events.front(), "status 上次更名被中断，已恢复原名");
    EXPECT_TRUE(std::filesystem::exists(original));
    EXPECT_FALSE(std::filesystem::exists(hidden));
}

}  // namespace
