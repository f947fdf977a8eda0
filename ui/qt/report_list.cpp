#include "ui/qt/report_list.h"

#include <QHeaderView>

#include "ui/qt/window_style.h"

ReportList::ReportList(std::vector<int> columnWidths, QWidget* parent)
    : QTableView(parent), model_(new RowsModel(columnWidths.size() > 2, this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    // Tab leaves the list for the next control instead of moving between cells.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    style::paintList(this);

    verticalHeader()->hide();
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 2);
    QHeaderView* header = horizontalHeader();
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setFixedHeight(fontMetrics().height() + 6);
    auto setWidths = [header, columnWidths] {
        for (std::size_t i = 0; i < columnWidths.size(); ++i) header->resizeSection(static_cast<int>(i), columnWidths[i]);
    };
    setWidths();
    // Replacing every row resets the header, and with it the column widths.
    connect(model_, &QAbstractItemModel::modelReset, this, setWidths);

    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (current.isValid() && current.row() != previous.row()) emit rowFocused(current.row());
            });
}

std::optional<std::size_t> ReportList::selectedRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    if (selected.isEmpty()) return std::nullopt;
    return static_cast<std::size_t>(selected.first().row());
}
