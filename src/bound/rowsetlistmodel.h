#pragma once
// A row set shown as a list: one column gives each entry's text, another its key.
#include "connection/database.h"

#include <QAbstractListModel>
#include <vector>

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
    // Puts the entries in the order of their texts as the workstation's
    // language sorts them (letter case aside, numbers by value), each keeping
    // its key and row; a column of -1 gives back the row source's order. The
    // order holds for every later row source, so a refresh keeps it.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // A value of the key column as the list's keys give it.
    static QString keyText(const QVariant& v);

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
    // The entries' new order: position p takes the entry now at order[p].
    std::vector<int> sortedOrder() const;
    void reorder(const std::vector<int>& order);

    RowSet rows_;
    // Each entry's place in the row source, to give back its order.
    QVector<int> sourceRow_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    int listCol_ = -1, keyCol_ = -1;
    QVector<QString> texts_, keys_;
};

} // namespace zel
