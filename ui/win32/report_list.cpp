#include "ui/win32/report_list.h"

#include <algorithm>

#include "ui/core/window_texts.h"
#include "ui/win32/window_style.h"
#include "ui/win32/window_text.h"

namespace win32ui {
namespace {

void addColumn(HWND list, int index, std::string_view header, int width) {
    std::wstring text = wide(header);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = text.data();
    column.iSubItem = index;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

std::string cell(HWND list, int row, int column) {
    std::wstring buffer(1024, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = column;
        item.pszText = buffer.data();
        item.cchTextMax = static_cast<int>(buffer.size());
        const auto copied = static_cast<std::size_t>(
            ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
        if (copied + 1 < buffer.size()) {
            buffer.resize(copied);
            return utf8(buffer);
        }
        buffer.resize(buffer.size() * 2);
    }
}

// Turns redrawing off while a list takes many rows at once.
class NoRedraw {
public:
    explicit NoRedraw(HWND list) : list_(list) { ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }
    ~NoRedraw() {
        ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(list_, nullptr, TRUE);
    }
    NoRedraw(const NoRedraw&) = delete;
    NoRedraw& operator=(const NoRedraw&) = delete;

private:
    HWND list_;
};

}  // namespace

ReportList::ReportList(HWND list, const std::vector<int>& columnWidths)
    : list_(list), withResults_(columnWidths.size() > 2) {
    const DWORD extended = kReportListExStyle | (withResults_ ? LVS_EX_INFOTIP : 0);
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    ::SendMessageW(list_, LVM_SETTEXTCOLOR, 0, style::kYellow);
    ::SendMessageW(list_, LVM_SETTEXTBKCOLOR, 0, style::kBlue);
    ::SendMessageW(list_, LVM_SETBKCOLOR, 0, style::kBlue);
    const std::string_view headers[] = {texts::kColumnNumber, texts::kColumnPath, texts::kColumnResult};
    for (std::size_t i = 0; i < columnWidths.size() && i < 3; ++i) {
        addColumn(list_, static_cast<int>(i), headers[i], columnWidths[i]);
    }
}

void ReportList::setRows(const std::vector<ListRow>& rows) {
    filling_ = true;
    {
        NoRedraw quiet(list_);
        ::SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
        for (std::size_t i = 0; i < rows.size(); ++i) insert(i, rows[i]);
    }
    filling_ = false;
}

void ReportList::appendRows(const std::vector<ListRow>& rows) {
    filling_ = true;
    {
        NoRedraw quiet(list_);
        const auto count = static_cast<std::size_t>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
        for (std::size_t i = 0; i < rows.size(); ++i) insert(count + i, rows[i]);
    }
    filling_ = false;
}

void ReportList::updateRows(std::size_t first, const std::vector<ListRow>& rows) {
    const auto count = static_cast<std::size_t>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (std::size_t i = 0; i < rows.size() && first + i < count; ++i) {
        setCell(first + i, 0, rows[i].number);
        setCell(first + i, 1, rows[i].path);
        if (withResults_) {
            setCell(first + i, 2, rows[i].result);
            setFailed(first + i, rows[i].failed);
        }
    }
}

std::optional<std::size_t> ReportList::selectedRow() const {
    const auto row = ::SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    if (row < 0) return std::nullopt;
    return static_cast<std::size_t>(row);
}

std::vector<ListRow> ReportList::rows() const {
    std::vector<ListRow> out;
    const auto count = static_cast<int>(::SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        out.emplace_back(cell(list_, i, 0), cell(list_, i, 1), withResults_ ? cell(list_, i, 2) : std::string(),
                         withResults_ && failedAt(i));
    }
    return out;
}

LRESULT ReportList::customDraw(NMLVCUSTOMDRAW& draw) const {
    if (!withResults_) return CDRF_DODEFAULT;
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT:
        // The failed mark travels with the row as its item data.
        if (draw.nmcd.lItemlParam == 0) return CDRF_DODEFAULT;
        draw.clrText = style::kYellow;
        draw.clrTextBk = style::kFailedRowFill;
        return CDRF_NEWFONT;
    default:
        return CDRF_DODEFAULT;
    }
}

void ReportList::infoTip(NMLVGETINFOTIPW& tip) const {
    if (!tip.pszText || tip.cchTextMax <= 0 || tip.iItem < 0) return;
    std::string text = cell(list_, tip.iItem, 1);
    if (withResults_) {
        const std::string result = cell(list_, tip.iItem, 2);
        if (!result.empty()) text += "\r\n" + result;
    }
    const std::wstring wideText = wide(text);
    const std::size_t room = static_cast<std::size_t>(tip.cchTextMax) - 1;
    const std::size_t length = std::min(room, wideText.size());
    wideText.copy(tip.pszText, length);
    tip.pszText[length] = L'\0';
}

std::optional<std::size_t> ReportList::rowFocusedBy(const NMLISTVIEW& change) const {
    if (filling_ || change.iItem < 0 || !(change.uChanged & LVIF_STATE)) return std::nullopt;
    const bool gained = (change.uNewState & LVIS_FOCUSED) && !(change.uOldState & LVIS_FOCUSED);
    if (!gained) return std::nullopt;
    return static_cast<std::size_t>(change.iItem);
}

void ReportList::insert(std::size_t at, const ListRow& row) {
    std::wstring number = wide(row.number);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = static_cast<int>(at);
    item.pszText = number.data();
    ::SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    setCell(at, 1, row.path);
    if (withResults_) {
        setCell(at, 2, row.result);
        setFailed(at, row.failed);
    }
}

void ReportList::setFailed(std::size_t row, bool failed) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = static_cast<int>(row);
    item.lParam = failed ? 1 : 0;
    ::SendMessageW(list_, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    // The fill is drawn only when the row is; a changed mark must show at once.
    ::SendMessageW(list_, LVM_REDRAWITEMS, row, row);
}

bool ReportList::failedAt(int row) const {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    return ::SendMessageW(list_, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) && item.lParam != 0;
}

void ReportList::setCell(std::size_t row, int column, const std::string& text) {
    std::wstring value = wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = value.data();
    ::SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace win32ui
