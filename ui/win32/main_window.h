#pragma once
// MainWindow: the program's one top-level window in plain Win32. It makes the tab control,
// the pages and every control of the layout, answers the colour messages of all of them
// and forwards every event of the event table to the presenter, which it serves as its view.
#include <windows.h>

#include <map>
#include <memory>
#include <optional>

#include "ui/core/main_presenter.h"
#include "ui/core/main_view.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/page_tabs.h"
#include "ui/win32/report_list.h"
#include "ui/win32/task_queue.h"
#include "ui/win32/window_style.h"

namespace win32ui {

class MainWindow final : public MainView {
public:
    static constexpr int kOuterWidth = 581;
    static constexpr int kOuterHeight = 453;
    // A title bar with system menu and minimise button, a thin frame that does not size.
    static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

    // Builds the window hidden, in its initial state and centred, then runs the created handler.
    MainWindow(JobStarter& jobs, const SettingsFile& settings, FileDialogs& dialogs);
    // Destroys the window if it is still there, which runs the destroyed handler.
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND control(Control control) const;
    PageTabs& pages() { return *pages_; }
    const ReportList& list(Control list) const;
    MainPresenter& presenter() { return presenter_; }

    void show(int how = SW_SHOWNORMAL);
    // Handles Tab and the other dialog keys for a message taken from the queue; true when done.
    bool handleDialogKeys(MSG& message);
    // Runs the thread's message loop until the window has been closed; the exit code.
    int runMessageLoop();

    std::string text(Control control) const override;
    void setText(Control control, const std::string& text) override;
    bool isChecked(Control control) const override;
    void setEnabled(Control control, bool enabled) override;
    void setRows(Control list, const std::vector<ListRow>& rows) override;
    void appendRows(Control list, const std::vector<ListRow>& rows) override;
    void updateRows(Control list, std::size_t first, const std::vector<ListRow>& rows) override;
    std::optional<std::size_t> selectedRow(Control list) const override;
    std::vector<std::string> askForFiles(const OpenFilesRequest& request) override;
    std::optional<std::string> askForDirectory(const std::string& title, const std::string& startDirectory) override;
    void postStatus(const std::string& text) override;
    void post(std::function<void()> task) override;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void onCommand(int id, int code);
    LRESULT onNotify(NMHDR& header);
    LRESULT colours(HDC dc, HWND from);
    void onPageChanged();
    ReportList* listFor(Control control);

    style::PaintTools tools_;
    FileDialogs& dialogs_;
    TaskQueue tasks_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<PageTabs> pages_;
    std::map<Control, HWND> controls_;
    std::map<HWND, Control> names_;
    ReportList files_;
    ReportList renames_;
    HWND lastFocus_ = nullptr;
    bool loopRunning_ = false;
    MainPresenter presenter_;
};

}  // namespace win32ui
