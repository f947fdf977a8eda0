#include "ui/core/main_presenter.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "platform/file.h"
#include "platform/paths.h"
#include "tests/support/temp_dir.h"
#include "tests/ui_core/fake_main_view.h"
#include "tests/ui_core/recording_job_starter.h"
#include "ui/core/window_texts.h"

namespace fs = std::filesystem;

namespace {

using RenameOutcome = jobs::RenameResult::Outcome;
using CleanOutcome = jobs::CleanResult::Outcome;

jobs::RenameResult renamed(std::size_t ordinal, std::string from, std::string to) {
    jobs::RenameResult r;
    r.ordinal = ordinal;
    r.outcome = RenameOutcome::Renamed;
    r.oldPath = std::move(from);
    r.newPath = to;
    r.currentPath = std::move(to);
    return r;
}

jobs::RenameResult kept(std::size_t ordinal, std::string path, RenameOutcome outcome, std::string detail) {
    jobs::RenameResult r;
    r.ordinal = ordinal;
    r.outcome = outcome;
    r.oldPath = path;
    r.currentPath = std::move(path);
    r.detail = std::move(detail);
    return r;
}

jobs::CleanResult cleaned(std::size_t ordinal, CleanOutcome outcome, std::string detail,
                          std::vector<std::string> entries = {}) {
    jobs::CleanResult r;
    r.ordinal = ordinal;
    r.outcome = outcome;
    r.detail = std::move(detail);
    r.entries = std::move(entries);
    return r;
}

struct PresenterTest : ::testing::Test {
    testsupport::TempDir tmp;
    SettingsFile settings{SettingsFile::Places{tmp.path(), [this] { return tmp.path() / "user"; },
                                               [](const fs::path&) { return true; }}};
    FakeMainView view;
    RecordingJobStarter jobs;
    MainPresenter presenter{view, jobs, settings};

    void addFiles(std::vector<std::string> paths) {
        view.filesAnswer = std::move(paths);
        presenter.onAddClicked();
    }
    std::vector<std::string> listed() const { return view.paths(Control::超级列表框_文件); }
    std::vector<std::string> archives() const { return presenter.archives().paths(); }
};

TEST_F(PresenterTest, CreatedFillsTheFiveBoxesFromTheSettingsFiles) {
    ASSERT_TRUE(settings.save(SettingsValues{"/资料", "exe", "示例", "00005", "a.txt\r\nb.txt"}));
    presenter.onCreated();
    EXPECT_EQ(view.text(Control::编辑框_路径), "/资料");
    EXPECT_EQ(view.text(Control::编辑框_后缀), "exe");
    EXPECT_EQ(view.text(Control::编辑框_前缀), "示例");
    EXPECT_EQ(view.text(Control::编辑框_序号), "00005");
    EXPECT_EQ(view.text(Control::编辑框1), "a.txt\r\nb.txt");
    EXPECT_EQ(view.text(Control::标签_状态), "");
}

TEST_F(PresenterTest, CreatedSaysWhichSettingsFileCouldNotBeDecoded) {
    ASSERT_TRUE(platform::writeFileAtomically(tmp.path() / platform::pathFromUtf8("删除.txt"), "a\x80"));
    ASSERT_TRUE(platform::writeFileAtomically(tmp.path() / "peizhi.ini", "\xFF\xFE["));
    presenter.onCreated();
    const std::string status = view.text(Control::标签_状态);
    EXPECT_EQ(status.rfind("设置未载入：" + platform::utf8FromPath(tmp.path() / "peizhi.ini") + "：无法识别文本编码", 0), 0u)
        << status;
    EXPECT_NE(status.find("；删除列表未载入：" + platform::utf8FromPath(tmp.path() / platform::pathFromUtf8("删除.txt"))),
              std::string::npos)
        << status;
    EXPECT_EQ(view.text(Control::编辑框1), "");
}

TEST_F(PresenterTest, CreatedOnAFirstStartLeavesEveryBoxEmpty) {
    presenter.onCreated();
    for (Control c : {Control::编辑框_路径, Control::编辑框_后缀, Control::编辑框_前缀, Control::编辑框_序号, Control::编辑框1})
        EXPECT_EQ(view.text(c), "") << controlName(c);
}

TEST_F(PresenterTest, DestroyedWaitsForTheJobThenSavesTheLastTextsOnce) {
    presenter.onCreated();
    view.setText(Control::编辑框_路径, "/d");
    view.setText(Control::编辑框_后缀, "pdf");
    view.setText(Control::编辑框_前缀, "第");
    view.setText(Control::编辑框_序号, "010");
    view.setText(Control::编辑框1, "x.txt\r\ny.txt");
    bool savedBeforeWait = true;
    jobs.onWait = [&] { savedBeforeWait = fs::exists(tmp.path() / "peizhi.ini"); };
    presenter.onDestroyed();
    EXPECT_EQ(jobs.waits, 1);
    EXPECT_FALSE(savedBeforeWait);
    EXPECT_EQ(settings.load(), (SettingsValues{"/d", "pdf", "第", "010", "x.txt\r\ny.txt"}));

    view.setText(Control::编辑框_后缀, "changed later");
    presenter.onDestroyed();
    EXPECT_EQ(settings.load().extension, "pdf");

    // The next start shows them again.
    FakeMainView nextView;
    MainPresenter next(nextView, jobs, settings);
    next.onCreated();
    EXPECT_EQ(nextView.text(Control::编辑框_序号), "010");
    EXPECT_EQ(nextView.text(Control::编辑框1), "x.txt\r\ny.txt");
}

TEST_F(PresenterTest, ClosingWaitsForARunningJobAndNeverRefuses) {
    presenter.onClosing();
    EXPECT_EQ(jobs.waits, 1);
}

TEST_F(PresenterTest, AddAsksForRarFilesAndAppendsNumberedRows) {
    addFiles({"/d/b.rar", "/d/a.RAR"});
    ASSERT_EQ(view.fileRequests.size(), 1u);
    EXPECT_EQ(view.fileRequests[0].title, "请选择需要添加的文件");
    EXPECT_EQ(view.fileRequests[0].filterName, "Rar压缩包");
    EXPECT_EQ(view.fileRequests[0].filterPattern, "*.rar");
    addFiles({"/d/c.rar", "/d/b.rar"});
    EXPECT_EQ(listed(), (std::vector<std::string>{"/d/b.rar", "/d/a.RAR", "/d/c.rar"}));
    EXPECT_EQ(view.numbers(Control::超级列表框_文件), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(archives(), listed());
    EXPECT_EQ(view.text(Control::标签_状态), "");
}

TEST_F(PresenterTest, CancellingEitherDialogChangesNothing) {
    addFiles({"/d/a.rar"});
    view.setText(Control::编辑框_路径, "/before");
    view.filesAnswer.reset();
    presenter.onAddClicked();
    view.directoryAnswer.reset();
    presenter.onBrowseClicked();
    view.runAll();
    EXPECT_EQ(view.directoryTitles, (std::vector<std::string>{"选择目录："}));
    EXPECT_EQ(view.directoryStarts, (std::vector<std::string>{"/before"}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"/d/a.rar"}));
    EXPECT_EQ(view.text(Control::编辑框_路径), "/before");
}

TEST_F(PresenterTest, BrowsePutsTheFolderInThePathBoxAndAppendsItsArchivesInWalkOrder) {
    tmp.write("tree/a.rar", "");
    tmp.write("tree/a.zip", "");
    tmp.write("tree/sub/b.rar", "");
    addFiles({(tmp.path() / "tree/sub/b.rar").string(), "/first.rar"});
    view.directoryAnswer = (tmp.path() / "tree").string();
    presenter.onBrowseClicked();
    view.runAll();
    EXPECT_EQ(view.text(Control::编辑框_路径), (tmp.path() / "tree").string());
    EXPECT_EQ(listed(), (std::vector<std::string>{(tmp.path() / "tree/sub/b.rar").string(), "/first.rar",
                                                  (tmp / "tree/a.rar").string()}));
    EXPECT_EQ(view.numbers(Control::超级列表框_文件), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_FALSE(presenter.walking());
}

#ifndef _WIN32
TEST_F(PresenterTest, BrowseSaysWhichArchiveNameItHadToLeaveOut) {
    tmp.write("tree/a.rar", "");
    std::filesystem::path bad = tmp.path() / "tree";
    bad /= std::string("b\xff.rar");
    std::ofstream(bad).put('x');
    view.directoryAnswer = (tmp.path() / "tree").string();
    presenter.onBrowseClicked();
    view.runAll();
    EXPECT_EQ(listed(), (std::vector<std::string>{(tmp / "tree/a.rar").string()}));
    const std::string status = view.text(Control::标签_状态);
    EXPECT_EQ(status.rfind("跳过：", 0), 0u) << status;
    EXPECT_NE(status.find("UTF-8"), std::string::npos) << status;
}
#endif

TEST_F(PresenterTest, ALargeWalkRunsInQueuedStepsAndBlocksOtherListChanges) {
    const std::size_t files = MainPresenter::kWalkStepEntries * 3;
    for (std::size_t i = 0; i < files; ++i) tmp.write("big/" + std::to_string(i) + ".rar", "");
    view.directoryAnswer = (tmp.path() / "big").string();
    presenter.onBrowseClicked();
    EXPECT_TRUE(presenter.walking());
    EXPECT_EQ(listed().size(), MainPresenter::kWalkStepEntries);
    EXPECT_EQ(view.pending(), 1u);

    // While the walk runs, other list buttons and the jobs do nothing.
    addFiles({"/other.rar"});
    presenter.onBrowseClicked();
    presenter.onRenameClicked();
    presenter.onCleanClicked();
    EXPECT_EQ(view.fileRequests.size(), 0u);
    EXPECT_EQ(view.directoryTitles.size(), 1u);
    EXPECT_TRUE(jobs.renames.empty());
    EXPECT_TRUE(jobs.cleans.empty());

    view.runAll();
    EXPECT_FALSE(presenter.walking());
    EXPECT_EQ(listed().size(), files);
    EXPECT_EQ(view.numbers(Control::超级列表框_文件).back(), std::to_string(files));
}

TEST_F(PresenterTest, ClearStopsAWalkAndEmptiesTheList) {
    for (std::size_t i = 0; i < MainPresenter::kWalkStepEntries * 2; ++i) tmp.write("big/" + std::to_string(i) + ".rar", "");
    view.directoryAnswer = (tmp.path() / "big").string();
    presenter.onBrowseClicked();
    presenter.onFileRowFocused(0);
    presenter.onClearClicked();
    view.runAll();
    EXPECT_FALSE(presenter.walking());
    EXPECT_TRUE(listed().empty());
    EXPECT_EQ(presenter.archives().count(), 0u);
    EXPECT_FALSE(view.isEnabled(Control::按钮_删除));
}

TEST_F(PresenterTest, RemoveTakesTheSelectedRowRenumbersAndDisablesTheButton) {
    addFiles({"/1.rar", "/2.rar", "/3.rar"});
    view.selected = 1;
    presenter.onFileRowFocused(1);
    EXPECT_TRUE(view.isEnabled(Control::按钮_删除));
    presenter.onRemoveClicked();
    EXPECT_EQ(listed(), (std::vector<std::string>{"/1.rar", "/3.rar"}));
    EXPECT_EQ(view.numbers(Control::超级列表框_文件), (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(archives(), listed());
    EXPECT_FALSE(view.isEnabled(Control::按钮_删除));

    // With no row selected nothing goes.
    presenter.onFileRowFocused(0);
    presenter.onRemoveClicked();
    EXPECT_EQ(listed().size(), 2u);
    EXPECT_FALSE(view.isEnabled(Control::按钮_删除));
}

TEST_F(PresenterTest, RadioButtonsSwitchTheStartNumberBoxAndItsLabel) {
    presenter.onByNumberClicked();
    EXPECT_TRUE(view.isEnabled(Control::编辑框_序号));
    EXPECT_TRUE(view.isEnabled(Control::标签5));
    presenter.onByExtensionClicked();
    EXPECT_FALSE(view.isEnabled(Control::编辑框_序号));
    EXPECT_FALSE(view.isEnabled(Control::标签5));
    EXPECT_TRUE(view.isEnabled(Control::编辑框_后缀));
    EXPECT_TRUE(view.isEnabled(Control::编辑框_前缀));
}

TEST_F(PresenterTest, RenameHandsOverTheInputsAtTheMomentOfTheClick) {
    addFiles({"/a.rar"});
    struct Case {
        bool byNumber;
        const char* extension;
        const char* prefix;
        const char* start;
    };
    const Case cases[] = {{false, "exe", "示例", "00005"}, {true, "", "第", "-1"}};
    for (const Case& c : cases) {
        view.byNumber = c.byNumber;
        view.setText(Control::编辑框_后缀, c.extension);
        view.setText(Control::编辑框_前缀, c.prefix);
        view.setText(Control::编辑框_序号, c.start);
        presenter.onRenameClicked();
        ASSERT_FALSE(jobs.renames.empty());
        const RenameRequest& r = jobs.renames.back();
        EXPECT_EQ(r.byNumber, c.byNumber);
        EXPECT_EQ(r.extension, c.extension);
        EXPECT_EQ(r.prefix, c.prefix);
        EXPECT_EQ(r.startNumber, c.start);
        EXPECT_EQ(jobs.rows, &presenter.archives());
        jobs.report.finished();
        view.runAll();
    }
    EXPECT_EQ(jobs.renames.size(), 2u);
}

TEST_F(PresenterTest, CleanHandsOverTheDeleteListText) {
    view.setText(Control::编辑框1, "文件1.txt\r\nb.exe");
    presenter.onCleanClicked();
    EXPECT_EQ(jobs.cleans, (std::vector<std::string>{"文件1.txt\r\nb.exe"}));
    EXPECT_EQ(jobs.rows, &presenter.archives());
}

TEST_F(PresenterTest, NoJobStartsWhileOneRuns) {
    jobs.busyFlag = true;
    presenter.onRenameClicked();
    presenter.onCleanClicked();
    EXPECT_TRUE(jobs.renames.empty());
    EXPECT_TRUE(jobs.cleans.empty());

    // Until its end has reached the window, a started job still counts as running.
    jobs.busyFlag = false;
    presenter.onCleanClicked();
    jobs.busyFlag = true;
    jobs.report.finished();
    jobs.busyFlag = false;
    presenter.onRenameClicked();
    presenter.onCleanClicked();
    EXPECT_TRUE(jobs.renames.empty());
    EXPECT_EQ(jobs.cleans.size(), 1u);
    view.runAll();
    EXPECT_FALSE(presenter.jobRunning());
    presenter.onRenameClicked();
    EXPECT_EQ(jobs.renames.size(), 1u);
}

TEST_F(PresenterTest, TheListDoesNotChangeWhileAJobRuns) {
    addFiles({"/1.rar", "/2.rar"});
    view.selected = 0;
    presenter.onCleanClicked();
    addFiles({"/3.rar"});
    view.directoryAnswer = tmp.path().string();
    presenter.onBrowseClicked();
    presenter.onRemoveClicked();
    presenter.onClearClicked();
    EXPECT_EQ(archives(), (std::vector<std::string>{"/1.rar", "/2.rar"}));
    EXPECT_EQ(listed(), archives());
    EXPECT_TRUE(view.fileRequests.size() == 1 && view.directoryTitles.empty());
    jobs.report.finished();
    view.runAll();
    presenter.onClearClicked();
    EXPECT_TRUE(archives().empty());
}

TEST_F(PresenterTest, ARenameJobFillsTheRenameListAndTheNewPathsReachTheFileList) {
    addFiles({"/d/a.rar", "/d/b.rar", "/d/c.rar"});
    view.setRows(Control::超级列表框_更名, {ListRow{"1", "/old/row"}});
    presenter.onRenameClicked();
    EXPECT_TRUE(view.rows[Control::超级列表框_更名].empty());

    // The job's part, as a worker thread would play it.
    jobs.status("正在修改第1个文件名称。");
    jobs.rows->setPathAt(0, "/d/文件2.rar");
    jobs.report.renameResult(renamed(1, "/d/a.rar", "/d/文件2.rar"));
    jobs.report.renameResult(kept(2, "/d/b.rar", RenameOutcome::NoMatchingEntry, "未更名：压缩包内没有后缀为“exe”的文件"));
    jobs.rows->setPathAt(2, "/d/文件3.rar");  // written back without a report of its own
    jobs.status("RAR文件名称修改完毕！");
    jobs.report.finished();
    EXPECT_EQ(listed()[0], "/d/a.rar");  // nothing reaches the view before its thread runs the tasks

    view.runAll();
    EXPECT_EQ(view.rows[Control::超级列表框_更名],
              (std::vector<ListRow>{{"1", "/d/文件2.rar"}, {"2", "/d/b.rar（未更名：压缩包内没有后缀为“exe”的文件）"}}));
    EXPECT_EQ(listed(), (std::vector<std::string>{"/d/文件2.rar", "/d/b.rar", "/d/文件3.rar"}));
    EXPECT_EQ(view.results(Control::超级列表框_文件),
              (std::vector<std::string>{"已更名为 文件2.rar", "未更名：压缩包内没有后缀为“exe”的文件", ""}));
    EXPECT_EQ(view.text(Control::标签_状态), "RAR文件名称修改完毕！");
    EXPECT_FALSE(presenter.jobRunning());
}

TEST_F(PresenterTest, EachCleanResultShowsInItsRowAndFailuresAreMarked) {
    addFiles({"/d/a.rar", "/d/b.rar", "/d/c.rar", "/d/d.rar"});
    presenter.onCleanClicked();
    jobs.status("正在打扫第1个文件。。。");
    jobs.report.cleanResult(cleaned(1, CleanOutcome::Deleted, "删除成功", {"广告.txt", "说明.url"}));
    jobs.report.cleanResult(cleaned(2, CleanOutcome::Failed, "删除失败！压缩包已损坏"));
    jobs.report.cleanResult(cleaned(3, CleanOutcome::NothingMatched, "未改动：压缩包内没有要删除的文件"));
    jobs.report.cleanResult(cleaned(9, CleanOutcome::Failed, "删除失败！"));  // no such row: ignored
    jobs.status("文件打扫完毕！");
    jobs.report.finished();
    view.runAll();

    EXPECT_EQ(view.results(Control::超级列表框_文件),
              (std::vector<std::string>{"已删除 2 个文件", "✗ 删除失败：压缩包已损坏", "没有要删除的文件", ""}));
    EXPECT_EQ(listed(), archives());
    // The status line says what it always said.
    EXPECT_EQ(view.text(Control::标签_状态), "文件打扫完毕！");
    // The rename list is the rename job's alone.
    EXPECT_TRUE(view.rows[Control::超级列表框_更名].empty());
}

TEST_F(PresenterTest, AJobsStartClearsEveryResultAndRemovingARowKeepsTheOthers) {
    addFiles({"/d/a.rar", "/d/b.rar", "/d/c.rar"});
    presenter.onCleanClicked();
    jobs.report.cleanResult(cleaned(1, CleanOutcome::Deleted, "删除成功", {"x"}));
    jobs.report.cleanResult(cleaned(2, CleanOutcome::Failed, "删除失败！只读"));
    jobs.report.cleanResult(cleaned(3, CleanOutcome::NothingMatched, ""));
    jobs.report.finished();
    view.runAll();

    // Removing the first row moves the others' results up with their paths.
    view.selected = 0;
    presenter.onRemoveClicked();
    EXPECT_EQ(listed(), (std::vector<std::string>{"/d/b.rar", "/d/c.rar"}));
    EXPECT_EQ(view.results(Control::超级列表框_文件), (std::vector<std::string>{"✗ 删除失败：只读", "没有要删除的文件"}));
    addFiles({"/d/e.rar"});
    EXPECT_EQ(view.results(Control::超级列表框_文件), (std::vector<std::string>{"✗ 删除失败：只读", "没有要删除的文件", ""}));

    // A new job starts with no row showing an older job's outcome, before it reports anything.
    presenter.onRenameClicked();
    EXPECT_EQ(view.results(Control::超级列表框_文件), (std::vector<std::string>{"", "", ""}));
    jobs.report.renameResult(kept(2, "/d/c.rar", RenameOutcome::CannotList, "未更名：无法读取压缩包内容"));
    jobs.report.finished();
    view.runAll();
    EXPECT_EQ(view.results(Control::超级列表框_文件), (std::vector<std::string>{"", "✗ 未更名：无法读取压缩包内容", ""}));

    presenter.onClearClicked();
    addFiles({"/d/f.rar"});
    EXPECT_EQ(view.results(Control::超级列表框_文件), (std::vector<std::string>{""}));
}

TEST_F(PresenterTest, TheDoNothingStarterEndsAtOnce) {
    IdleJobStarter idle;
    MainPresenter p(view, idle, settings);
    p.onRenameClicked();
    EXPECT_TRUE(p.jobRunning());
    view.runAll();
    EXPECT_FALSE(p.jobRunning());
    p.onCleanClicked();
    view.runAll();
    EXPECT_FALSE(p.jobRunning());
    EXPECT_EQ(view.text(Control::标签_状态), "");
}

}  // namespace
