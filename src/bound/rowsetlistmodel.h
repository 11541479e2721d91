#pragma once
// A row set shown as a list: one column gives each entry's text, another its key.
#include "app/database.h"

#include <QAbstractListModel>

namespace zel {

class RowSetListModel : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Throws std::invalid_argument when a named column is not in the row set.
    void setRowSource(RowSet rows, const QString& listField, const QString& boundColumn);
    void clear();

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    QString listText(int row) const;
    QString key(int row) const;
    // First row whose key is `key`, or -1.
    int rowOfKey(const QString& key) const;
    // First row whose list text equals `text` exactly, or -1.
    int rowOfText(const QString& text) const;
    const RowSet& rows() const { return rows_; }
    // The value of any column of the row set, by name.
    QVariant value(int row, const QString& column) const;

private:
    RowSet rows_;
    int listCol_ = -1, keyCol_ = -1;
    QVector<QString> texts_, keys_;
};

} // namespace zel
