#pragma once
// The product catalogue: the statements of the part finder and the product
// entry. Values come converted to their columns; the windows convert them.
// (The namespace is `products`: `catalogue` names the windows' helpers.)
#include "connection/database.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace zel::products {

// The two statements of a selector that looks products up by one column:
// `matchSql` reads a page of the products whose column matches a LIKE
// pattern (escape '!'), `keySql` the first product whose column equals a key.
struct Selector {
    QString matchSql;
    QString keySql;
};
Selector selectorBy(const QString& column, int page);

// The first product (by id) whose `column` equals `value`, with the columns
// the finder shows; no rows when none.
RowSet firstBy(const QString& column, const QVariant& value);

// One column of a product and its new value.
struct Change {
    QString column;
    QVariant value;
};
// Writes the changes to the product in one statement; no changes write nothing.
void update(qlonglong productId, const QList<Change>& changes);

// A line taken from the catalogue onto an order.
struct Line {
    qint64 order = 0;
    qlonglong product = 0;
    QVariant partId, unitPrice, description, status;
};
// Adds the line as one of the product at no discount; false, writing
// nothing, when the product is already on the order.
bool addLine(const Line& line);

// The product groups (`desc`, `analcode`), for the entry's group selector.
QString groupsStatement();

// A product as the entry stores it.
struct Product {
    QString code;
    QVariant englishName, unitPrice, quoteDescName;
    bool quoteDesc = false;
    QVariant group;
};
enum class Saved { Added, Replaced };
// Stores the product under its code: a code already in the catalogue is that
// product (the first by id), overwritten.
Saved save(const Product& product);

} // namespace zel::products
