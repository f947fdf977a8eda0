#pragma once
// The digit filter of 编辑框_序号: of the characters the user types, only "0" to "9" and
// "-" go in. Control keys (Backspace, Ctrl+V and the like) pass, and so do pasted text and
// text the program sets, which never arrive as typed characters.
#include <windows.h>

namespace win32ui {

bool digitFilterAccepts(wchar_t typed);
void installDigitFilter(HWND edit);

}  // namespace win32ui
