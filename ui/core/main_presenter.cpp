#include "ui/core/main_presenter.h"

#include "platform/paths.h"
#include "ui/core/window_texts.h"

MainPresenter::MainPresenter(MainView& view, JobStarter& jobs, const SettingsFile& settings)
    : view_(view), jobs_(jobs), settings_(settings) {}

void MainPresenter::onCreated() {
    const SettingsFile::Loaded loaded = settings_.loadReportingProblems();
    const SettingsValues& values = loaded.values;
    view_.setText(Control::编辑框_路径, values.path);
    view_.setText(Control::编辑框_后缀, values.extension);
    view_.setText(Control::编辑框_前缀, values.prefix);
    view_.setText(Control::编辑框_序号, values.startNumber);
    view_.setText(Control::编辑框1, values.deleteList);
    // Empty boxes alone would look like a first start and hide why the last entries are gone.
    std::string problems;
    for (const std::string& problem : loaded.problems) problems += (problems.empty() ? "" : "；") + problem;
    if (!problems.empty()) view_.setText(Control::标签_状态, problems);
}

void MainPresenter::onClosing() { jobs_.waitUntilIdle(); }

void MainPresenter::onDestroyed() {
    if (destroyed_) return;
    destroyed_ = true;
    stopWalk();
    jobs_.waitUntilIdle();
    SettingsValues values;
    values.path = view_.text(Control::编辑框_路径);
    values.extension = view_.text(Control::编辑框_后缀);
    values.prefix = view_.text(Control::编辑框_前缀);
    values.startNumber = view_.text(Control::编辑框_序号);
    values.deleteList = view_.text(Control::编辑框1);
    // A failed write is not reported: the program is ending and nothing would show it.
    (void)settings_.save(values);
}

void MainPresenter::onAddClicked() {
    if (listLocked()) return;
    OpenFilesRequest request{std::string(texts::kAddFilesTitle), std::string(texts::kAddFilesFilterName),
                             std::string(texts::kAddFilesFilterPattern)};
    appendArchives(view_.askForFiles(request));
}

void MainPresenter::onBrowseClicked() {
    if (listLocked()) return;
    auto dir = view_.askForDirectory(std::string(texts::kBrowseTitle), view_.text(Control::编辑框_路径));
    if (!dir || dir->empty()) return;
    view_.setText(Control::编辑框_路径, *dir);
    walk_ = std::make_unique<DirectoryWalk>(platform::pathFromUtf8(*dir));
    continueWalk(++walkGeneration_);
}

void MainPresenter::continueWalk(unsigned generation) {
    // A step queued for a walk that was stopped since does nothing.
    if (!walk_ || generation != walkGeneration_) return;
    appendArchives(walk_->next(kWalkStepEntries));
    // A name the archiver could never be handed is left out of the list, but never silently.
    for (const SkippedName& skipped : walk_->takeSkipped()) {
        view_.postStatus("跳过：" + skipped.path + "（" + skipped.reason + "）");
    }
    if (walk_->done()) {
        walk_.reset();
        return;
    }
    view_.post([this, generation] { continueWalk(generation); });
}

void MainPresenter::stopWalk() {
    walk_.reset();
    ++walkGeneration_;
}

void MainPresenter::appendArchives(const std::vector<std::string>& paths) {
    std::vector<ListRow> added;
    for (const std::string& path : paths) {
        if (!archives_.add(path)) continue;
        results_.emplace_back();
        added.push_back(rowAt(archives_.count() - 1));
    }
    if (!added.empty()) view_.appendRows(Control::超级列表框_文件, added);
}

ListRow MainPresenter::rowAt(std::size_t position) const {
    const RowResult none;
    const RowResult& result = position < results_.size() ? results_[position] : none;
    return ListRow{runningNumber(position), archives_.pathAt(position), result.text, result.failed};
}

std::vector<ListRow> MainPresenter::rowsFrom(std::size_t first) const {
    std::vector<ListRow> rows;
    for (std::size_t i = first; i < archives_.count(); ++i) rows.push_back(rowAt(i));
    return rows;
}

void MainPresenter::onRemoveClicked() {
    if (listLocked()) return;
    auto selected = view_.selectedRow(Control::超级列表框_文件);
    if (selected && archives_.removeAt(*selected)) {
        results_.erase(results_.begin() + static_cast<std::ptrdiff_t>(*selected));
        view_.setRows(Control::超级列表框_文件, rowsFrom(0));
    }
    view_.setEnabled(Control::按钮_删除, false);
}

void MainPresenter::onClearClicked() {
    if (jobRunning()) return;
    stopWalk();
    archives_.clear();
    results_.clear();
    view_.setRows(Control::超级列表框_文件, {});
    view_.setEnabled(Control::按钮_删除, false);
}

void MainPresenter::onFileRowFocused(std::size_t) { view_.setEnabled(Control::按钮_删除, true); }

void MainPresenter::onByExtensionClicked() {
    view_.setEnabled(Control::编辑框_序号, false);
    view_.setEnabled(Control::标签5, false);
}

void MainPresenter::onByNumberClicked() {
    view_.setEnabled(Control::编辑框_序号, true);
    view_.setEnabled(Control::标签5, true);
}

StatusSink MainPresenter::statusSink() {
    MainView* view = &view_;
    return [view](const std::string& text) { view->postStatus(text); };
}

void MainPresenter::showResult(std::size_t ordinal, RowResult result) {
    if (ordinal == 0 || ordinal > results_.size()) return;
    const std::size_t position = ordinal - 1;
    results_[position] = std::move(result);
    // The path too: a rename job has written the archive's new one back by now.
    view_.updateRows(Control::超级列表框_文件, position, {rowAt(position)});
}

JobReport MainPresenter::report() {
    JobReport report;
    report.renameResult = [this](const jobs::RenameResult& result) {
        ListRow listed{std::to_string(result.ordinal), jobs::resultListText(result)};
        RowResult shown = renameRowResult(result);
        view_.post([this, ordinal = result.ordinal, listed = std::move(listed), shown = std::move(shown)]() mutable {
            view_.appendRows(Control::超级列表框_更名, {std::move(listed)});
            showResult(ordinal, std::move(shown));
        });
    };
    report.cleanResult = [this](const jobs::CleanResult& result) {
        view_.post([this, ordinal = result.ordinal, shown = cleanRowResult(result)]() mutable {
            showResult(ordinal, std::move(shown));
        });
    };
    report.finished = [this] {
        view_.post([this] {
            jobRunning_ = false;
            // A job may have written new paths back without reporting each one.
            view_.updateRows(Control::超级列表框_文件, 0, rowsFrom(0));
        });
    };
    return report;
}

void MainPresenter::startJob() {
    jobRunning_ = true;
    for (RowResult& result : results_) result = RowResult{};
    view_.updateRows(Control::超级列表框_文件, 0, rowsFrom(0));
}

void MainPresenter::onRenameClicked() {
    if (listLocked()) return;
    RenameRequest request;
    request.byNumber = view_.isChecked(Control::单选框_按序号);
    request.extension = view_.text(Control::编辑框_后缀);
    request.prefix = view_.text(Control::编辑框_前缀);
    request.startNumber = view_.text(Control::编辑框_序号);
    view_.setRows(Control::超级列表框_更名, {});
    startJob();
    jobs_.startRename(request, archives_, statusSink(), report());
}

void MainPresenter::onCleanClicked() {
    if (listLocked()) return;
    std::string deleteList = view_.text(Control::编辑框1);
    startJob();
    jobs_.startClean(deleteList, archives_, statusSink(), report());
}
