#include "data/priceshistory.h"
#include "connection/database.h"
#include "values/localetext.h"

#include <QDateTime>

namespace zel::prices {

QString lastPaidStatement(int count, bool throughOrderIndex) {
    // The product's lines come from its index. Each line's order is read from
    // the narrow index of order, supplier, date and reference when the
    // database has it: the rows it needs lie on a few pages there, where the
    // orders themselves are spread over the whole table, and the server
    // would take the order's key unless told.
    return QStringLiteral(
               "SELECT `Order Information`.`Quote ID`, `Order Information`.`Quoted Date`, "
               "`Order Information`.`Customer Ref`, `Order Details`.`Unit Price` "
               "FROM `Order Details` INNER JOIN `Order Information`%2 "
               "ON `Order Information`.`Quote ID` = `Order Details`.`Order ID` "
               "WHERE `Order Details`.`Product ID` = ? AND `Order Information`.`Account No` = ? "
               "AND `Order Details`.`Order ID` <> ? AND `Order Details`.`Unit Price` IS NOT NULL "
               "ORDER BY `Order Information`.`Quoted Date` DESC, `Order Information`.`Quote ID` "
               "DESC, `Order Details`.`ID` DESC LIMIT %1")
        .arg(count)
        .arg(throughOrderIndex ? QStringLiteral(" FORCE INDEX (`%1`)").arg(kOrderIndex)
                               : QString());
}

bool orderIndexPresent() {
    return gConn().hasIndex(QStringLiteral("Order Information"), kOrderIndex);
}

QList<Paid> lastPaid(qlonglong productId, const QString& account, qint64 exceptOrder, int count) {
    if (productId == 0 || account.trimmed().isEmpty() || count <= 0)
        return {};
    const QVariantList binds = {productId, account, exceptOrder};
    RowSet rs;
    if (!orderIndexPresent()) {
        rs = gConn().select(lastPaidStatement(count), binds);
    } else {
        try {
            rs = gConn().select(lastPaidStatement(count, true), binds);
        } catch (const DbError& e) {
            // Dropped since this connection looked: read the orders by their key.
            if (e.connectionLost())
                throw;
            gConn().forgetIndexes();
            rs = gConn().select(lastPaidStatement(count, orderIndexPresent()), binds);
        }
    }
    QList<Paid> out;
    for (const auto& row : rs.rows) {
        Paid p;
        p.order = row[0].toLongLong();
        p.date = row[1].toDateTime().date();
        p.orderRef = row[2].toString();
        p.unitPrice = Money::fromDecimalText(row[3].toString()).value_or(Money{});
        out << p;
    }
    return out;
}

bool aboveLastPaid(Money price, const QList<Paid>& paid) {
    if (paid.isEmpty() || paid.first().unitPrice <= Money{})
        return false;
    // In whole ten-thousandths, so exactly 10 % above is never taken for more.
    return __int128(price.units()) * 100 > __int128(paid.first().unitPrice.units()) * 110;
}

QStringList describe(const QList<Paid>& paid) {
    if (paid.isEmpty())
        return {QStringLiteral("No earlier orders of this product from this supplier.")};
    QStringList lines;
    for (const Paid& p : paid)
        lines << QStringLiteral("%1  %2  %3")
                     .arg(p.date.isValid() ? shortDateText(p.date) : QStringLiteral("(no date)"),
                          currencyText(p.unitPrice, 2), p.orderRef);
    return lines;
}

QString markText(Money price, const QList<Paid>& paid) {
    if (!aboveLastPaid(price, paid))
        return {};
    const Paid& last = paid.first();
    const double percent = (price.toDouble() / last.unitPrice.toDouble() - 1.0) * 100.0;
    QString when;
    if (last.date.isValid())
        when = QStringLiteral(" on ") + shortDateText(last.date);
    return QStringLiteral("Unit price %1 is %2 % above the last price paid (%3%4).")
        .arg(currencyText(price, 2), QString::number(percent, 'f', 1),
             currencyText(last.unitPrice, 2), when);
}

QString note(std::optional<Money> price, const QList<Paid>& paid) {
    QStringList parts;
    if (price) {
        const QString mark = markText(*price, paid);
        if (!mark.isEmpty())
            parts << mark;
    }
    parts << QStringLiteral("Last prices paid to this supplier:");
    parts << describe(paid);
    return parts.join(u'\n');
}

} // namespace zel::prices
