#pragma once
// Outstanding deliveries: the lines of approved orders that have not all
// been booked in, with what is still to come and how late it is.
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

// Every line of an approved order with less booked in than ordered (nothing
// booked counts as 0), ordered by due date (none last), then order and
// line. Lateness is counted to `today`.
QList<Line> outstanding(QDate today = QDate::currentDate());

// The statement of outstanding(): binds the approved status.
QString outstandingStatement();

// Days from `due` to `today` when `due` has passed, else 0.
int daysLate(QDate due, QDate today);

} // namespace zel::deliveries
