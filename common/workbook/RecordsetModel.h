// A recordset as the read-only data source of a grid: one row per shown record, one column per
// field, headed by the field names. Reading the model does not move the recordset's cursor.
#pragma once

#include <QAbstractTableModel>

#include "workbook/Recordset.h"

namespace vtl::ado {

class RecordsetModel : public QAbstractTableModel {
public:
    // The recordset must outlive the model.
    explicit RecordsetModel(const Recordset& recordset, QObject* parent = nullptr)
        : QAbstractTableModel(parent), rs_(recordset) {}

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const Recordset& rs_;
};

}  // namespace vtl::ado
