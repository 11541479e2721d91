#include "data/catalogue.h"
#include "data/schema.h"

#include <QStringList>

namespace zel::products {

namespace {
// The product's columns as the finder shows them, up to the WHERE.
const QString kColumns = QStringLiteral(
    "SELECT Products.`Product Name`, Products.`English Name`, Products.`group id`, "
    "Products.QuoteDesc, Products.`Product Id`, Products.QuoteDescName, Products.`Unit Price` "
    "From Products ");
} // namespace

Selector selectorBy(const QString& column, int page) {
    const QString c = QStringLiteral("Products.") + schema::q(column);
    return {kColumns + QStringLiteral("WHERE ") + c +
                QStringLiteral(" LIKE ? ESCAPE '!' ORDER BY ") + c +
                QStringLiteral(", Products.`Product ID` LIMIT %1").arg(page),
            kColumns + QStringLiteral("WHERE ") + c +
                QStringLiteral(" = ? ORDER BY Products.`Product ID` LIMIT 1")};
}

RowSet firstBy(const QString& column, const QVariant& value) {
    return gConn().select(kColumns + QStringLiteral("Where ") + schema::q(column) +
                              QStringLiteral(" = ? ORDER BY `Product ID` LIMIT 1"),
                          {value});
}

void update(qlonglong productId, const QList<Change>& changes) {
    if (changes.isEmpty())
        return;
    QStringList sets;
    QVariantList binds;
    for (const Change& c : changes) {
        sets << schema::q(c.column) + QStringLiteral(" = ?");
        binds << c.value;
    }
    binds << productId;
    gConn().execute(QStringLiteral("UPDATE `Products` SET ") + sets.join(QStringLiteral(", ")) +
                        QStringLiteral(" WHERE `Product ID` = ?"),
                    binds);
}

bool addLine(const Line& line) {
    if (!gConn()
             .scalar(QStringLiteral("SELECT `ID` FROM `Order Details` WHERE `Order ID` = ? AND "
                                    "`Product ID` = ? LIMIT 1"),
                     {line.order, line.product})
             .isNull())
        return false;
    gConn().insert(
        QStringLiteral(
            "INSERT INTO `Order Details` (`Order ID`, `Product ID`, `Part Id`, `Unit Price`, "
            "`Description`, `Parts Status`, `Quantity`, `Discount`) "
            "VALUES (?, ?, ?, ?, ?, ?, 1, 0)"),
        {line.order, line.product, line.partId, line.unitPrice, line.description, line.status});
    return true;
}

QString groupsStatement() {
    return QStringLiteral("SELECT * From `Product Group`");
}

Saved save(const Product& p) {
    const QVariantList values = {p.code,          p.englishName,       p.unitPrice,
                                 p.quoteDescName, p.quoteDesc ? 1 : 0, p.group};
    const QVariant existing =
        gConn().scalar(QStringLiteral("SELECT `Product ID` FROM `Products` WHERE `Product Name` = "
                                      "? ORDER BY `Product ID` LIMIT 1"),
                       {p.code});
    if (existing.isNull()) {
        gConn().insert(
            QStringLiteral("INSERT INTO `Products` (`Product Name`, `English Name`, `Unit Price`, "
                           "`QuoteDescName`, `QuoteDesc`, `group id`) VALUES (?, ?, ?, ?, ?, ?)"),
            values);
        return Saved::Added;
    }
    gConn().execute(
        QStringLiteral(
            "UPDATE `Products` SET `Product Name` = ?, `English Name` = ?, `Unit Price` = ?, "
            "`QuoteDescName` = ?, `QuoteDesc` = ?, `group id` = ? WHERE `Product ID` = ?"),
        values + QVariantList{existing});
    return Saved::Replaced;
}

} // namespace zel::products
