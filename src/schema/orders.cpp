#include "schema/orders.h"
#include "app/database.h"
#include "schema/schema.h"

namespace zel::orders {

QString refListStatement() {
    return QStringLiteral("SELECT `Order Information`.`Customer Ref`, `Quote ID` "
                          "From `Order Information` "
                          "ORDER BY `Order Information`.`Customer Ref`;");
}

QString purchaserNameSql() {
    return QStringLiteral(
        "COALESCE(CONCAT(NULLIF(`Forenames`,''),'  ',NULLIF(`Surname`,'')), NULLIF(`Forenames`,''), "
        "NULLIF(`Surname`,''), NULLIF(`Previous Surname`,''), CONCAT('Purchaser ', `Payroll ID`))");
}

QString statusListStatement() { return QStringLiteral("SELECT * FROM `Status Table`"); }

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

Money subTotal(qint64 orderKey) {
    RowSet rs = gConn().select(QStringLiteral("SELECT `Unit Price`, `Quantity`, `Discount` "
                                              "FROM `Order Details` WHERE `Order ID` = ?"),
                               {orderKey});
    Money sum;
    for (const auto& row : rs.rows) {
        if (row[0].isNull() || row[1].isNull() || row[2].isNull())
            continue;
        sum += Money::fromDouble(row[0].toDouble() * row[1].toDouble() * (1.0 - row[2].toDouble()));
    }
    return sum;
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

qint64 saveHeader(qint64 key, const QString& customerRef, const QList<HeaderField>& fields,
                  const std::function<void(qint64)>& alsoInTransaction) {
    // Convert everything before anything is written.
    QStringList sets;
    QVariantList binds;
    sets << QStringLiteral("`Customer Ref` = ?");
    schema::checkLength(schema::OrderInformation, QStringLiteral("Customer Ref"), customerRef, customerRef,
                        QStringLiteral("Suppliers Reference"));
    binds << customerRef;
    for (const HeaderField& f : fields) {
        const QString column = schema::columnName(schema::OrderInformation, f.column);
        sets << schema::q(column) + QStringLiteral(" = ?");
        binds << schema::columnValue(schema::OrderInformation, column, f.text, f.label.isEmpty() ? column : f.label);
    }
    Database& db = gConn();
    qint64 saved = key;
    db.transaction([&] {
        bool exists =
            key != 0 && !db.scalar(QStringLiteral("SELECT `Quote ID` FROM `Order Information` "
                                                  "WHERE `Quote ID` = ? FOR UPDATE"),
                                   {key})
                             .isNull();
        if (!exists)
            saved = db.insert(QStringLiteral("INSERT INTO `Order Information` (`Customer Ref`) VALUES (?)"),
                              {customerRef});
        QVariantList all = binds;
        all << saved;
        db.execute(QStringLiteral("UPDATE `Order Information` SET %1 WHERE `Quote ID` = ?").arg(sets.join(u", ")),
                   all);
        if (alsoInTransaction)
            alsoInTransaction(saved);
    });
    return saved;
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

bool isPosted(qint64 orderKey) {
    return !gConn()
                .scalar(QStringLiteral("SELECT `id` FROM `Transaction` WHERE `Ref` = ? AND `Type` "
                                       "= 'Stock Purchase' "
                                       "LIMIT 1"),
                        {double(orderKey)})
                .isNull();
}

void post(const Posting& p) {
    gConn().insert(
        QStringLiteral(
            "INSERT INTO `Transaction` (`AccountHolder`, `Ref`, `TypeRef`, `Item`, `Cinout`, "
            "`DCinout`, `Type`, `Date`, `CostPool`) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {p.accountHolder, double(p.orderKey), p.typeRef,
         QStringLiteral("Stock Purchase for suppliers Ref  ") + p.customerRef,
         (-p.total).toPlainText(), 0, QStringLiteral("Stock Purchase"), p.date, 2020});
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
    return gConn().execute(QStringLiteral("UPDATE `Order Details` SET `Parts Status` = ? WHERE `Order ID` = ?"),
                           {statusId, orderKey});
}

void deleteOrder(qint64 orderKey) {
    gConn().transaction([&] {
        gConn().execute(QStringLiteral("Delete from `Order Details` Where `Order ID` = ?"), {orderKey});
        gConn().execute(QStringLiteral("Delete From `Order Information` Where `Quote ID` = ?"), {orderKey});
    });
}

qint64 findOrderByRef(const QString& ref) {
    return gConn()
        .scalar(QStringLiteral("SELECT `Quote ID` FROM `Order Information` WHERE `Customer Ref` = ? "
                               "ORDER BY `Customer Ref`, `Quote ID` LIMIT 1"),
                {ref})
        .toLongLong();
}

qint64 lastOrder() {
    return gConn()
        .scalar(QStringLiteral("SELECT `Quote ID` FROM `Order Information` ORDER BY `Quote ID` DESC LIMIT 1"))
        .toLongLong();
}

} // namespace zel::orders
