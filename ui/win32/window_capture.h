#pragma once
// A picture of a window's client area as it is on the screen, the way the Qt window's
// pictures show it: the title bar belongs to whatever draws the frames there.
#include <windows.h>

#include "ui/win32/rgb_image.h"

namespace win32ui {

RgbImage captureClientArea(HWND window);

}  // namespace win32ui
