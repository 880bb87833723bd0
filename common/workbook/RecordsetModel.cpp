#include "workbook/RecordsetModel.h"

namespace vtl::ado {

int RecordsetModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || rs_.State() != adStateOpen) return 0;
    return static_cast<int>(rs_.RecordCount());
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
    if (parent.isValid() || rs_.State() != adStateOpen) return 0;
    return static_cast<int>(rs_.Fields().Count());
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount() ||
        index.column() >= columnCount()) {
        return {};
    }
    const Value& value = rs_.shownValue(index.row(), static_cast<size_t>(index.column()));
    return QString::fromStdString(value.asText());
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= columnCount()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return QString::fromStdString(rs_.Fields()(section).Name());
}

}  // namespace vtl::ado
