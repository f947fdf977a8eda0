// The "结果" column of 超级列表框_文件: in sight without scrolling in the fixed window, failed
// rows in their own fill (drawn through the list's custom-draw notices), and the whole path
// and result in the row's info tip.
#include <windows.h>

#include <commctrl.h>

#include "tests/ui_win32/window_fixture.h"
#include "ui/win32/window_capture.h"
#include "ui/win32/window_style.h"
#include "ui/win32/window_text.h"

namespace {

const std::string kLongPath = "C:\\用户\\下载\\某个很长的目录名称\\又一层很长的子目录\\第二季\\字幕与花絮合集\\示例00005.part1.rar";
const std::string kLongResult = "删除失败：压缩包已损坏，无法读取第3个文件的头部（文件已被截断，请重新下载该压缩包）";

std::vector<ListRow> manyRows() {
    std::vector<ListRow> rows;
    for (int i = 0; i < 40; ++i) {
        const std::string number = std::to_string(i + 1);
        rows.emplace_back(number, kLongPath + number, i == 1 ? "删除失败" : "已删除 2 个文件", i == 1);
    }
    rows[3] = ListRow{"4", kLongPath, kLongResult, true};
    return rows;
}

// A cell's rectangle in the list's client area.
RECT cellRect(HWND list, int row, int column) {
    RECT r{};
    r.top = column;
    r.left = LVIR_BOUNDS;
    ::SendMessageW(list, LVM_GETSUBITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    return r;
}

struct ResultColumnTest : WindowTest {
    HWND list = nullptr;
    void SetUp() override {
        WindowTest::SetUp();
        if (IsSkipped()) return;
        list = find(Control::超级列表框_文件);
        window->setRows(Control::超级列表框_文件, manyRows());
        pump();
    }
};

TEST_F(ResultColumnTest, IsInSightWithoutScrollingInTheFixedWindow) {
    // Enough rows for a vertical scroll bar; no horizontal one.
    EXPECT_TRUE(::GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL);
    EXPECT_FALSE(::GetWindowLongPtrW(list, GWL_STYLE) & WS_HSCROLL);
    RECT client{};
    ::GetClientRect(list, &client);
    const RECT result = cellRect(list, 0, 2);
    EXPECT_EQ(result.left, 40 + 260);
    EXPECT_LE(result.right, client.right);
    EXPECT_EQ(window->list(Control::超级列表框_文件).rows()[3],
              (ListRow{"4", kLongPath, kLongResult, true}));
}

TEST_F(ResultColumnTest, FailedRowsHaveTheirOwnFill) {
    const auto blue = win32ui::RgbImage::Rgb{0, 0, 255};
    const auto failed = win32ui::RgbImage::Rgb{192, 0, 0};
    auto fillOf = [&](const win32ui::RgbImage& image, int row, int column) {
        // The right end of the cell, clear of its text and of the grid line.
        const RECT cell = cellRect(list, row, column);
        POINT at{cell.right - 4, (cell.top + cell.bottom) / 2};
        ::MapWindowPoints(list, window->hwnd(), &at, 1);
        return image.at(at.x, at.y);
    };
    auto capture = [&] {
        ::RedrawWindow(window->hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        pump();
        return win32ui::captureClientArea(window->hwnd());
    };
    const win32ui::RgbImage image = capture();
    ASSERT_FALSE(image.pixels.empty());
    for (int column : {0, 1, 2}) {
        SCOPED_TRACE(column);
        EXPECT_EQ(fillOf(image, 0, column), blue);
        EXPECT_EQ(fillOf(image, 1, column), failed);
        EXPECT_EQ(fillOf(image, 2, column), blue);
    }
    // A later job that goes well takes the mark off again.
    window->updateRows(Control::超级列表框_文件, 1, {ListRow{"2", kLongPath, "没有要删除的文件", false}});
    EXPECT_EQ(fillOf(capture(), 1, 2), blue);
}

TEST_F(ResultColumnTest, TheInfoTipHoldsTheWholePathAndResult) {
    EXPECT_TRUE(::SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_INFOTIP);
    // Asked as the list asks its parent, the page, which passes it on to the window.
    auto tipFor = [&](int row) {
        std::wstring buffer(INFOTIPSIZE, L'\0');
        NMLVGETINFOTIPW tip{};
        tip.hdr.hwndFrom = list;
        tip.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
        tip.hdr.code = LVN_GETINFOTIPW;
        tip.pszText = buffer.data();
        tip.cchTextMax = static_cast<int>(buffer.size());
        tip.iItem = row;
        ::SendMessageW(::GetParent(list), WM_NOTIFY, tip.hdr.idFrom, reinterpret_cast<LPARAM>(&tip));
        return win32ui::utf8(buffer.c_str());
    };
    EXPECT_EQ(tipFor(3), kLongPath + "\r\n" + kLongResult);
    window->setRows(Control::超级列表框_文件, {ListRow{"1", kLongPath}});
    EXPECT_EQ(tipFor(0), kLongPath);
}

}  // namespace
