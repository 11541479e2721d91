#include "data/ordersearch.h"
#include "data/orders.h"

#include <QDateTime>
#include <QStringList>

namespace zel::ordersearch {

namespace {

const QString kDateColumns =
    QStringLiteral("SELECT `Order Information`.`Quoted Date`, `Order Information`.`Customer Ref`, "
                   "`Order Information`.`Grand Total`,`Order Information`.`Quote ID`, "
                   "`Order Information`.Status ");

const QString kDateOrder =
    QStringLiteral("ORDER BY `Order Information`.`Quoted Date`, `Order Information`.`Quote ID`");

// From the start of `first` to the start of the day after `last`, so the
// server can use its index on the stored date.
QVariantList days(QDate first, QDate last) {
    return {QDateTime(first, QTime(0, 0)), QDateTime(last.addDays(1), QTime(0, 0))};
}

} // namespace

Search nothing() {
    return {QStringLiteral("Select * From `Order Information` Where `Quote ID` = 0"), {}};
}

Search byDay(QDate day) {
    return {kDateColumns +
                QStringLiteral("FROM `Order Information` WHERE `Order Information`.`Quoted Date` "
                               ">= ? AND `Order Information`.`Quoted Date` < ? ") +
                kDateOrder,
            days(day, day)};
}

Search byMonth(QDate firstDay) {
    return {QStringLiteral(
                "SELECT `Order Information`.`Quoted Date`, `Order Information`.`Customer Ref`, "
                "`Order Information`.`Grand Total`,`Order Information`.`Quote ID`, "
                "MONTH(`Quoted Date`) AS Expr1, YEAR(`Quoted Date`) AS Expr2, "
                "`Order Information`.Status From `Order Information` "
                "WHERE `Order Information`.`Quoted Date` >= ? "
                "AND `Order Information`.`Quoted Date` < ? ") +
                kDateOrder,
            {QDateTime(firstDay, QTime(0, 0)), QDateTime(firstDay.addMonths(1), QTime(0, 0))}};
}

Search byDateRange(QDate first, QDate last) {
    return {kDateColumns +
                QStringLiteral("From `Order Information` WHERE `Order Information`.`Quoted Date` "
                               ">= ? AND `Order Information`.`Quoted Date` < ? ") +
                kDateOrder,
            days(first, last)};
}

Search byProductGroup(double group) {
    // One row per order with at least one line of the group.
    return {QStringLiteral(
                "SELECT `Order Information`.`Quoted Date`, `Order Information`.`Customer Ref`, "
                "`Order Information`.`Grand Total`,`Order Information`.`Quote ID` "
                "FROM `Order Information` WHERE `Order Information`.`Quote ID` IN ("
                "SELECT `Order Details`.`Order ID` FROM products INNER JOIN `Order Details` "
                "ON products.`Product Id` = `Order Details`.`Product ID` "
                "WHERE products.`group id` = ?) "
                "ORDER BY `Order Information`.`Quoted Date`, `Order Information`.`Quote ID`"),
            {group}};
}

Search byDentists(const RowSet& chosen) {
    // The chosen dentists as a table of bound values, one row per choice.
    QStringList rows;
    QVariantList binds;
    for (int r = 0; r < chosen.size(); ++r) {
        // Typed with their lengths: a bare placeholder would give the column
        // the length of no value, and the driver would refuse the rows.
        rows << QStringLiteral(
            "SELECT CAST(? AS UNSIGNED) AS `Pos`, CAST(? AS CHAR(30)) AS `Rep Code`, "
            "CAST(? AS CHAR(255)) AS `Rep Name`");
        binds << r << chosen.at(r, QStringLiteral("Rep Code")).toString()
              << chosen.at(r, QStringLiteral("Rep Name")).toString();
    }
    return {QStringLiteral("SELECT Chosen.`Rep Name`, `Order Information`.`Customer Ref`, "
                           "`Order Information`.`Grand Total`,`Order Information`.`Quote ID` "
                           "FROM (") +
                rows.join(QStringLiteral(" UNION ALL ")) +
                QStringLiteral(") AS Chosen INNER JOIN `Order Information` ON "
                               "Chosen.`Rep Code` = `Order Information`.`Sales Rep` "
                               "ORDER BY Chosen.`Pos`, `Order Information`.`Quote ID`"),
            binds};
}

RowSet dentists(Database& db) {
    return db.select(QStringLiteral("SELECT `Employee Data`.`Payroll ID` AS `Rep Code`, "
                                    "%1 AS Name From `Employee Data` "
                                    "WHERE (((`Employee Data`.Type)='Dentist'))")
                         .arg(orders::purchaserNameSql()));
}

RowSet dentist(Database& db, double payrollId) {
    return db.select(QStringLiteral("SELECT `Employee Data`.`Payroll ID` AS `Rep Code`, "
                                    "%1 AS Name "
                                    "From `Employee Data` WHERE `Employee Data`.`Payroll ID` = ?")
                         .arg(orders::purchaserNameSql()),
                     {payrollId});
}

} // namespace zel::ordersearch
