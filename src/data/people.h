#pragma once
// The people and places of `Employee Data`: suppliers, purchasers (dentists)
// and the practice's own addresses, each kind told by its `Type`. Their
// account numbers (`Payroll ID`) come from the counter 'PatNo' of
// `tblGlobalSysConfig`.
#include "connection/database.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QVariant>

namespace zel::people {

// ---- account numbers and the rows that carry them -------------------------

// Hands out the next account number from the counter 'PatNo' of
// `tblGlobalSysConfig` and leaves the counter one above it. The read and the
// advance are one locking transaction, so workstations allocating at the same
// moment never get the same number; a number some row already carries is
// passed over. Returns 0 when there is no counter to allocate from.
qint64 allocateAccountNumber(Database& db);

// Writes the row of account number `n` as a row of kind `type` with the given
// column values (already converted for their columns): updated when a row of
// that kind carries the number, else inserted, in one transaction that holds
// the allocation counter's lock, so saves and allocations on several
// workstations never deadlock and two rows never share a number. Returns, in
// words, the kind of row the number already belongs to when that is another
// kind ("a dentist"); nothing is written then.
QString saveAccountRow(Database& db, qint64 n, const QString& type,
                       const QList<QPair<QString, QVariant>>& values);

// The rows of one kind for an editor's list: takes the kind as its one bound
// value; lists `Forenames` (the name, else the short name, else "Account N")
// keyed by `Payroll ID`, in name order.
QString listStatement();

// The row of kind `type` with account number `n` (the first by row when
// several share it); no rows when none.
RowSet accountRow(qint64 n, const QString& type);

// The name the list shows for the row of kind `type` with account number `n`;
// null when there is no such row.
QVariant listedName(qint64 n, const QString& type);

// How many orders name the row of kind `type` with account number `n`: a
// supplier by its account number or its row, a purchaser by its code.
qint64 ordersReferringTo(qint64 n, const QString& type);

// Deletes the rows of kind `type` with account number `n`; returns how many.
qint64 removeAccount(qint64 n, const QString& type);

// ---- the order window's address pickers -----------------------------------

// The lists an address picker offers, each with the key its entries carry.
enum class AddressList {
    Suppliers,          // suppliers with a short name, keyed by `Customer ID` (their row)
    PracticesByAccount, // the practice's addresses, keyed by `Account No` (`Payroll ID`)
    PracticesByRow,     // the practice's addresses, keyed by `Customer ID` (their row)
};

// The list's statement (no bound values); its rows name the address as the
// order header does: `Customer Name`, `Street`, `Street2`, `Town`,
// `County/Postcode`, `Postcode2`, `Customer Shortname`, `Customer ID`,
// `Account No`, `Telephone` and the other columns of `Employee Data`.
QString addressListStatement(AddressList list);
// The result column each entry of the list carries as its key.
QString addressListKey(AddressList list);
// The entry of the list whose key is `key` (a number in plain decimal); no
// rows when none.
RowSet addressOf(AddressList list, const QString& key);

// ---- purchasers -------------------------------------------------------------

// The purchasers (dentists) for the order window's purchaser list: `id`,
// `Rep Code` (the account number), `Cost Centre`, `Name`, `Type`.
QString purchaserListStatement();
// The purchaser with code `repCode` (a number in plain decimal), with the
// list's columns; no rows when none.
RowSet purchaserOf(const QString& repCode);

} // namespace zel::people
