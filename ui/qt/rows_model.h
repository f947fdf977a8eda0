#pragma once
// The rows of one list view: two text columns, "序号" and "文件路径", left-aligned.
#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include "ui/core/main_view.h"

class RowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void setRows(const std::vector<ListRow>& rows);
    void appendRows(const std::vector<ListRow>& rows);
    void updateRows(std::size_t first, const std::vector<ListRow>& rows);

private:
    struct Row {
        QString number;
        QString path;
    };
    static Row toRow(const ListRow& row);

    QVector<Row> rows_;
};
