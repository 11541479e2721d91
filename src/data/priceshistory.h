#pragma once
// The prices last paid for a product: what the order lines and the part
// finder show beside a price, so a price well above the last one paid to the
// same supplier stands out before the order goes.
#include "values/money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace zel::prices {

// One price paid: the unit price on a line of a stored order, with that
// order's date and reference.
struct Paid {
    qint64 order = 0;
    QDate date; // invalid when the order has no date
    QString orderRef;
    Money unitPrice;
};

// How many prices are shown.
inline constexpr int kShown = 3;

// The last `count` prices paid for `productId` to the supplier with account
// `account` on orders other than `exceptOrder`, newest first (by order date,
// then order number). No account or no product: none. One statement, read
// through the product's index.
QList<Paid> lastPaid(qlonglong productId, const QString& account, qint64 exceptOrder,
                     int count = kShown);

// The index of `Order Information` the look-up reads the orders through when
// the database has it: (`Quote ID`, `Account No`, `Quoted Date`, `Customer Ref`).
inline constexpr QLatin1String kOrderIndex("ix_order_supplier");

// The statement of lastPaid: binds product, account, order to leave out.
// `throughOrderIndex` names kOrderIndex, which must then exist.
QString lastPaidStatement(int count = kShown, bool throughOrderIndex = false);
// The database has kOrderIndex (asked once per connection).
bool orderIndexPresent();

// True when `price` is more than 10 % above the newest price paid (exactly
// 10 % above is not). Never with nothing paid before, or a last price of 0.
bool aboveLastPaid(Money price, const QList<Paid>& paid);

// The prices as lines of text, one a price: "05/03/2026  £12.50  ACME/26/00012";
// "No earlier orders of this product from this supplier." when there are none.
QStringList describe(const QList<Paid>& paid);

// What a marked price says: "Unit price £13.00 is 18.2 % above the last price
// paid (£11.00 on 05/03/2026)." Empty when the price is not marked.
QString markText(Money price, const QList<Paid>& paid);

// The whole note for a price: the mark (when marked) and the prices paid
// under the heading "Last prices paid to this supplier:".
QString note(std::optional<Money> price, const QList<Paid>& paid);

} // namespace zel::prices
