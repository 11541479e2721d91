#include "data/deliveries.h"
#include "app/database.h"
#include "data/statuses.h"

#include <QDateTime>

namespace zel::deliveries {

int daysLate(QDate due, QDate today) {
    if (!due.isValid() || !today.isValid() || due >= today)
        return 0;
    return int(due.daysTo(today));
}

QList<Line> outstanding(QDate today) {
    // The approved orders come from the status index, their lines from the
    // order index; the list is short whatever the size of the practice.
    const RowSet rs = gConn().select(
        QStringLiteral(
            "SELECT `Order Information`.`Quote ID`, `Order Details`.`ID`, "
            "COALESCE(`Order Information`.`Customer Name`, "
            "`Order Information`.`Customer Shortname`), `Order Information`.`Account No`, "
            "`Order Information`.`Customer Ref`, `Order Information`.`Quoted Date`, "
            "`Order Details`.`DueDate`, `Order Details`.`Part Id`, "
            "`Order Details`.`Description`, `Order Details`.`Quantity`, "
            "COALESCE(`Order Details`.`Qty BI`, 0) "
            "FROM `Order Information` INNER JOIN `Order Details` "
            "ON `Order Details`.`Order ID` = `Order Information`.`Quote ID` "
            "WHERE `Order Information`.`Status` = ? "
            "AND `Order Details`.`Quantity` > COALESCE(`Order Details`.`Qty BI`, 0) "
            "ORDER BY `Order Details`.`DueDate` IS NULL, `Order Details`.`DueDate`, "
            "`Order Information`.`Quote ID`, `Order Details`.`ID`"),
        {statuses::kApproved});
    QList<Line> out;
    out.reserve(rs.size());
    for (const auto& row : rs.rows) {
        Line l;
        l.order = row[0].toLongLong();
        l.line = row[1].toLongLong();
        l.supplier = row[2].toString();
        l.account = row[3].toString();
        l.orderRef = row[4].toString();
        l.ordered = row[5].toDateTime().date();
        l.due = row[6].toDateTime().date();
        l.partId = row[7].toString();
        l.description = row[8].toString();
        l.quantity = row[9].toInt();
        l.booked = row[10].toInt();
        l.daysLate = daysLate(l.due, today);
        out << l;
    }
    return out;
}

} // namespace zel::deliveries
