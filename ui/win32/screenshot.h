#pragma once
// Pictures of the window for the documentation: each page in turn, DIR/page-N.png, and for
// a window whose list is empty DIR/results.png: the first page with example rows in "结果".
#include <filesystem>
#include <string>

namespace win32ui {

class MainWindow;

// An empty text when every picture was written, else what failed.
std::string saveScreenshots(MainWindow& window, const std::filesystem::path& directory);

}  // namespace win32ui
