#pragma once
// One page of the tab control: a plain sky-blue child window holding that page's controls.
// The controls tell their parent about clicks, list changes and the colours to draw in;
// a page passes all of that on to the top-level window, which answers for every control.
#include <windows.h>

namespace win32ui {

HWND createPageWindow(HWND tabs, const RECT& area, HBRUSH fill);

}  // namespace win32ui
