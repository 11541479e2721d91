#include "data/orders.h"
#include "connection/database.h"
#include "data/schema.h"
#include "values/localetext.h"

namespace zel::orders {

QString purchaserNameSql() {
    return QStringLiteral(
        "COALESCE(CONCAT(NULLIF(`Forenames`,''),'  ',NULLIF(`Surname`,'')), "
        "NULLIF(`Forenames`,''), "
        "NULLIF(`Surname`,''), NULLIF(`Previous Surname`,''), CONCAT('Purchaser ', `Payroll ID`))");
}

QString poLinesStatement() {
    return QStringLiteral(
        "SELECT `Order Details`.ID, `Order Details`.`Order ID`, `Order Details`.`Product ID`, "
        "`Order Details`.`Part Id`, `Order Details`.Description, `Order Details`.`Unit Price`, "
        "`Order Details`.Quantity, `Order Details`.Discount, "
        "CAST((`Order Details`.`Unit Price`*`Quantity`*(1-`Discount`)*100)/100 AS DECIMAL(10,2)) "
        "AS `Extended Price`, "
        "`Order Details`.`Parts Status`, `Order Details`.`Qty BI`, `Order Details`.`Date BI`, "
        "`Order Details`.Notes, `Order Details`.Loc, `Quantity`-`Qty BI` AS `Qty OS`, "
        "`Order Details`.GoodsDel, `Order Details`.GoodsDelNotes, `Order Details`.DueDate "
        "From `Order Details` "
        "Where `Order ID` = ? ORDER BY `Order Details`.ID");
}

QString goodsInLinesStatement() {
    return QStringLiteral(
        "SELECT `Order Details`.ID, `Order Details`.`Order ID`, `Order Details`.`Product ID`, "
        "`Order Details`.`Part Id`, `Order Details`.Description, `Order Details`.`Unit Price`, "
        "`Order Details`.Quantity,`Order Details`.`Qty BI`, `Order Details`.`Date BI`, `Order "
        "Details`.Discount, "
        "CAST((`Order Details`.`Unit Price`*`Quantity`*(1-`Discount`)*100)/100 AS DECIMAL(10,2)) "
        "AS `Extended Price`, "
        "`Order Details`.`Parts Status`,  "
        "`Order Details`.Notes, `Order Details`.Loc, `Quantity`-`Qty BI` AS `Qty OS`, "
        "`Order Details`.GoodsDel, `Order Details`.GoodsDelNotes, `Order Details`.DueDate "
        "From `Order Details` "
        "Where `Order ID` = ? ORDER BY `Order Details`.ID");
}

Totals computeTotals(double S, double D, double V, double P) {
    Totals t;
    t.subTotal = S;
    t.discountValue = S - D * S / 100.0;
    t.finalTotal = t.discountValue + V * t.discountValue / 100.0;
    t.vatValue = t.discountValue * V / 100.0;
    t.packageTotal = P + V * P / 100.0;
    return t;
}

namespace {

Money linesSubTotal(Database& db, qint64 orderKey, bool lock) {
    RowSet rs = db.select(QStringLiteral("SELECT `Unit Price`, `Quantity`, `Discount` "
                                         "FROM `Order Details` WHERE `Order ID` = ?") +
                              (lock ? QStringLiteral(" FOR UPDATE") : QString()),
                          {orderKey});
    Money sum;
    for (const auto& row : rs.rows) {
        if (row[0].isNull() || row[1].isNull() || row[2].isNull())
            continue;
        sum += Money::fromDouble(row[0].toDouble() * row[1].toDouble() * (1.0 - row[2].toDouble()));
    }
    return sum;
}

QVariantMap rowMap(const RowSet& rs) {
    QVariantMap m;
    if (!rs.isEmpty())
        for (int c = 0; c < rs.columns.size(); ++c)
            m.insert(rs.columns[c], rs.rows[0][c]);
    return m;
}

} // namespace

Money storedGrandTotal(Database& db, qint64 key) {
    RowSet h = db.select(
        QStringLiteral("SELECT `Discount`, `VAT`, `package price` FROM `Order Information` "
                       "WHERE `Quote ID` = ?"),
        {key});
    const Totals t =
        computeTotals(linesSubTotal(db, key, true).toDouble(), h.at(0, "Discount").toDouble(),
                      h.at(0, "VAT").toDouble(), h.at(0, "package price").toDouble());
    if (!h.at(0, "package price").isNull())
        return Money::fromDouble(t.packageTotal).roundedTo(2);
    const Money final = Money::fromDouble(t.finalTotal);
    return parseCurrency(currencyText(final)).value_or(final);
}

RowSet header(qint64 orderKey) {
    return gConn().select(QStringLiteral("Select * From `Order Information` Where `Quote ID` = ?"),
                          {orderKey});
}

Money subTotal(qint64 orderKey) {
    return linesSubTotal(gConn(), orderKey, false);
}

HeaderWrite saveHeader(qint64 key, const QString& customerRef, bool writeRef,
                       const QList<HeaderField>& fields, const QVariantMap& loaded,
                       const std::function<void(qint64)>& alsoInTransaction) {
    // Convert everything before anything is written.
    QStringList sets, columns;
    QVariantList binds;
    bool grandTotal = false;
    if (writeRef || key == 0) {
        sets << QStringLiteral("`Customer Ref` = ?");
        columns << QStringLiteral("Customer Ref");
        schema::checkLength(schema::OrderInformation, QStringLiteral("Customer Ref"), customerRef,
                            customerRef, QStringLiteral("Suppliers Reference"));
        binds << customerRef;
    }
    for (const HeaderField& f : fields) {
        const QString column = schema::columnName(schema::OrderInformation, f.column);
        if (column == QLatin1String("Grand Total")) {
            grandTotal = true;
            continue;
        }
        sets << schema::q(column) + QStringLiteral(" = ?");
        columns << column;
        binds << schema::columnValue(schema::OrderInformation, column, f.text,
                                     f.label.isEmpty() ? column : f.label);
    }
    Database& db = gConn();
    HeaderWrite result;
    result.key = key;
    db.transaction([&] {
        const QString lockRow =
            QStringLiteral("SELECT * FROM `Order Information` WHERE `Quote ID` = ? FOR UPDATE");
        if (key != 0) {
            const QVariantMap now = rowMap(db.select(lockRow, {key}));
            if (now.isEmpty()) {
                result.outcome = HeaderOutcome::Deleted;
                return;
            }
            // Only what this workstation saw when it loaded the order may be replaced.
            for (const QString& column : columns)
                if (loaded.contains(column) && now.value(column) != loaded.value(column)) {
                    result.outcome = HeaderOutcome::Changed;
                    return;
                }
        } else {
            result.key = db.insert(
                QStringLiteral("INSERT INTO `Order Information` (`Customer Ref`) VALUES (?)"),
                {customerRef});
        }
        if (!sets.isEmpty()) {
            QVariantList all = binds;
            all << result.key;
            db.execute(QStringLiteral("UPDATE `Order Information` SET %1 WHERE `Quote ID` = ?")
                           .arg(sets.join(u", ")),
                       all);
        }
        // The total first, so what runs with the save (the ledger posting) reads it as stored.
        if (grandTotal)
            db.execute(QStringLiteral(
                           "UPDATE `Order Information` SET `Grand Total` = ? WHERE `Quote ID` = ?"),
                       {storedGrandTotal(db, result.key).toPlainText(), result.key});
        if (alsoInTransaction)
            alsoInTransaction(result.key);
        result.stored = rowMap(db.select(lockRow, {result.key}));
    });
    return result;
}

qint64 otherOrderWithRef(qint64 key, const QString& ref) {
    return gConn()
        .scalar(
            QStringLiteral("SELECT `Quote ID` FROM `Order Information` WHERE `Customer Ref` = ? "
                           "AND `Quote ID` <> ? "
                           "AND NOT EXISTS (SELECT 1 FROM `Order Information` WHERE `Quote ID` = ? "
                           "AND `Customer Ref` = ?) ORDER BY `Quote ID` LIMIT 1"),
            {ref, key, key, ref})
        .toLongLong();
}

QVariant storedStatus(qint64 orderKey) {
    return gConn().scalar(
        QStringLiteral("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?"),
        {orderKey});
}

bool fillLineFromCatalogue(const QVariant& lineKey, const QString& code, const QVariant& status) {
    return gConn().execute(
               QStringLiteral(
                   "UPDATE `Order Details` d JOIN (SELECT `Product ID`, `Product Name`, "
                   "COALESCE(`English Name`, `QuoteDescName`) AS `Description`, `Unit Price` "
                   "FROM `Products` WHERE `Product Name` = ? ORDER BY `Product ID` LIMIT 1) p "
                   "SET d.`Product ID` = p.`Product ID`, d.`Part Id` = p.`Product Name`, "
                   "d.`Description` = p.`Description`, d.`Unit Price` = p.`Unit Price`, "
                   "d.`Quantity` = 1, d.`Discount` = 0, d.`Parts Status` = ? "
                   "WHERE d.`ID` = ? AND d.`Product ID` IS NULL AND d.`Description` IS NULL"),
               {code, status, lineKey}) > 0;
}

qint64 stampStatus(qint64 orderKey, const QVariant& statusId) {
    return gConn().execute(
        QStringLiteral("UPDATE `Order Details` SET `Parts Status` = ? WHERE `Order ID` = ?"),
        {statusId, orderKey});
}

void deleteOrder(qint64 orderKey) {
    gConn().transaction([&] {
        gConn().execute(QStringLiteral("Delete from `Order Details` Where `Order ID` = ?"),
                        {orderKey});
        gConn().execute(QStringLiteral("Delete From `Order Information` Where `Quote ID` = ?"),
                        {orderKey});
    });
}

bool isKnownPart(const QString& code) {
    return !gConn()
                .scalar(QStringLiteral(
                            "Select `Product ID` From `Products` Where `Product Name` = ? LIMIT 1"),
                        {code})
                .isNull();
}

qint64 lineCount(qint64 orderKey) {
    return gConn()
        .scalar(QStringLiteral("SELECT COUNT(*) FROM `Order Details` WHERE `Order ID` = ?"),
                {orderKey})
        .toLongLong();
}

void adoptLine(qint64 orderKey, const QVariant& lineKey) {
    gConn().execute(
        QStringLiteral(
            "UPDATE `Order Details` SET `Order ID` = ? WHERE `ID` = ? AND `Order ID` = 0"),
        {orderKey, lineKey});
}

QString refMatchStatement(int page) {
    return QStringLiteral("SELECT `Customer Ref`, `Quote ID` FROM `Order Information` "
                          "WHERE `Customer Ref` LIKE ? ESCAPE '!' "
                          "ORDER BY `Customer Ref`, `Quote ID` LIMIT %1")
        .arg(page);
}

QString refByKeyStatement() {
    return QStringLiteral(
        "SELECT `Customer Ref`, `Quote ID` FROM `Order Information` WHERE `Quote ID` = ?");
}

qint64 findOrderByRef(const QString& ref) {
    return gConn()
        .scalar(
            QStringLiteral("SELECT `Quote ID` FROM `Order Information` WHERE `Customer Ref` = ? "
                           "ORDER BY `Customer Ref`, `Quote ID` LIMIT 1"),
            {ref})
        .toLongLong();
}

qint64 lastOrder() {
    return gConn()
        .scalar(QStringLiteral(
            "SELECT `Quote ID` FROM `Order Information` ORDER BY `Quote ID` DESC LIMIT 1"))
        .toLongLong();
}

} // namespace zel::orders
