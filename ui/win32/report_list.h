#pragma once
// 超级列表框_文件 and 超级列表框_更名: report-mode list views, yellow text on blue, with the
// columns "序号" and "文件路径", and for 超级列表框_文件 also "结果". There a row whose last job
// failed is filled in its own colour (the window passes on the list's custom-draw notices),
// and resting the pointer on a row shows its whole path and result (an info tip). Rows the
// program puts in never count as the user's doing: the focus change a list reports while
// the program fills it is not passed on.
#include <windows.h>

#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/main_view.h"

namespace win32ui {

class ReportList {
public:
    ReportList() = default;
    // One width per column, from "序号" on; a third width adds "结果".
    ReportList(HWND list, const std::vector<int>& columnWidths);

    HWND hwnd() const { return list_; }
    void setRows(const std::vector<ListRow>& rows);
    void appendRows(const std::vector<ListRow>& rows);
    void updateRows(std::size_t first, const std::vector<ListRow>& rows);
    std::optional<std::size_t> selectedRow() const;
    std::vector<ListRow> rows() const;

    // The row that received the focus it did not have before, if this LVN_ITEMCHANGED
    // says so; nothing for the program's own changes.
    std::optional<std::size_t> rowFocusedBy(const NMLISTVIEW& change) const;
    // The answer to the list's NM_CUSTOMDRAW.
    LRESULT customDraw(NMLVCUSTOMDRAW& draw) const;
    // Fills in the list's LVN_GETINFOTIPW: the row's whole path, and its result if any.
    void infoTip(NMLVGETINFOTIPW& tip) const;

private:
    void insert(std::size_t at, const ListRow& row);
    void setCell(std::size_t row, int column, const std::string& text);
    void setFailed(std::size_t row, bool failed);
    bool failedAt(int row) const;

    HWND list_ = nullptr;
    bool withResults_ = false;
    bool filling_ = false;
};

// The styles a report list is made with.
inline constexpr DWORD kReportListStyle =
    WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER;
inline constexpr DWORD kReportListExStyle = LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT;

}  // namespace win32ui
