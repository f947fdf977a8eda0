#include "ui/qt/rows_model.h"

#include "ui/core/window_texts.h"
#include "ui/qt/window_style.h"

namespace {

QString fromUtf8(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

RowsModel::RowsModel(bool withResults, QObject* parent) : QAbstractTableModel(parent), withResults_(withResults) {}

RowsModel::Row RowsModel::toRow(const ListRow& row) {
    return Row{fromUtf8(row.number), fromUtf8(row.path), fromUtf8(row.result), row.failed};
}

QString RowsModel::toolTip(const Row& row) const {
    if (!withResults_ || row.result.isEmpty()) return row.path;
    return row.path + QChar(u'\n') + row.result;
}

int RowsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : static_cast<int>(rows_.size()); }

int RowsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : withResults_ ? 3 : 2; }

QVariant RowsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) return {};
    const Row& row = rows_[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? row.number : index.column() == 1 ? row.path : row.result;
    case Qt::ToolTipRole:
        return toolTip(row);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    case Qt::BackgroundRole:
        if (withResults_ && row.failed) return style::kFailedRowFill;
        return {};
    default:
        return {};
    }
}

QVariant RowsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DisplayRole) {
        return fromUtf8(section == 0 ? texts::kColumnNumber : section == 1 ? texts::kColumnPath : texts::kColumnResult);
    }
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
    return {};
}

void RowsModel::setRows(const std::vector<ListRow>& rows) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(static_cast<qsizetype>(rows.size()));
    for (const ListRow& r : rows) rows_.append(toRow(r));
    endResetModel();
}

void RowsModel::appendRows(const std::vector<ListRow>& rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(rows_.size());
    beginInsertRows({}, first, first + static_cast<int>(rows.size()) - 1);
    for (const ListRow& r : rows) rows_.append(toRow(r));
    endInsertRows();
}

void RowsModel::updateRows(std::size_t first, const std::vector<ListRow>& rows) {
    const std::size_t size = static_cast<std::size_t>(rows_.size());
    if (first >= size || rows.empty()) return;
    const std::size_t last = std::min(size, first + rows.size()) - 1;
    for (std::size_t i = first; i <= last; ++i) rows_[static_cast<qsizetype>(i)] = toRow(rows[i - first]);
    emit dataChanged(index(static_cast<int>(first), 0), index(static_cast<int>(last), columnCount() - 1));
}
