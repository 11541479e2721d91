#pragma once
// Stored orders and lines written straight into the tables, for the data
// layer's tests of what is read back from them.
#include "connection/database.h"

#include <QDate>
#include <QDateTime>
#include <QVariant>

namespace zel::test {

// A stored order of the supplier `account`, entered on `date`.
inline qint64 order(const QString& ref, const QString& account, QDate date, int status = 3,
                    const QString& supplier = "Dental Supplies Ltd") {
    return gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Account No`, `Quoted Date`, `Status`, "
        "`Customer Name`) VALUES (?, ?, ?, ?, ?)",
        {ref, account, date.isValid() ? QVariant(date.startOfDay()) : QVariant(), status,
         supplier});
}

inline qint64 line(qint64 order, qlonglong product, const QVariant& price, int qty = 1,
                   const QVariant& booked = 0, const QVariant& due = {}) {
    return gConn().insert(
        "INSERT INTO `Order Details` (`Order ID`, `Product ID`, `Part Id`, `Description`, "
        "`Unit Price`, `Quantity`, `Qty BI`, `DueDate`) VALUES (?, ?, 'P-1', 'Alginate', ?, ?, "
        "?, ?)",
        {order, product, price, qty, booked,
         due.isNull() ? QVariant() : QVariant(due.toDate().startOfDay())});
}

} // namespace zel::test
