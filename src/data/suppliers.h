#pragma once
// Who an order goes to: the supplier of a stored order, with the e-mail
// address of its `Employee Data` row, and the practice's name as its
// printouts head it.
#include <QString>
#include <QVariant>
#include <optional>

namespace zel::suppliers {

// A stored order and its supplier.
struct OrderSupplier {
    qint64 orderKey = 0;
    QString customerRef; // the order's `Customer Ref`
    QVariant status;     // the order's `Status` (NULL when none)
    // The supplier's name: its row's `Forenames`, else the name stored on the order.
    QString name;
    QString email;              // `E-Mail` of the supplier's row; empty when none
    bool supplierKnown = false; // a supplier row was found
};

// The supplier of order `orderKey`: the supplier row the order names by
// `CUSTOMER ID` (its `Employee ID`), else the supplier whose `Payroll ID` is
// the order's `Account No`. Nothing when there is no such order. Throws DbError.
std::optional<OrderSupplier> ofOrder(qint64 orderKey);

// The practice's name: `Forenames` of the first practice row, the first line
// of the head office block on a purchase order; empty when there is none.
QString practiceName();

} // namespace zel::suppliers
