#pragma once
// The program's UTF-8 text in and out of windows, through the wide-character API only.
#include <windows.h>

#include <string>
#include <string_view>

namespace win32ui {

std::wstring wide(std::string_view utf8);
std::string utf8(std::wstring_view wide);

// The whole text of a window (an edit box's contents, a label's or button's caption).
std::string windowText(HWND window);
void setWindowText(HWND window, std::string_view utf8);

}  // namespace win32ui
