#pragma once
// A list view in report mode as both lists of the window use it: a header row, columns
// "序号" and "文件路径" (and "结果" when a third width is given), whole-row single selection,
// grid lines, no sorting, no editing, yellow text on blue. rowFocused fires when a row
// receives the focus it did not have.
#include <optional>
#include <vector>

#include <QTableView>

#include "ui/qt/rows_model.h"

class ReportList : public QTableView {
    Q_OBJECT
public:
    // One width per column, from "序号" on.
    ReportList(std::vector<int> columnWidths, QWidget* parent = nullptr);

    RowsModel* rows() const { return model_; }
    std::optional<std::size_t> selectedRow() const;

signals:
    void rowFocused(int row);

private:
    RowsModel* model_;
};
