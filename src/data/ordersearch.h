#pragma once
// Finding orders: the statements of the order finder's five ways of
// searching, and the dentists it searches by. Each search is a statement
// with its bound values; reading it is the caller's.
#include "connection/database.h"

#include <QDate>
#include <QString>
#include <QVariantList>

namespace zel::ordersearch {

// The ways of searching, numbered as the finder's options are.
enum class Mode : int {
    None = 0,
    SingleDate = 1,
    Month = 2,
    DateRange = 3,
    ProductGroup = 4,
    Dentists = 5,
};

// A statement and its values.
struct Search {
    QString sql;
    QVariantList binds;
};

// The search that finds nothing: what the list shows before a search.
Search nothing();
// The orders entered on `day`, by date.
Search byDay(QDate day);
// The orders entered in the month of `firstDay`, by date.
Search byMonth(QDate firstDay);
// The orders entered from `first` to `last`, both whole days, by date.
Search byDateRange(QDate first, QDate last);
// The orders with at least one line of a product of the group, by date.
Search byProductGroup(double group);
// The orders of the chosen dentists (rows of `Rep Code` and `Rep Name`), in
// the order chosen: a dentist chosen twice lists their orders twice.
Search byDentists(const RowSet& chosen);

// The practice's dentists (`Rep Code`, `Name`).
RowSet dentists(Database& db);
// The dentist with the payroll number (`Rep Code`, `Name`); no rows when none.
RowSet dentist(Database& db, double payrollId);

} // namespace zel::ordersearch
