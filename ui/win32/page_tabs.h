#pragma once
// 高级选择夹1: a WC_TABCONTROL whose tabs and background this class draws itself, in the
// window's colours (the system would draw 3-D edges in its own colours), with one page
// window per tab. The title under the mouse pointer turns red like the selected one.
#include <windows.h>

#include <array>
#include <string>

#include "ui/win32/control_layout.h"
#include "ui/win32/window_style.h"

namespace win32ui {

class PageTabs {
public:
    static constexpr int kTabWidth = 64;
    static constexpr int kTabHeight = 20;
    // Where the pages sit inside the tab control: within the pink pane outline, below the tabs.
    static constexpr POINT kPageOrigin{2, kTabHeight + 2};

    PageTabs(HWND window, int id, const style::PaintTools& tools);
    PageTabs(const PageTabs&) = delete;
    PageTabs& operator=(const PageTabs&) = delete;

    HWND hwnd() const { return tabs_; }
    HWND page(int index) const { return pages_.at(static_cast<std::size_t>(index)); }
    int current() const;
    // Selects a page and shows it, as a click on its tab does.
    void select(int index);
    // The tab control has changed its selection by itself (TCN_SELCHANGE).
    void showCurrentPage();

    int hovered() const { return hovered_; }
    COLORREF titleColour(int index) const;
    // The tab's outline as drawn; the selected tab stands 2 pixels taller.
    RECT tabRect(int index) const;

private:
    static LRESULT CALLBACK subclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR self);
    void paint(HDC dc) const;
    void setHovered(int index);

    const style::PaintTools& tools_;
    HWND tabs_;
    std::array<HWND, kPageCount> pages_{};
    std::array<std::wstring, kPageCount> titles_;
    int hovered_ = -1;
    bool trackingLeave_ = false;
};

}  // namespace win32ui
