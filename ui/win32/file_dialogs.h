#pragma once
// The two dialogs the window opens for the presenter, behind an interface so that a test
// can answer them in place of the user.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "ui/core/main_view.h"

namespace win32ui {

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // As MainView::askForFiles and askForDirectory say; `owner` is the window.
    virtual std::vector<std::string> askForFiles(HWND owner, const OpenFilesRequest& request) = 0;
    virtual std::optional<std::string> askForDirectory(HWND owner, const std::string& title,
                                                       const std::string& startDirectory) = 0;
};

// The system's open-file dialog (several files) and folder browser (with an edit field).
class SystemFileDialogs final : public FileDialogs {
public:
    std::vector<std::string> askForFiles(HWND owner, const OpenFilesRequest& request) override;
    std::optional<std::string> askForDirectory(HWND owner, const std::string& title,
                                               const std::string& startDirectory) override;
};

}  // namespace win32ui
