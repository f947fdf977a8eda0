#pragma once
// A window without a toolkit for the presenter's tests: it keeps texts, states and rows,
// answers dialogs from prepared answers, and queues posted tasks until the test runs them.
#include <deque>
#include <map>
#include <mutex>

#include "ui/core/main_view.h"

class FakeMainView : public MainView {
public:
    std::map<Control, std::string> texts;
    std::map<Control, bool> enabled;
    std::map<Control, std::vector<ListRow>> rows;
    std::optional<std::size_t> selected;  // of 超级列表框_文件
    bool byNumber = false;

    std::optional<std::vector<std::string>> filesAnswer;  // nothing: the dialog is cancelled
    std::optional<std::string> directoryAnswer;
    std::vector<OpenFilesRequest> fileRequests;
    std::vector<std::string> directoryTitles;
    std::vector<std::string> directoryStarts;

    std::string text(Control c) const override {
        auto it = texts.find(c);
        return it == texts.end() ? std::string() : it->second;
    }
    void setText(Control c, const std::string& t) override { texts[c] = t; }
    bool isChecked(Control c) const override {
        return c == Control::单选框_按序号 ? byNumber : c == Control::单选框_按后缀 ? !byNumber : false;
    }
    void setEnabled(Control c, bool e) override { enabled[c] = e; }
    bool isEnabled(Control c) const {
        auto it = enabled.find(c);
        return it == enabled.end() || it->second;
    }

    void setRows(Control list, const std::vector<ListRow>& r) override {
        rows[list] = r;
        if (list == Control::超级列表框_文件) selected.reset();
    }
    void appendRows(Control list, const std::vector<ListRow>& r) override {
        auto& v = rows[list];
        v.insert(v.end(), r.begin(), r.end());
    }
    void updateRows(Control list, std::size_t first, const std::vector<ListRow>& r) override {
        auto& v = rows[list];
        for (std::size_t i = 0; i < r.size() && first + i < v.size(); ++i) v[first + i] = r[i];
    }
    std::optional<std::size_t> selectedRow(Control list) const override {
        return list == Control::超级列表框_文件 ? selected : std::nullopt;
    }

    std::vector<std::string> askForFiles(const OpenFilesRequest& request) override {
        fileRequests.push_back(request);
        return filesAnswer.value_or(std::vector<std::string>{});
    }
    std::optional<std::string> askForDirectory(const std::string& title, const std::string& start) override {
        directoryTitles.push_back(title);
        directoryStarts.push_back(start);
        return directoryAnswer;
    }

    void postStatus(const std::string& t) override {
        post([this, t] { texts[Control::标签_状态] = t; });
    }
    void post(std::function<void()> task) override {
        std::lock_guard lock(mutex_);
        tasks_.push_back(std::move(task));
    }

    std::size_t pending() {
        std::lock_guard lock(mutex_);
        return tasks_.size();
    }
    // Runs one queued task, as the window's event loop would; false when none waits.
    bool runOne() {
        std::function<void()> task;
        {
            std::lock_guard lock(mutex_);
            if (tasks_.empty()) return false;
            task = std::move(tasks_.front());
            tasks_.pop_front();
        }
        task();
        return true;
    }
    void runAll() {
        while (runOne()) {
        }
    }

    std::vector<std::string> paths(Control list) const {
        std::vector<std::string> out;
        auto it = rows.find(list);
        if (it != rows.end())
            for (const auto& r : it->second) out.push_back(r.path);
        return out;
    }
    // Each row's "结果", with "✗ " before it when the row is marked failed.
    std::vector<std::string> results(Control list) const {
        std::vector<std::string> out;
        auto it = rows.find(list);
        if (it != rows.end())
            for (const auto& r : it->second) out.push_back((r.failed ? "✗ " : "") + r.result);
        return out;
    }
    std::vector<std::string> numbers(Control list) const {
        std::vector<std::string> out;
        auto it = rows.find(list);
        if (it != rows.end())
            for (const auto& r : it->second) out.push_back(r.number);
        return out;
    }

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> tasks_;
};
