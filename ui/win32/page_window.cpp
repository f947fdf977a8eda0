#include "ui/win32/page_window.h"

namespace win32ui {
namespace {

constexpr wchar_t kClassName[] = L"PimingbaoPage";

LRESULT CALLBACK pageProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_NCCREATE: {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case WM_ERASEBKGND: {
        RECT area;
        ::GetClientRect(hwnd, &area);
        ::FillRect(reinterpret_cast<HDC>(wParam), &area, reinterpret_cast<HBRUSH>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)));
        return 1;
    }
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
        return ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), message, wParam, lParam);
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

void registerOnce(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(instance, kClassName, &existing)) return;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = pageProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
}

}  // namespace

HWND createPageWindow(HWND tabs, const RECT& area, HBRUSH fill) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    registerOnce(instance);
    // No WS_CLIPCHILDREN: a group box paints only its frame, so the page must fill the
    // group's inside itself.
    return ::CreateWindowExW(WS_EX_CONTROLPARENT, kClassName, L"", WS_CHILD | WS_CLIPSIBLINGS, area.left, area.top,
                             area.right - area.left, area.bottom - area.top, tabs, nullptr, instance, fill);
}

}  // namespace win32ui
