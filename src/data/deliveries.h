#pragma once
// Outstanding deliveries: the lines of approved orders that have not all
// been booked in, with what is still to come and how late it is. A practice
// may have tens of thousands of them, so they are read a page at a time, in
// the order asked for, and counted by the server.
#include <QDate>
#include <QList>
#include <QString>

namespace zel::deliveries {

struct Line {
    qint64 order = 0; // `Quote ID`
    qint64 line = 0;  // `Order Details`.`ID`
    QString supplier; // the supplier's name (its short name when it has none)
    QString account;  // the supplier's account number
    QString orderRef; // `Customer Ref`
    QDate ordered;    // `Quoted Date`; invalid when none
    QDate due;        // `DueDate`; invalid when none
    QString partId, description;
    int quantity = 0, booked = 0;
    int outstanding() const { return quantity - booked; }
    // Days since the due date; 0 when not due yet, due today or no due date.
    int daysLate = 0;
    bool late() const { return daysLate > 0; }
};

// What the lines can be put in order by.
enum class SortBy {
    Supplier,
    OrderRef,
    Ordered, // dates as dates, lines without one after the rest
    Due,
    DaysLate,
    PartId,
    Description, // texts without regard to letter case
    Quantity,
    Booked,
    Outstanding
};

// Which lines, in which order. Lines that sort alike follow their due date
// (none last), then their order and line, whichever way the list is sorted.
struct View {
    QString supplier; // "" for every supplier
    SortBy sortBy = SortBy::Due;
    bool descending = false;
};

// How many lines one supplier has outstanding, and how many of them late.
struct SupplierCount {
    QString supplier;
    int lines = 0, late = 0;
};
struct Summary {
    QList<SupplierCount> suppliers; // alphabetical; lines with no supplier are only in the totals
    int lines = 0, late = 0;        // every supplier's
    // The counts of `supplier` ("" for the totals); none for a supplier not listed.
    SupplierCount of(const QString& supplier) const;
};

// Counts the outstanding lines by supplier, lateness to `today`.
Summary summary(QDate today = QDate::currentDate());

// The lines of `view` from position `first`, at most `count` of them (all
// when `count` is negative). Lateness is counted to `today`.
QList<Line> outstanding(const View& view = {}, QDate today = QDate::currentDate(), int first = 0,
                        int count = -1);

// The statements of summary() and outstanding(): both bind the approved
// status, outstanding() then the supplier when the view names one.
QString summaryStatement(QDate today);
QString outstandingStatement(const View& view, QDate today, int first = 0, int count = -1);

// Days from `due` to `today` when `due` has passed, else 0.
int daysLate(QDate due, QDate today);

} // namespace zel::deliveries
