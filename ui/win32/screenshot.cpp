#include "ui/win32/screenshot.h"

#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"
#include "ui/core/example_results.h"
#include "ui/win32/main_window.h"
#include "ui/win32/png_encoder.h"
#include "ui/win32/window_capture.h"

namespace win32ui {
namespace {

std::string write(const std::filesystem::path& file, const std::string& bytes) {
    auto out = platform::AtomicFileWriter::create(file);
    if (!out) return out.message();
    if (auto s = out->append(bytes); !s) return s.message();
    if (auto s = out->commit(); !s) return s.message();
    return {};
}

// Lets the window draw what the page change asked for.
void settle(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// The window's client area into `file`; an empty text, else what failed.
std::string capture(HWND window, const std::filesystem::path& file) {
    settle(window);
    const RgbImage image = captureClientArea(window);
    if (image.pixels.empty()) return "cannot capture the window for " + platform::utf8FromPath(file);
    if (std::string failed = write(file, encodePng(image)); !failed.empty()) {
        return "cannot write " + platform::utf8FromPath(file) + ": " + failed;
    }
    return {};
}

}  // namespace

std::string saveScreenshots(MainWindow& window, const std::filesystem::path& directory) {
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec) return "cannot create the folder " + platform::utf8FromPath(directory) + ": " + ec.message();
    ::SetForegroundWindow(window.hwnd());
    PageTabs& pages = window.pages();
    const int current = pages.current();
    std::string error;
    for (int i = 0; i < kPageCount && error.empty(); ++i) {
        pages.select(i);
        error = capture(window.hwnd(), directory / ("page-" + std::to_string(i + 1) + ".png"));
    }
    if (error.empty() && window.presenter().archives().count() == 0) {
        // The first page again, its list showing what a clean job did with each archive;
        // an empty list only, so that no row of the user's is hidden behind the examples.
        pages.select(0);
        window.setRows(Control::超级列表框_文件, exampleResultRows("D:\\下载\\"));
        error = capture(window.hwnd(), directory / "results.png");
        window.setRows(Control::超级列表框_文件, {});
    }
    pages.select(current);
    return error;
}

}  // namespace win32ui
