#pragma once
// What the printouts read: the purchase order schedule and the goods inward
// sheet take the order's header, the addresses of the supplier and the
// practice, the instruction text to suppliers and the order's lines.
#include "connection/database.h"

#include <QString>
#include <QVariantList>

namespace zel::printouts {

// The order header (every column of `Order Information`) of the order with
// `Quote ID` `orderKey`; no rows when none.
RowSet order(qint64 orderKey);

// The address lines of a row of `Employee Data` as a printout shows them:
// name (`Forenames`), `Address1`, `Address2`, `Town`, `County`, `Post Code`,
// nulls kept. Empty when there is no such row.
// The row with account number `payrollId` (the first by row).
QVariantList addressByAccount(qint64 payrollId);
// The row `employeeId`.
QVariantList addressByRow(qint64 employeeId);
// The practice's head office: the first practice row.
QVariantList headOffice();

// The instruction text to suppliers; empty when none is stored.
QString poInstruction();

// Which columns of the lines a printout takes.
enum class LineColumns {
    Order,        // Item, Part Id, Quantity, Description, Unit Price, Extended Price
    WithBookedIn, // the same and `Qty BI`, for the goods inward sheet
};
// The order's lines in their stored order; `Item` is 1 on every line (the
// printout numbers them) and `Extended Price` is the line's price after its
// discount, to the penny.
RowSet lines(qint64 orderKey, LineColumns columns);

} // namespace zel::printouts
