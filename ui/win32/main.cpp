// pimingbao.exe: the window. `--screenshot DIR` renders every page to DIR/page-N.png and exits.
#include <windows.h>

#include <filesystem>
#include <exception>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "archiver/driver/working_directory.h"
#include "platform/paths.h"
#include "platform/program_arguments.h"
#include "ui/core/job_starter.h"
#include "ui/core/settings_file.h"
#include "ui/core/worker_job_starter.h"
#include "ui/win32/file_dialogs.h"
#include "ui/win32/main_window.h"
#include "ui/win32/screenshot.h"
#include "ui/win32/window_text.h"

namespace {

// The value after `option` on the command line, if any.
std::optional<std::string> optionValue(const std::vector<std::string>& arguments, const std::string& option) {
    for (std::size_t i = 1; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == option) return arguments[i + 1];
    }
    return std::nullopt;
}

// A GUI program has no console to write to; a failure shows in a message box instead.
void report(const std::string& problem) {
    ::MessageBoxW(nullptr, win32ui::wide(problem).c_str(), L"pimingbao", MB_OK | MB_ICONERROR);
}

int screenshots(const std::string& dir) {
    // Pictures of the window as it opens: settings from an empty folder, saved nowhere kept.
    std::error_code ec;
    const auto scratch = std::filesystem::temp_directory_path(ec) /
                         ("pimingbao-screenshot-" + std::to_string(::GetCurrentProcessId()));
    std::filesystem::create_directories(scratch, ec);
    std::string error;
    {
        SettingsFile settings(SettingsFile::Places{scratch, {}, {}});
        IdleJobStarter jobs;
        win32ui::SystemFileDialogs dialogs;
        win32ui::MainWindow window(jobs, settings, dialogs);
        window.show(SW_SHOWNORMAL);
        error = win32ui::saveScreenshots(window, platform::pathFromUtf8(dir));
    }
    std::filesystem::remove_all(scratch, ec);
    if (!error.empty()) report("pimingbao: " + error);
    return error.empty() ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    try {
        // The arguments as the wide command line holds them, never through a narrow code page.
        const std::vector<std::string> arguments = platform::programArguments(0, nullptr);
        if (auto dir = optionValue(arguments, "--screenshot")) return screenshots(*dir);

        // The archiver and its exchange files live in the working directory, chosen once here.
        WorkerJobStarter jobs(WorkerJobStarter::archiverSessions(enterWorkingDirectory()));
        const SettingsFile settings = SettingsFile::forThisProgram();
        win32ui::SystemFileDialogs dialogs;
        win32ui::MainWindow window(jobs, settings, dialogs);
        window.show(show);
        return window.runMessageLoop();
    } catch (const std::exception& e) {
        report(std::string("pimingbao: ") + e.what());
        return 1;
    }
}
