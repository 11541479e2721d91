#include "data/printouts.h"
#include "data/poinstructions.h"

namespace zel::printouts {

namespace {

QVariantList addressOf(const RowSet& rs) {
    QVariantList fields;
    if (rs.isEmpty())
        return fields;
    for (const char* c : {"Forenames", "Address1", "Address2", "Town", "County", "Post Code"})
        fields << rs.at(0, QString::fromLatin1(c));
    return fields;
}

} // namespace

RowSet order(qint64 orderKey) {
    return gConn().select(QStringLiteral("Select * From `Order Information` Where `Quote ID` = ?"),
                          {orderKey});
}

QVariantList addressByAccount(qint64 payrollId) {
    return addressOf(gConn().select(
        QStringLiteral(
            "Select * From `Employee Data` Where `Payroll ID` = ? ORDER BY `Employee ID` LIMIT 1"),
        {payrollId}));
}

QVariantList addressByRow(qint64 employeeId) {
    return addressOf(gConn().select(
        QStringLiteral("Select * From `Employee Data` Where `Employee ID` = ?"), {employeeId}));
}

QVariantList headOffice() {
    return addressOf(gConn().select(QStringLiteral(
        "Select * From `Employee Data` Where `Type` = 'Practice' ORDER BY `Employee ID` LIMIT 1")));
}

QString poInstruction() {
    return poinstructions::text();
}

RowSet lines(qint64 orderKey, LineColumns columns) {
    QString sql = QStringLiteral("SELECT 1 AS Item, `Order Details`.`Part Id`, `Order "
                                 "Details`.Quantity, `Order Details`.Description, "
                                 "`Order Details`.`Unit Price`, CAST(((`Order Details`.`Unit "
                                 "Price`*`Quantity`*(1-`Discount`)*100)/100) AS "
                                 "DECIMAL(10,2)) AS `Extended Price` ");
    if (columns == LineColumns::WithBookedIn)
        sql += QStringLiteral(", `Order Details`.`Qty BI` ");
    sql += QStringLiteral("FROM `Order Details` Where `Order ID` = ? ORDER BY `Order Details`.ID");
    return gConn().select(sql, {orderKey});
}

} // namespace zel::printouts
