#pragma once
// The rows of one list view: the text columns "序号" and "文件路径", and for 超级列表框_文件
// also "结果", all left-aligned. A cell's tooltip holds the row's whole path and result,
// which the cells may cut short; a row whose last job failed is filled in its own colour.
#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include "ui/core/main_view.h"

class RowsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RowsModel(bool withResults, QObject* parent = nullptr);

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
        QString result;
        bool failed = false;
    };
    static Row toRow(const ListRow& row);
    QString toolTip(const Row& row) const;

    bool withResults_;
    QVector<Row> rows_;
};
