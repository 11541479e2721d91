#pragma once
// The outstanding lines as a table: the lines are kept as read, and the rows
// shown are a list of positions into them, so narrowing to a supplier and
// sorting by a column move positions, never cells. A practice with tens of
// thousands of lines on approved orders opens the list at once.
#include "data/deliveries.h"

#include <QAbstractTableModel>
#include <QVector>

namespace zel {

class OutstandingModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The columns, in their order on screen.
    enum Column : int {
        colSupplier = 0,
        colOrderRef,
        colOrdered,
        colDue,
        colDaysLate,
        colPartId,
        colDescription,
        colQuantity,
        colBooked,
        colOutstanding,
        kColumns
    };
    // The key of a row's order (any column).
    static constexpr int OrderRole = Qt::UserRole + 1;
    // A cell's value as a spreadsheet takes it: a date, a number, a text;
    // none when the cell is blank.
    static constexpr int ValueRole = Qt::UserRole + 2;

    using QAbstractTableModel::QAbstractTableModel;

    void setLines(QList<deliveries::Line> lines);
    // Shows only the lines of `supplier` ("" for all), in the current order.
    void setSupplier(const QString& supplier);
    QString supplier() const { return supplier_; }
    // The suppliers of the lines, each once, in alphabetical order.
    QStringList suppliers() const;
    const deliveries::Line& lineAt(int row) const { return lines_[shown_[row]]; }
    int lateCount() const;

    // The column's heading on screen, and its name in the report.
    static QString heading(int column);
    static QString field(int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void sort(int column, Qt::SortOrder order) override;

private:
    QString text(const deliveries::Line& l, int column) const;
    void applySort();

    QList<deliveries::Line> lines_;
    QVector<int> shown_;
    QString supplier_;
    int sortColumn_ = colDue;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};

} // namespace zel
