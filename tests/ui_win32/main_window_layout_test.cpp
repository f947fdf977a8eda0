// The window as it opens: geometry, kinds, captions, styles, initial states, fonts, colours
// and Tab order of every control.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cwctype>

#include "tests/ui_win32/window_fixture.h"
#include "ui/win32/page_tabs.h"
#include "ui/win32/resource_ids.h"
#include "ui/win32/window_capture.h"
#include "ui/win32/window_style.h"
#include "ui/win32/window_text.h"

namespace {

using win32ui::MainWindow;
using namespace win32ui::style;

struct Row {
    Control control;
    const wchar_t* windowClass;
    int page;                      // 0: directly on the window
    std::optional<Control> group;  // the group box the position is measured from
    int left, top, width, height;
    const char* caption;           // null: no caption to compare
};

// The window layout; positions are measured from the window's client area, the tab control
// for a page's controls, or the group box.
const Row kLayout[] = {
    {Control::标签_状态, L"Static", 0, {}, 13, 398, 243, 18, ""},
    {Control::标签1, L"Static", 1, {}, 10, 33, 32, 20, "目录："},
    {Control::编辑框_路径, L"Edit", 1, {}, 47, 33, 260, 20, ""},
    {Control::按钮_浏览, L"Button", 1, {}, 312, 33, 55, 20, "浏览..."},
    {Control::按钮_添加, L"Button", 1, {}, 372, 33, 55, 20, "添加"},
    {Control::按钮_删除, L"Button", 1, {}, 432, 33, 55, 20, "删除"},
    {Control::按钮_清空, L"Button", 1, {}, 495, 33, 55, 20, "清空"},
    {Control::超级列表框_文件, WC_LISTVIEWW, 1, {}, 10, 61, 540, 310, nullptr},
    {Control::单选框_按后缀, L"Button", 2, {}, 16, 39, 56, 20, "按后缀"},
    {Control::分组框1, L"Button", 2, {}, 78, 25, 112, 40, ""},
    {Control::标签4, L"Static", 2, Control::分组框1, 8, 13, 34, 20, "后缀："},
    {Control::编辑框_后缀, L"Edit", 2, Control::分组框1, 49, 13, 55, 20, ""},
    {Control::单选框_按序号, L"Button", 2, {}, 196, 39, 56, 20, "按序号"},
    {Control::分组框2, L"Button", 2, {}, 258, 25, 222, 40, ""},
    {Control::标签2, L"Static", 2, Control::分组框2, 8, 13, 34, 20, "前缀："},
    {Control::编辑框_前缀, L"Edit", 2, Control::分组框2, 46, 13, 40, 20, ""},
    {Control::标签5, L"Static", 2, Control::分组框2, 90, 13, 60, 20, "起始序号："},
    {Control::编辑框_序号, L"Edit", 2, Control::分组框2, 154, 13, 60, 20, ""},
    {Control::按钮2, L"Button", 2, {}, 494, 39, 56, 20, "开始更名"},
    {Control::超级列表框_更名, WC_LISTVIEWW, 2, {}, 10, 72, 540, 297, nullptr},
    {Control::标签6, L"Static", 3, {}, 10, 30, 168, 20, "需要删除的文件名(每行一个)："},
    {Control::按钮_删除指定文件, L"Button", 3, {}, 496, 30, 56, 20, "开始删除"},
    {Control::编辑框1, L"Edit", 3, {}, 10, 55, 540, 315, ""},
    {Control::标签3, L"Static", 4, {}, 9, 33, 540, 335, nullptr},
};

std::wstring classOf(HWND h) {
    wchar_t name[64] = {};
    ::GetClassNameW(h, name, 64);
    return name;
}

bool sameClass(const std::wstring& a, const wchar_t* b) {
    std::wstring x = a, y = b;
    for (auto& c : x) c = static_cast<wchar_t>(std::towlower(c));
    for (auto& c : y) c = static_cast<wchar_t>(std::towlower(c));
    return x == y;
}

// The top-left corner of `h` in the client coordinates of `reference`.
POINT origin(HWND h, HWND reference) {
    RECT r;
    ::GetWindowRect(h, &r);
    POINT p{r.left, r.top};
    ::ScreenToClient(reference, &p);
    return p;
}

SIZE sizeOf(HWND h) {
    RECT r;
    ::GetWindowRect(h, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

LONG_PTR styleOf(HWND h) { return ::GetWindowLongPtrW(h, GWL_STYLE); }
LONG_PTR exStyleOf(HWND h) { return ::GetWindowLongPtrW(h, GWL_EXSTYLE); }

LOGFONTW fontOf(HWND h) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

TEST_F(WindowTest, EveryControlHasItsKindPlaceSizeAndCaption) {
    HWND tabs = find(Control::高级选择夹1);
    EXPECT_TRUE(sameClass(classOf(tabs), WC_TABCONTROLW));
    EXPECT_EQ(::GetParent(tabs), window->hwnd());
    EXPECT_EQ(origin(tabs, window->hwnd()).x, 7);
    EXPECT_EQ(origin(tabs, window->hwnd()).y, 8);
    EXPECT_EQ(sizeOf(tabs).cx, 560);
    EXPECT_EQ(sizeOf(tabs).cy, 380);
    for (const Row& row : kLayout) {
        SCOPED_TRACE(std::string(controlName(row.control)));
        HWND h = find(row.control);
        ASSERT_NE(h, nullptr);
        EXPECT_TRUE(sameClass(classOf(h), row.windowClass)) << win32ui::utf8(classOf(h));
        if (row.page == 0) {
            EXPECT_EQ(::GetParent(h), window->hwnd());
        } else {
            for (int p = 0; p < 4; ++p) EXPECT_EQ(::IsChild(window->pages().page(p), h) != FALSE, p == row.page - 1) << p;
            EXPECT_EQ(::GetParent(::GetParent(h)), tabs);
        }
        HWND reference = row.group ? find(*row.group) : row.page == 0 ? window->hwnd() : tabs;
        const POINT at = row.group ? POINT{origin(h, tabs).x - origin(reference, tabs).x, origin(h, tabs).y - origin(reference, tabs).y}
                                   : origin(h, reference);
        EXPECT_EQ(at.x, row.left);
        EXPECT_EQ(at.y, row.top);
        EXPECT_EQ(sizeOf(h).cx, row.width);
        EXPECT_EQ(sizeOf(h).cy, row.height);
        if (row.caption) {
            EXPECT_EQ(textOf(row.control), row.caption);
        }
    }
    // The help text: 20 lines, CR LF between them.
    const std::string help = textOf(Control::标签3);
    std::size_t breaks = 0;
    for (std::size_t at = help.find("\r\n"); at != std::string::npos; at = help.find("\r\n", at + 2)) ++breaks;
    EXPECT_EQ(breaks, 19u);
    EXPECT_EQ(help.find("*注："), help.rfind("\r\n") + 2);
}

TEST_F(WindowTest, TheWindowHasItsTitleFixedSizeButtonsAndIconAndOpensCentred) {
    EXPECT_EQ(textOf(Control::高级选择夹1), "");
    EXPECT_EQ(win32ui::windowText(window->hwnd()).rfind("星禾批名宝 V3.1 ", 0), 0u);
    RECT outer;
    ::GetWindowRect(window->hwnd(), &outer);
    EXPECT_EQ(outer.right - outer.left, 581);
    EXPECT_EQ(outer.bottom - outer.top, 453);
    EXPECT_EQ(outer.left, (::GetSystemMetrics(SM_CXSCREEN) - 581) / 2);
    EXPECT_EQ(outer.top, (::GetSystemMetrics(SM_CYSCREEN) - 453) / 2);
    const LONG_PTR style = styleOf(window->hwnd());
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    EXPECT_FALSE(exStyleOf(window->hwnd()) & WS_EX_TOPMOST);
    EXPECT_EQ(::GetWindow(window->hwnd(), GW_OWNER), nullptr);  // its own task bar button
    // The system menu keeps its Move item. (Which items are greyed is settled only as the
    // menu opens, from the styles above.)
    HMENU menu = ::GetSystemMenu(window->hwnd(), FALSE);
    EXPECT_NE(::GetMenuState(menu, SC_MOVE, MF_BYCOMMAND), static_cast<UINT>(-1));

    // Everything the controls cover fits in the client area.
    RECT client;
    ::GetClientRect(window->hwnd(), &client);
    EXPECT_GE(client.right, 7 + 560);
    EXPECT_GE(client.bottom, 398 + 18);  // 标签_状态

    EXPECT_NE(::GetClassLongPtrW(window->hwnd(), GCLP_HICON), 0);
    EXPECT_NE(::GetClassLongPtrW(window->hwnd(), GCLP_HICONSM), 0);
}

#pragma pack(push, 2)
struct IconGroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct IconGroup {
    WORD reserved, type, count;
    IconGroupEntry entries[1];
};
#pragma pack(pop)

TEST(WindowIcon, HasSixImagesIn256AndTrueColour) {
    HMODULE self = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(self, MAKEINTRESOURCEW(PIMINGBAO_ICON), MAKEINTRESOURCEW(14 /* RT_GROUP_ICON */));
    ASSERT_NE(found, nullptr);
    const auto* group = static_cast<const IconGroup*>(::LockResource(::LoadResource(self, found)));
    ASSERT_NE(group, nullptr);
    ASSERT_EQ(group->count, 6);
    std::vector<std::pair<int, int>> images;
    for (int i = 0; i < group->count; ++i) images.emplace_back(group->entries[i].width, group->entries[i].bitCount);
    std::sort(images.begin(), images.end());
    EXPECT_EQ(images, (std::vector<std::pair<int, int>>{{16, 8}, {16, 32}, {32, 8}, {32, 32}, {48, 8}, {48, 32}}));
}

TEST_F(WindowTest, OpensOnTheFirstPageWithThreeControlsDisabled) {
    EXPECT_EQ(window->pages().current(), 0);
    for (int p = 0; p < 4; ++p) EXPECT_EQ(::IsWindowVisible(window->pages().page(p)) != FALSE, p == 0) << p;
    for (const Row& row : kLayout) {
        const bool disabled = row.control == Control::按钮_删除 || row.control == Control::标签5 || row.control == Control::编辑框_序号;
        EXPECT_EQ(::IsWindowEnabled(find(row.control)) != FALSE, !disabled) << controlName(row.control);
        EXPECT_TRUE(styleOf(find(row.control)) & WS_VISIBLE) << controlName(row.control);
    }
    EXPECT_TRUE(window->isChecked(Control::单选框_按后缀));
    EXPECT_FALSE(window->isChecked(Control::单选框_按序号));
    for (Control c : {Control::编辑框_路径, Control::编辑框_后缀, Control::编辑框_前缀, Control::编辑框_序号, Control::编辑框1,
                      Control::标签_状态}) {
        EXPECT_EQ(textOf(c), "") << controlName(c);
    }
}

TEST_F(WindowTest, ListsAreReportsWithTheirColumnsInYellowOnBlue) {
    struct ListCase {
        Control list;
        std::vector<int> widths;
    };
    for (const ListCase& c : {ListCase{Control::超级列表框_文件, {40, 260, 210}}, ListCase{Control::超级列表框_更名, {40, 800}}}) {
        SCOPED_TRACE(std::string(controlName(c.list)));
        HWND h = find(c.list);
        const LONG_PTR style = styleOf(h);
        EXPECT_EQ(style & LVS_TYPEMASK, LVS_REPORT);
        EXPECT_TRUE(style & LVS_SINGLESEL);
        EXPECT_TRUE(style & WS_TABSTOP);
        EXPECT_FALSE(style & (LVS_SORTASCENDING | LVS_SORTDESCENDING | LVS_NOCOLUMNHEADER | LVS_EDITLABELS));
        EXPECT_TRUE(exStyleOf(h) & WS_EX_CLIENTEDGE);
        const auto extended = ::SendMessageW(h, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
        EXPECT_TRUE(extended & LVS_EX_GRIDLINES);
        EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
        EXPECT_FALSE(extended & LVS_EX_CHECKBOXES);
        EXPECT_EQ(::SendMessageW(h, LVM_GETTEXTCOLOR, 0, 0), static_cast<LRESULT>(kYellow));
        EXPECT_EQ(::SendMessageW(h, LVM_GETTEXTBKCOLOR, 0, 0), static_cast<LRESULT>(kBlue));
        EXPECT_EQ(::SendMessageW(h, LVM_GETBKCOLOR, 0, 0), static_cast<LRESULT>(kBlue));
        EXPECT_EQ(::SendMessageW(h, LVM_GETITEMCOUNT, 0, 0), 0);
        const char* headers[] = {"序号", "文件路径", "结果"};
        const int columns = static_cast<int>(c.widths.size());
        for (int i = 0; i < columns; ++i) {
            wchar_t text[32] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
            column.pszText = text;
            column.cchTextMax = 32;
            ASSERT_TRUE(::SendMessageW(h, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column)));
            EXPECT_EQ(win32ui::utf8(text), headers[i]);
            EXPECT_EQ(column.cx, c.widths[static_cast<std::size_t>(i)]);
            EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
        }
        LVCOLUMNW past{};
        past.mask = LVCF_WIDTH;
        EXPECT_FALSE(::SendMessageW(h, LVM_GETCOLUMNW, static_cast<WPARAM>(columns), reinterpret_cast<LPARAM>(&past)));
    }
}

TEST_F(WindowTest, EachKindHasItsStyles) {
    for (const Row& row : kLayout) {
        SCOPED_TRACE(std::string(controlName(row.control)));
        HWND h = find(row.control);
        const LONG_PTR style = styleOf(h), ex = exStyleOf(h);
        const std::wstring kind = classOf(h);
        if (sameClass(kind, L"Edit")) {
            EXPECT_TRUE(style & WS_TABSTOP);
            EXPECT_TRUE(ex & WS_EX_CLIENTEDGE);
            EXPECT_FALSE(style & (ES_NOHIDESEL | ES_READONLY | ES_PASSWORD | ES_NUMBER));
            const bool multi = row.control == Control::编辑框1;
            EXPECT_EQ((style & ES_MULTILINE) != 0, multi);
            EXPECT_EQ((style & ES_AUTOHSCROLL) != 0, !multi);  // the delete list wraps instead
            if (multi) {
                EXPECT_TRUE(style & ES_WANTRETURN);
                EXPECT_TRUE(style & ES_AUTOVSCROLL);
                EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));
            }
            EXPECT_GE(::SendMessageW(h, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
        } else if (sameClass(kind, L"Static")) {
            EXPECT_FALSE(style & WS_TABSTOP);
            EXPECT_FALSE(ex & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
            EXPECT_EQ(style & SS_TYPEMASK, row.control == Control::标签3 ? SS_LEFT : SS_LEFTNOWORDWRAP);
            EXPECT_TRUE(style & SS_NOPREFIX);
        } else if (sameClass(kind, L"Button")) {
            const auto type = style & BS_TYPEMASK;
            const std::string_view name = controlName(row.control);
            if (name.starts_with("单选框")) {
                EXPECT_EQ(type, BS_AUTORADIOBUTTON);
                EXPECT_TRUE(style & BS_MULTILINE);
                EXPECT_TRUE(style & WS_TABSTOP);
                // One group: opened by the first one made, closed by the button after them.
                EXPECT_EQ((style & WS_GROUP) != 0, row.control == Control::单选框_按序号);
            } else if (name.starts_with("分组框")) {
                EXPECT_EQ(type, BS_GROUPBOX);
                EXPECT_FALSE(style & WS_TABSTOP);
            } else {
                EXPECT_EQ(type, BS_PUSHBUTTON);  // never the default button
                EXPECT_TRUE(style & WS_TABSTOP);
                EXPECT_FALSE(style & (BS_BITMAP | BS_ICON));
            }
        }
    }
    EXPECT_TRUE(styleOf(find(Control::按钮2)) & WS_GROUP);
    EXPECT_FALSE(styleOf(find(Control::高级选择夹1)) & WS_TABSTOP);
}

TEST_F(WindowTest, TheTabTitlesAndTheDeleteListHaveFontsOfTheirOwn) {
    const LOGFONTW tabs = fontOf(find(Control::高级选择夹1));
    EXPECT_EQ(std::wstring(tabs.lfFaceName), L"SimSun");
    EXPECT_EQ(tabs.lfHeight, -12);
    EXPECT_EQ(tabs.lfWeight, FW_NORMAL);
    EXPECT_EQ(tabs.lfCharSet, GB2312_CHARSET);
    const LOGFONTW list = fontOf(find(Control::编辑框1));
    EXPECT_EQ(std::wstring(list.lfFaceName), L"");
    EXPECT_EQ(list.lfHeight, -14);
    EXPECT_EQ(list.lfWeight, FW_NORMAL);
    EXPECT_EQ(list.lfCharSet, GB2312_CHARSET);
    const auto gui = reinterpret_cast<LRESULT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (const Row& row : kLayout) {
        if (row.control == Control::编辑框1) continue;
        EXPECT_EQ(::SendMessageW(find(row.control), WM_GETFONT, 0, 0), gui) << controlName(row.control);
    }
}

// What the window answers when a control asks for its colours, as the control would ask.
struct Answer {
    COLORREF text, fill, brush;
};

Answer colourAnswer(HWND control, UINT message) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(::SendMessageW(::GetParent(control), message, reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(control)));
    LOGBRUSH logBrush{};
    ::GetObjectW(brush, sizeof logBrush, &logBrush);
    Answer a{::GetTextColor(dc), ::GetBkColor(dc), logBrush.lbColor};
    ::DeleteDC(dc);
    return a;
}

TEST_F(WindowTest, ControlsAreAnsweredInTheFixedColours) {
    struct Case {
        Control control;
        UINT message;
        COLORREF text, fill;
    };
    const Case cases[] = {
        {Control::标签_状态, WM_CTLCOLORSTATIC, kYellow, kSkyBlue},
        {Control::标签1, WM_CTLCOLORSTATIC, kYellow, kSkyBlue},
        {Control::标签3, WM_CTLCOLORSTATIC, kYellow, kSkyBlue},
        {Control::单选框_按后缀, WM_CTLCOLORSTATIC, kYellow, kSkyBlue},
        {Control::分组框1, WM_CTLCOLORSTATIC, kYellow, kSkyBlue},
        {Control::标签5, WM_CTLCOLORSTATIC, kGrey, kSkyBlue},  // disabled
        {Control::编辑框_路径, WM_CTLCOLOREDIT, kBlue, kYellow},
        {Control::编辑框_后缀, WM_CTLCOLOREDIT, kBlue, kYellow},
        // A disabled edit box asks as a label would, and stays yellow.
        {Control::编辑框_序号, WM_CTLCOLORSTATIC, kGrey, kYellow},
        {Control::编辑框1, WM_CTLCOLOREDIT, kMagenta, kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(controlName(c.control)));
        const Answer a = colourAnswer(find(c.control), c.message);
        EXPECT_EQ(a.text, c.text);
        EXPECT_EQ(a.fill, c.fill);
        EXPECT_EQ(a.brush, c.fill);
    }
}

TEST_F(WindowTest, WhatIsDrawnHasTheFixedColours) {
    const auto skyBlue = win32ui::RgbImage::Rgb{0, 136, 255};
    const auto yellow = win32ui::RgbImage::Rgb{255, 255, 0};
    const auto blue = win32ui::RgbImage::Rgb{0, 0, 255};
    const auto pink = win32ui::RgbImage::Rgb{255, 168, 255};
    struct Probe {
        int page, x, y;  // x, y in the window's client area
        win32ui::RgbImage::Rgb colour;
        const char* what;
    };
    const Probe probes[] = {
        {0, 3, 3, skyBlue, "window"},
        {0, 300, 420, skyBlue, "below the tab control"},
        {0, 7 + 300, 8 + 25, skyBlue, "page"},
        {0, 7 + 200, 8 + 43, yellow, "编辑框_路径"},
        {0, 7 + 30, 8 + 360, blue, "超级列表框_文件"},
        {0, 7 + 300, 8 + 379, pink, "the pane's outline"},
        {1, 7 + 120, 8 + 30, skyBlue, "inside 分组框1"},
        {1, 7 + 78 + 49 + 20, 8 + 25 + 13 + 10, yellow, "编辑框_后缀"},
        {1, 7 + 258 + 154 + 30, 8 + 25 + 13 + 10, yellow, "编辑框_序号, disabled"},
        {2, 7 + 100, 8 + 200, blue, "编辑框1"},
        {3, 7 + 500, 8 + 300, skyBlue, "help page"},
    };
    int shown = -1;
    win32ui::RgbImage image;
    for (const Probe& p : probes) {
        if (p.page != shown) {
            showPage(p.page);
            ::RedrawWindow(window->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            pump();
            image = win32ui::captureClientArea(window->hwnd());
            shown = p.page;
        }
        ASSERT_FALSE(image.pixels.empty());
        EXPECT_EQ(image.at(p.x, p.y), p.colour) << p.what;
    }
}

// The Tab order is the order the controls come in among their parent's children.
TEST_F(WindowTest, ControlsComeInTheTabOrderOfTheLayout) {
    const std::vector<std::vector<Control>> pages = {
        {Control::按钮_添加, Control::按钮_清空, Control::按钮_删除, Control::标签1, Control::编辑框_路径, Control::按钮_浏览,
         Control::超级列表框_文件},
        {Control::分组框2, Control::标签2, Control::编辑框_前缀, Control::标签5, Control::编辑框_序号, Control::单选框_按序号,
         Control::单选框_按后缀, Control::按钮2, Control::分组框1, Control::标签4, Control::编辑框_后缀, Control::超级列表框_更名},
        {Control::按钮_删除指定文件, Control::标签6, Control::编辑框1},
        {Control::标签3},
    };
    for (int p = 0; p < 4; ++p) {
        std::vector<HWND> children;
        for (HWND h = ::GetWindow(window->pages().page(p), GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) children.push_back(h);
        std::vector<HWND> expected;
        for (Control c : pages[static_cast<std::size_t>(p)]) expected.push_back(find(c));
        EXPECT_EQ(children, expected) << "page " << p + 1;
    }
}

}  // namespace
