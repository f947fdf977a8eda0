#include "ui/win32/digit_filter.h"

#include <commctrl.h>

namespace win32ui {
namespace {

LRESULT CALLBACK filterProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    // An input method hands its characters over as WM_IME_CHAR; they are typed all the same.
    case WM_CHAR:
    case WM_IME_CHAR:
        if (!digitFilterAccepts(static_cast<wchar_t>(wParam))) return 0;
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, filterProc, 1);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

bool digitFilterAccepts(wchar_t typed) { return typed < 32 || (typed >= L'0' && typed <= L'9') || typed == L'-'; }

void installDigitFilter(HWND edit) { ::SetWindowSubclass(edit, filterProc, 1, 0); }

}  // namespace win32ui
