#pragma once
// The outstanding lines as a table, read from the server a page at a time:
// the first page when the list opens or is narrowed or sorted, the next
// ones as the view scrolls down to them. The server sorts and counts, so a
// practice with tens of thousands of lines outstanding opens the list at once.
#include "data/deliveries.h"

#include <QAbstractTableModel>

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
    // How many lines a page holds.
    static constexpr int kPageSize = 200;

    explicit OutstandingModel(QDate today, QObject* parent = nullptr);

    // Counts the lines again and reads the first page of the current
    // supplier (every supplier when it no longer has any) and order.
    void reload();
    // Shows only the lines of `supplier` ("" for all), in the current order.
    void setSupplier(const QString& supplier);
    QString supplier() const { return view_.supplier; }
    // The suppliers with lines outstanding, each once, in alphabetical order.
    QStringList suppliers() const;
    // How many lines the current supplier has outstanding, and how many
    // late, whether read yet or not.
    int lineCount() const;
    int lateCount() const;
    // Every line of the current supplier in the current order, read afresh
    // (what is printed and saved).
    QList<deliveries::Line> allLines() const;
    const deliveries::Line& lineAt(int row) const { return lines_[row]; }
    // The row of the line with key `line` among those read; -1 when not read.
    int rowOfLine(qint64 line) const;
    // Lines read at a time (tests use small pages).
    void setPageSize(int lines) { pageSize_ = std::max(1, lines); }

    // The column's heading on screen, and its name in the report.
    static QString heading(int column);
    static QString field(int column);
    // A line's cell as shown, and as a spreadsheet takes it (see ValueRole).
    static QString text(const deliveries::Line& l, int column);
    static QVariant value(const deliveries::Line& l, int column);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void sort(int column, Qt::SortOrder order) override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    // Drops the lines read and reads the first page.
    void readFirstPage();

    QDate today_;
    deliveries::View view_;
    deliveries::Summary summary_;
    QList<deliveries::Line> lines_;
    bool loaded_ = false; // reload() has been called: the list reads as it changes
    bool more_ = false;   // the last page read was full
    int pageSize_ = kPageSize;
};

} // namespace zel
