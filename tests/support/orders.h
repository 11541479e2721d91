#pragma once
// Builders the order window tests share: orders stored as a test needs them,
// and a reference picked or typed as the user would.
#include "bound/datacombo.h"
#include "connection/database.h"

#include <QLineEdit>
#include <QList>
#include <QStringList>
#include <QTest>
#include <QVariant>

namespace zel::test {

// The header columns of a stored order.
struct OrderHeader {
    QVariant account = "1008";
    QVariant shipTo = 103;
    QVariant status = 2;
    QVariant discount = 0;
    QVariant vat = 20;
    QVariant packagePrice;
};

// An order with the given lines of part P1 (price, quantity, discount
// fraction or empty for NULL).
inline qint64 makeOrder(const QString& ref, const QList<QStringList>& lines,
                        const OrderHeader& h = {}) {
    const qint64 key =
        gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Account No`, `Shipto "
                       "id`, `Status`, `Discount`, `VAT`, `package price`) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?)",
                       {ref, h.account, h.shipTo, h.status, h.discount, h.vat, h.packagePrice});
    for (const QStringList& l : lines)
        gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Unit Price`, "
                       "`Quantity`, `Discount`) VALUES (?, 'P1', ?, ?, ?)",
                       {key, l[0], l[1], l[2].isEmpty() ? QVariant() : QVariant(l[2])});
    return key;
}

// Picks the order from a reference selector as a click on the list does.
inline void pickOrder(DataCombo* refs, qint64 key) {
    refs->pickKey(QString::number(key));
}

// Types a reference as the user would, replacing what is there.
inline void typeRef(DataCombo* refs, const QString& ref) {
    refs->lineEdit()->selectAll();
    QTest::keyClicks(refs->lineEdit(), ref);
}

} // namespace zel::test
