#include "ui/win32/control_factory.h"

#include <commctrl.h>

#include "ui/core/settings_file.h"
#include "ui/win32/digit_filter.h"
#include "ui/win32/page_tabs.h"
#include "ui/win32/report_list.h"
#include "ui/win32/window_text.h"

namespace win32ui {
namespace {

const wchar_t* classOf(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label: return L"STATIC";
    case ControlKind::EditBox:
    case ControlKind::MultiLineEdit: return L"EDIT";
    case ControlKind::Button:
    case ControlKind::RadioBox:
    case ControlKind::GroupBox: return L"BUTTON";
    case ControlKind::ListView: return WC_LISTVIEWW;
    }
    return L"STATIC";
}

}  // namespace

RECT placeInParent(const ControlSpec& spec) {
    int left = spec.left, top = spec.top;
    if (spec.group) {
        const ControlSpec& group = specOf(*spec.group);
        left += group.left;
        top += group.top;
    }
    if (spec.page != 0) {
        left -= PageTabs::kPageOrigin.x;
        top -= PageTabs::kPageOrigin.y;
    }
    return RECT{left, top, left + spec.width, top + spec.height};
}

DWORD styleOf(const ControlSpec& spec) {
    DWORD style = WS_CHILD | WS_VISIBLE;
    if (spec.disabledAtStart) style |= WS_DISABLED;
    switch (spec.kind) {
    case ControlKind::Label:
        // No prefix: an "&" in a status text is a file name's, not a shortcut mark.
        style |= SS_NOPREFIX | (spec.control == Control::标签3 ? SS_LEFT : SS_LEFTNOWORDWRAP);
        break;
    case ControlKind::EditBox:
        style |= WS_TABSTOP | WS_GROUP | ES_LEFT | ES_AUTOHSCROLL;
        break;
    case ControlKind::MultiLineEdit:
        // No ES_AUTOHSCROLL: long lines wrap at the right edge.
        style |= WS_TABSTOP | WS_GROUP | ES_LEFT | ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
        break;
    case ControlKind::Button:
        style |= WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER;
        break;
    case ControlKind::RadioBox:
        // The first radio button made opens the group; the button after the second closes it.
        style |= WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE;
        if (spec.control == Control::单选框_按序号) style |= WS_GROUP;
        break;
    case ControlKind::GroupBox:
        style |= BS_GROUPBOX;
        break;
    case ControlKind::ListView:
        style |= kReportListStyle;
        break;
    }
    return style;
}

DWORD extendedStyleOf(const ControlSpec& spec) {
    switch (spec.kind) {
    case ControlKind::EditBox:
    case ControlKind::MultiLineEdit:
    case ControlKind::ListView: return WS_EX_CLIENTEDGE;
    default: return 0;
    }
}

HWND createControl(const ControlSpec& spec, HWND parent, int id, const style::PaintTools& tools) {
    const RECT place = placeInParent(spec);
    std::wstring caption = spec.kind == ControlKind::Label ? wide(withCrLf(spec.caption)) : wide(spec.caption);
    HWND h = ::CreateWindowExW(extendedStyleOf(spec), classOf(spec.kind), caption.c_str(), styleOf(spec), place.left,
                               place.top, place.right - place.left, place.bottom - place.top, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    HFONT font = spec.kind == ControlKind::MultiLineEdit ? tools.deleteListFont() : style::PaintTools::guiFont();
    ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (spec.kind == ControlKind::EditBox || spec.kind == ControlKind::MultiLineEdit) {
        ::SendMessageW(h, EM_SETLIMITTEXT, 0, 0);  // no length limit
    }
    if (spec.control == Control::编辑框_序号) installDigitFilter(h);
    if (spec.control == Control::单选框_按后缀) ::SendMessageW(h, BM_SETCHECK, BST_CHECKED, 0);
    return h;
}

}  // namespace win32ui
