#pragma once
// Makes one control of the layout on its page (or on the window) with its kind's window
// class, styles, font and initial state. A control inside a group box is a sibling of the
// box on the same page, placed at the group's offset plus its own: Win32 group boxes are
// frames, not containers, and would swallow the messages of children of their own.
#include <windows.h>

#include "ui/win32/control_layout.h"
#include "ui/win32/window_style.h"

namespace win32ui {

// The control's place in its parent window: the window itself, or a page of the tab
// control, whose origin lies at PageTabs::kPageOrigin in the tab control.
RECT placeInParent(const ControlSpec& spec);
DWORD styleOf(const ControlSpec& spec);
DWORD extendedStyleOf(const ControlSpec& spec);

HWND createControl(const ControlSpec& spec, HWND parent, int id, const style::PaintTools& tools);

}  // namespace win32ui
