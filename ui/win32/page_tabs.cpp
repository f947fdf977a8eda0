#include "ui/win32/page_tabs.h"

#include <commctrl.h>

#include "ui/win32/page_window.h"
#include "ui/win32/window_text.h"

namespace win32ui {
namespace {

void line(HDC dc, int x1, int y1, int x2, int y2) {
    ::MoveToEx(dc, x1, y1, nullptr);
    ::LineTo(dc, x2, y2);
}

}  // namespace

PageTabs::PageTabs(HWND window, int id, const style::PaintTools& tools) : tools_(tools) {
    // TCS_OWNERDRAWFIXED keeps the system from drawing titles of its own; TCS_FOCUSNEVER
    // because the tab control takes no part in keyboard navigation.
    tabs_ = ::CreateWindowExW(WS_EX_CONTROLPARENT, WC_TABCONTROLW, L"",
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | TCS_OWNERDRAWFIXED |
                                  TCS_FIXEDWIDTH | TCS_FOCUSNEVER,
                              kTabsLeft, kTabsTop, kTabsWidth, kTabsHeight, window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    ::SendMessageW(tabs_, WM_SETFONT, reinterpret_cast<WPARAM>(tools_.tabFont()), FALSE);
    ::SendMessageW(tabs_, TCM_SETITEMSIZE, 0, MAKELPARAM(kTabWidth, kTabHeight));
    const RECT area{kPageOrigin.x, kPageOrigin.y, kTabsWidth - kPageOrigin.x, kTabsHeight - 2};
    for (int i = 0; i < kPageCount; ++i) {
        auto& title = titles_[static_cast<std::size_t>(i)];
        title = wide(pageTitle(i));
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = title.data();
        ::SendMessageW(tabs_, TCM_INSERTITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        pages_[static_cast<std::size_t>(i)] = createPageWindow(tabs_, area, tools_.skyBlue());
    }
    ::SetWindowSubclass(tabs_, subclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
    select(0);
}

int PageTabs::current() const { return static_cast<int>(::SendMessageW(tabs_, TCM_GETCURSEL, 0, 0)); }

void PageTabs::select(int index) {
    ::SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    showCurrentPage();
}

void PageTabs::showCurrentPage() {
    const int shown = current();
    // The new page first, so the area is never left without one.
    for (int i = 0; i < kPageCount; ++i) {
        if (i == shown) ::ShowWindow(page(i), SW_SHOW);
    }
    for (int i = 0; i < kPageCount; ++i) {
        if (i != shown) ::ShowWindow(page(i), SW_HIDE);
    }
    ::InvalidateRect(tabs_, nullptr, FALSE);
}

COLORREF PageTabs::titleColour(int index) const {
    if (!::IsWindowEnabled(tabs_)) return style::kGrey;
    return index == current() || index == hovered_ ? style::kRed : style::kYellow;
}

RECT PageTabs::tabRect(int index) const {
    RECT item{};
    ::SendMessageW(tabs_, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    RECT r{item.left, 0, item.right, kTabHeight};
    if (index != current()) r.top += 2;
    return r;
}

void PageTabs::paint(HDC dc) const {
    RECT client;
    ::GetClientRect(tabs_, &client);
    ::FillRect(dc, &client, tools_.skyBlue());

    HPEN pink = ::CreatePen(PS_SOLID, 1, style::kPink);
    HPEN sky = ::CreatePen(PS_SOLID, 1, style::kSkyBlue);
    HGDIOBJ oldPen = ::SelectObject(dc, pink);
    HGDIOBJ oldFont = ::SelectObject(dc, tools_.tabFont());
    ::SetBkMode(dc, TRANSPARENT);

    // The pane's outline, open under the selected tab.
    const int right = client.right - 1, bottom = client.bottom - 1;
    line(dc, 0, kTabHeight, right, kTabHeight);
    line(dc, right, kTabHeight, right, bottom);
    line(dc, right, bottom, 0, bottom);
    line(dc, 0, bottom, 0, kTabHeight);

    const int selected = current();
    for (int i = 0; i < kPageCount; ++i) {
        RECT r = tabRect(i);
        const int l = r.left, t = r.top, rr = r.right - 1;
        ::SelectObject(dc, pink);
        line(dc, l, kTabHeight, l, t);
        line(dc, l, t, rr, t);
        line(dc, rr, t, rr, kTabHeight + 1);
        if (i == selected) {
            ::SelectObject(dc, sky);
            line(dc, l + 1, kTabHeight, rr, kTabHeight);
        }
        ::SetTextColor(dc, titleColour(i));
        const std::wstring& title = titles_[static_cast<std::size_t>(i)];
        ::DrawTextW(dc, title.c_str(), static_cast<int>(title.size()), &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::SelectObject(dc, oldFont);
    ::SelectObject(dc, oldPen);
    ::DeleteObject(pink);
    ::DeleteObject(sky);
}

void PageTabs::setHovered(int index) {
    if (index == hovered_) return;
    hovered_ = index;
    ::InvalidateRect(tabs_, nullptr, FALSE);
}

LRESULT CALLBACK PageTabs::subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR self) {
    auto* tabs = reinterpret_cast<PageTabs*>(self);
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = ::BeginPaint(hwnd, &ps);
        tabs->paint(dc);
        ::EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        tabs->paint(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_MOUSEMOVE: {
        TCHITTESTINFO hit{};
        hit.pt = POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        tabs->setHovered(static_cast<int>(::SendMessageW(hwnd, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit))));
        if (!tabs->trackingLeave_) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, hwnd, 0};
            tabs->trackingLeave_ = ::TrackMouseEvent(&track) != FALSE;
        }
        break;
    }
    case WM_MOUSELEAVE:
        tabs->trackingLeave_ = false;
        tabs->setHovered(-1);
        break;
    case WM_ENABLE:
        ::InvalidateRect(hwnd, nullptr, FALSE);
        break;
    case WM_NCDESTROY:
        ::RemoveWindowSubclass(hwnd, subclassProc, 1);
        break;
    default:
        break;
    }
    return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace win32ui
