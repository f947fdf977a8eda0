#pragma once
// Every handler of the main window, free of any toolkit: the view forwards its events here
// and the presenter answers through the MainView interface.
//
// Rules the handlers keep:
// - While a job runs (from its start until its `finished` report has arrived) neither
//   start button starts anything and the archive list does not change.
// - A directory walk runs in steps queued on the window's thread, so the window stays
//   responsive; while it runs only 按钮_清空 acts (it stops the walk), and no job starts.
// - The list operations write nothing into the status line, except to name a file the
//   folder walk had to leave out.
// - Each row of 超级列表框_文件 shows in "结果" what the last job did with its archive; a
//   job's start clears every row's result, so a row never shows an older job's outcome.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/archive_list.h"
#include "ui/core/directory_walk.h"
#include "ui/core/job_starter.h"
#include "ui/core/main_view.h"
#include "ui/core/result_texts.h"
#include "ui/core/settings_file.h"

class MainPresenter {
public:
    // How many folder entries one step of a directory walk looks at.
    static constexpr std::size_t kWalkStepEntries = 512;

    MainPresenter(MainView& view, JobStarter& jobs, const SettingsFile& settings);
    MainPresenter(const MainPresenter&) = delete;
    MainPresenter& operator=(const MainPresenter&) = delete;

    // MainWindow created: fills the five edit boxes from the settings files.
    void onCreated();
    // The user closes the window: waits until a running job has finished. Never refuses.
    void onClosing();
    // MainWindow destroyed (its controls still exist): stops a walk, waits for a job,
    // saves the five texts. Runs once; later calls do nothing.
    void onDestroyed();

    void onAddClicked();     // 按钮_添加: addFiles
    void onBrowseClicked();  // 按钮_浏览: collectFromDirectory
    void onRemoveClicked();  // 按钮_删除: removeSelected
    void onClearClicked();   // 按钮_清空: clear
    // 超级列表框_文件: the row at `row` received the focus.
    void onFileRowFocused(std::size_t row);
    void onByExtensionClicked();  // 单选框_按后缀
    void onByNumberClicked();     // 单选框_按序号
    void onRenameClicked();       // 按钮2
    void onCleanClicked();        // 按钮_删除指定文件

    const ArchiveList& archives() const { return archives_; }
    bool walking() const { return walk_ != nullptr; }
    bool jobRunning() const { return jobRunning_ || jobs_.busy(); }

private:
    void continueWalk(unsigned generation);
    void stopWalk();
    void appendArchives(const std::vector<std::string>& paths);
    ListRow rowAt(std::size_t position) const;
    std::vector<ListRow> rowsFrom(std::size_t first) const;
    void showResult(std::size_t ordinal, RowResult result);
    void startJob();
    StatusSink statusSink();
    JobReport report();
    bool listLocked() const { return jobRunning() || walking(); }

    MainView& view_;
    JobStarter& jobs_;
    const SettingsFile& settings_;
    ArchiveList archives_;
    // One per row of archives_, changed on the window's thread only.
    std::vector<RowResult> results_;
    std::unique_ptr<DirectoryWalk> walk_;
    unsigned walkGeneration_ = 0;
    bool jobRunning_ = false;
    bool destroyed_ = false;
};
