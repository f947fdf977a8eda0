#pragma once
// What the presenter needs of a window, whatever toolkit draws it. Controls are addressed
// by their layout names; texts are UTF-8 and a multi-line text separates its lines with
// CR LF. Every operation is called on the window's thread, except postStatus() and post(),
// which any thread may call.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/core/control.h"

// One row of 超级列表框_文件 or 超级列表框_更名.
struct ListRow {
    ListRow() = default;
    ListRow(std::string number_, std::string path_, std::string result_ = {}, bool failed_ = false)
        : number(std::move(number_)), path(std::move(path_)), result(std::move(result_)), failed(failed_) {}

    std::string number;  // "序号"
    std::string path;    // "文件路径"
    // 超级列表框_文件 only: "结果", what the last job did with the archive (empty before any
    // job), and whether that was a failure, which the view makes stand out. The view shows
    // the whole path and the whole result where its cells cut them short.
    std::string result;
    bool failed = false;

    bool operator==(const ListRow&) const = default;
};

// The open-file dialog: several existing files may be picked; one filter entry.
struct OpenFilesRequest {
    std::string title;
    std::string filterName;
    std::string filterPattern;
};

class MainView {
public:
    virtual ~MainView() = default;

    // The whole text of an edit box or caption of a label.
    virtual std::string text(Control control) const = 0;
    virtual void setText(Control control, const std::string& text) = 0;
    // Whether a radio button is selected.
    virtual bool isChecked(Control control) const = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;

    // Replaces every row of a list; no row is selected afterwards.
    virtual void setRows(Control list, const std::vector<ListRow>& rows) = 0;
    // Adds rows at the end; the selection stays.
    virtual void appendRows(Control list, const std::vector<ListRow>& rows) = 0;
    // Replaces the texts (and failed marks) of the rows from `first` on (rows past the end
    // are ignored); the selection stays.
    virtual void updateRows(Control list, std::size_t first, const std::vector<ListRow>& rows) = 0;
    virtual std::optional<std::size_t> selectedRow(Control list) const = 0;

    // The files picked, full paths in the dialog's order; none when cancelled. The process's
    // working directory is the same afterwards.
    virtual std::vector<std::string> askForFiles(const OpenFilesRequest& request) = 0;
    // The folder picked, opening at `startDirectory` where it exists; nothing when cancelled
    // or when the pick has no file-system path. The working directory stays as it was.
    virtual std::optional<std::string> askForDirectory(const std::string& title, const std::string& startDirectory) = 0;

    // Any thread: shows the text in 标签_状态 soon, replacing the one before.
    virtual void postStatus(const std::string& text) = 0;
    // Any thread: runs the task on the window's thread soon, after the events already
    // waiting, in the order posted. Tasks still waiting when the window goes are dropped.
    virtual void post(std::function<void()> task) = 0;
};
