#include "data/deliveries.h"
#include "connection/database.h"
#include "data/statuses.h"

#include <QDateTime>
#include <algorithm>
#include <utility>

namespace zel::deliveries {

int daysLate(QDate due, QDate today) {
    if (!due.isValid() || !today.isValid() || due >= today)
        return 0;
    return int(due.daysTo(today));
}

QString outstandingStatement() {
    // The approved orders come from the status index, their lines from the
    // order index. The lines are put in order here: sorted by the server
    // they would go through a temporary table with their descriptions.
    return QStringLiteral(
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
        "AND `Order Details`.`Quantity` > COALESCE(`Order Details`.`Qty BI`, 0)");
}

QList<Line> outstanding(QDate today) {
    const RowSet rs = gConn().select(outstandingStatement(), {statuses::kApproved});
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
    std::sort(out.begin(), out.end(), [](const Line& x, const Line& y) {
        if (x.due.isValid() != y.due.isValid())
            return x.due.isValid();
        if (x.due != y.due)
            return x.due < y.due;
        return std::pair(x.order, x.line) < std::pair(y.order, y.line);
    });
    return out;
}

} // namespace zel::deliveries
