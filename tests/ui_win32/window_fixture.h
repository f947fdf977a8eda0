#pragma once
// A real MainWindow, shown, over settings in a fresh folder, a job starter that only
// records and dialogs that answer as the test says.
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/temp_dir.h"
#include "tests/ui_core/recording_job_starter.h"
#include "ui/core/settings_file.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/main_window.h"

// Whether windows can be made at all: not under Wine without a display.
bool desktopAvailable();

#define SKIP_WITHOUT_DESKTOP()                                                \
    do {                                                                      \
        if (!desktopAvailable()) GTEST_SKIP() << "no desktop to open windows on"; \
    } while (0)

struct FakeDialogs : win32ui::FileDialogs {
    std::vector<std::string> files;         // the next answer of askForFiles
    std::optional<std::string> directory;   // the next answer of askForDirectory
    std::function<void()> whileOpen;        // runs while "the dialog is open"
    std::vector<OpenFilesRequest> fileRequests;
    std::vector<std::pair<std::string, std::string>> directoryRequests;  // title, start
    std::vector<HWND> owners;

    std::vector<std::string> askForFiles(HWND owner, const OpenFilesRequest& request) override {
        owners.push_back(owner);
        fileRequests.push_back(request);
        if (whileOpen) whileOpen();
        return files;
    }
    std::optional<std::string> askForDirectory(HWND owner, const std::string& title, const std::string& start) override {
        owners.push_back(owner);
        directoryRequests.emplace_back(title, start);
        if (whileOpen) whileOpen();
        return directory;
    }
};

struct WindowTest : ::testing::Test {
    testsupport::TempDir tmp;
    SettingsFile settings{SettingsFile::Places{tmp.path(), {}, [](const std::filesystem::path&) { return true; }}};
    RecordingJobStarter jobs;
    FakeDialogs dialogs;
    std::unique_ptr<win32ui::MainWindow> window;

    void SetUp() override {
        SKIP_WITHOUT_DESKTOP();
        window = std::make_unique<win32ui::MainWindow>(jobs, settings, dialogs);
        window->show();
        pump();
    }

    HWND find(Control c) const { return window->control(c); }
    // Handles what is waiting, as the message loop would, dialog keys included.
    void pump() const;
    // Pumps until `done` holds or the time is up; whether it holds.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(10)) const;
    void click(Control c) const;
    // Characters as a keyboard sends them, one WM_CHAR each.
    void type(Control c, std::wstring_view text, UINT message = WM_CHAR) const;
    void showPage(int index) const;
    std::string textOf(Control c) const;
};

std::vector<std::string> paths(const std::vector<ListRow>& rows);
std::vector<std::string> numbers(const std::vector<ListRow>& rows);
