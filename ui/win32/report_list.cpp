#include "ui/win32/report_list.h"

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

ReportList::ReportList(HWND list, int pathColumnWidth) : list_(list) {
    ::SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, kReportListExStyle, kReportListExStyle);
    ::SendMessageW(list_, LVM_SETTEXTCOLOR, 0, style::kYellow);
    ::SendMessageW(list_, LVM_SETTEXTBKCOLOR, 0, style::kBlue);
    ::SendMessageW(list_, LVM_SETBKCOLOR, 0, style::kBlue);
    addColumn(list_, 0, texts::kColumnNumber, 40);
    addColumn(list_, 1, texts::kColumnPath, pathColumnWidth);
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
    for (int i = 0; i < count; ++i) out.push_back(ListRow{cell(list_, i, 0), cell(list_, i, 1)});
    return out;
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
}

void ReportList::setCell(std::size_t row, int column, const std::string& text) {
    std::wstring value = wide(text);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = value.data();
    ::SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

}  // namespace win32ui
