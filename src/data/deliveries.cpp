#include "data/deliveries.h"
#include "connection/database.h"
#include "data/statuses.h"

#include <QDateTime>
#include <QMap>

namespace zel::deliveries {

namespace {

const QString kSupplier = QStringLiteral(
    "COALESCE(`Order Information`.`Customer Name`, `Order Information`.`Customer Shortname`)");

// The approved orders and their lines with less booked in than ordered
// (nothing booked counts as 0). The server reads both from indexes alone:
// the orders from the status index, their lines from the order index.
const QString kLinesOutstanding =
    QStringLiteral("FROM `Order Information` INNER JOIN `Order Details` "
                   "ON `Order Details`.`Order ID` = `Order Information`.`Quote ID` "
                   "WHERE `Order Information`.`Status` = ? "
                   "AND `Order Details`.`Quantity` > COALESCE(`Order Details`.`Qty BI`, 0)");

QString dateLiteral(QDate d) {
    return QStringLiteral("DATE'%1'")
        .arg((d.isValid() ? d : QDate::currentDate()).toString(QStringLiteral("yyyy-MM-dd")));
}

// A date column as dates go in the list: by day, those without one last.
QString byDate(const QString& column, const char* direction) {
    return QStringLiteral("%1 IS NULL %2, CAST(%1 AS DATE) %2")
        .arg(column, QLatin1String(direction));
}

QString orderBy(const View& view, QDate today) {
    const char* dir = view.descending ? "DESC" : "ASC";
    const QString d = QLatin1String(dir);
    QString key;
    switch (view.sortBy) {
    case SortBy::Supplier:
        key = kSupplier + u' ' + d;
        break;
    case SortBy::OrderRef:
        key = QStringLiteral("`Order Information`.`Customer Ref` ") + d;
        break;
    case SortBy::Ordered:
        key = byDate(QStringLiteral("`Order Information`.`Quoted Date`"), dir);
        break;
    case SortBy::Due:
        key = byDate(QStringLiteral("`Order Details`.`DueDate`"), dir);
        break;
    case SortBy::DaysLate:
        key = QStringLiteral("GREATEST(COALESCE(DATEDIFF(%1, `Order Details`.`DueDate`), 0), 0) ")
                  .arg(dateLiteral(today)) +
              d;
        break;
    case SortBy::PartId:
        key = QStringLiteral("`Order Details`.`Part Id` ") + d;
        break;
    case SortBy::Description:
        key = QStringLiteral("`Order Details`.`Description` ") + d;
        break;
    case SortBy::Quantity:
        key = QStringLiteral("`Order Details`.`Quantity` ") + d;
        break;
    case SortBy::Booked:
        key = QStringLiteral("COALESCE(`Order Details`.`Qty BI`, 0) ") + d;
        break;
    case SortBy::Outstanding:
        key =
            QStringLiteral("`Order Details`.`Quantity` - COALESCE(`Order Details`.`Qty BI`, 0) ") +
            d;
        break;
    }
    return QStringLiteral(" ORDER BY ") + key + QStringLiteral(", ") +
           byDate(QStringLiteral("`Order Details`.`DueDate`"), "ASC") +
           QStringLiteral(", `Order Information`.`Quote ID`, `Order Details`.`ID`");
}

} // namespace

int daysLate(QDate due, QDate today) {
    if (!due.isValid() || !today.isValid() || due >= today)
        return 0;
    return int(due.daysTo(today));
}

SupplierCount Summary::of(const QString& supplier) const {
    if (supplier.isEmpty())
        return {QString(), lines, late};
    for (const SupplierCount& s : suppliers)
        if (s.supplier == supplier)
            return s;
    return {supplier, 0, 0};
}

QString summaryStatement(QDate today) {
    // Counted order by order, in the status index's own order, so the server
    // needs no temporary table; the orders' counts are added up by supplier
    // here, where a supplier's name and its short name (for one without a
    // name) are put together, in whatever letter case they were typed.
    return QStringLiteral("SELECT MIN(`Order Information`.`Customer Name`), "
                          "MIN(`Order Information`.`Customer Shortname`), COUNT(*), "
                          "SUM(`Order Details`.`DueDate` < %1) ")
               .arg(dateLiteral(today)) +
           kLinesOutstanding + QStringLiteral(" GROUP BY `Order Information`.`Quote ID`");
}

Summary summary(QDate today) {
    const RowSet rs = gConn().select(summaryStatement(today), {statuses::kApproved});
    QMap<QString, SupplierCount> bySupplier; // case-insensitive names, in order
    Summary out;
    for (const auto& row : rs.rows) {
        const QString name = row[0].isNull() ? row[1].toString() : row[0].toString();
        const int lines = row[2].toInt(), late = row[3].toInt();
        out.lines += lines;
        out.late += late;
        if (name.isEmpty())
            continue;
        SupplierCount& s = bySupplier[name.toCaseFolded()];
        if (s.supplier.isEmpty())
            s.supplier = name;
        s.lines += lines;
        s.late += late;
    }
    out.suppliers = bySupplier.values();
    return out;
}

QString outstandingStatement(const View& view, QDate today, int first, int count) {
    const QString columns =
        QStringLiteral("SELECT `Order Information`.`Quote ID`, `Order Details`.`ID`, %1, "
                       "`Order Information`.`Account No`, `Order Information`.`Customer Ref`, "
                       "`Order Information`.`Quoted Date`, `Order Details`.`DueDate`, "
                       "`Order Details`.`Part Id`, `Order Details`.`Description`, "
                       "`Order Details`.`Quantity`, COALESCE(`Order Details`.`Qty BI`, 0) ")
            .arg(kSupplier);
    const QString order = orderBy(view, today);
    const QString ofSupplier = view.supplier.isEmpty()
                                   ? QString()
                                   : QStringLiteral(" AND ") + kSupplier + QStringLiteral(" = ?");
    first = std::max(first, 0);
    if (count < 0 && first == 0)
        return columns + kLinesOutstanding + ofSupplier + order;
    // A page: its lines are picked and put in order from the indexes alone,
    // and only they are then read in full.
    const QString pick =
        QStringLiteral("SELECT `Order Details`.`ID` ") + kLinesOutstanding + ofSupplier + order +
        QStringLiteral(" LIMIT %1, %2")
            .arg(first)
            .arg(count < 0 ? QStringLiteral("18446744073709551615") : QString::number(count));
    return columns +
           QStringLiteral("FROM (%1) AS `Picked` "
                          "INNER JOIN `Order Details` ON `Order Details`.`ID` = `Picked`.`ID` "
                          "INNER JOIN `Order Information` "
                          "ON `Order Information`.`Quote ID` = `Order Details`.`Order ID`")
               .arg(pick) +
           order;
}

QList<Line> outstanding(const View& view, QDate today, int first, int count) {
    if (count == 0)
        return {};
    QVariantList binds = {statuses::kApproved};
    if (!view.supplier.isEmpty())
        binds << view.supplier;
    const RowSet rs = gConn().select(outstandingStatement(view, today, first, count), binds);
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
