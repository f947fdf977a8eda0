#pragma once
// Every control of the window's pages and of the window itself, in the order they are
// made. Win32 takes the Tab order from the order of creation, so within each page the
// rows follow the Tab order of the layout, group boxes before the controls they frame.
#include <optional>
#include <span>
#include <string_view>

#include "ui/core/control.h"

namespace win32ui {

enum class ControlKind { Label, EditBox, MultiLineEdit, Button, RadioBox, GroupBox, ListView };

struct ControlSpec {
    Control control;
    ControlKind kind;
    int page;                     // 1 to 4; 0: directly on the window
    std::optional<Control> group; // the group box the position is measured from
    int left, top, width, height; // from the parent: the window, the tab control or the group box
    std::string_view caption;
    bool disabledAtStart = false;
};

// The tab control itself is made apart from these (see PageTabs).
std::span<const ControlSpec> controlLayout();
const ControlSpec& specOf(Control control);

// The tab control's place on the window and the titles of its pages, in order.
inline constexpr int kTabsLeft = 7, kTabsTop = 8, kTabsWidth = 560, kTabsHeight = 380;
inline constexpr int kPageCount = 4;
std::string_view pageTitle(int index);

}  // namespace win32ui
