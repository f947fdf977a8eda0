#include "ui/win32/screenshot.h"

#include <system_error>

#include "platform/file.h"
#include "platform/paths.h"
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
        settle(window.hwnd());
        const RgbImage image = captureClientArea(window.hwnd());
        const auto file = directory / ("page-" + std::to_string(i + 1) + ".png");
        if (image.pixels.empty()) {
            error = "cannot capture the window for " + platform::utf8FromPath(file);
        } else if (std::string failed = write(file, encodePng(image)); !failed.empty()) {
            error = "cannot write " + platform::utf8FromPath(file) + ": " + failed;
        }
    }
    pages.select(current);
    return error;
}

}  // namespace win32ui
