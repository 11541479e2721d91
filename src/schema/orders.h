#pragma once
// Statements and routines shared by the purchase order and goods inward
// windows: the order lists, the lines, the sub-total, the header save, the
// status stamp and the delete.
#include "connection/database.h"
#include "values/convert.h"
#include "values/money.h"

#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <functional>

namespace zel::orders {

// The SQL expression that names a purchaser (an `Employee Data` row) in a
// list: forenames, two blanks and surname; or whichever of them is known; or
// the short name; or, failing all, "Purchaser" and the code. Never NULL.
QString purchaserNameSql();
// An order's lines in the purchase order window's column order; one bound key.
QString poLinesStatement();
// The columns of poLinesStatement(), in its order.
namespace poline {
enum Column : int {
    colID = 0,
    colOrderID,
    colProductID,
    colPartId,
    colDescription,
    colUnitPrice,
    colQuantity,
    colDiscount,
    colExtendedPrice,
    colPartsStatus,
    colQtyBI,
    colDateBI,
    colNotes,
    colLoc,
    colQtyOS,
    colGoodsDel,
    colGoodsDelNotes,
    colDueDate
};
} // namespace poline

// An order's lines in the goods inward window's column order; one bound key.
QString goodsInLinesStatement();
// The columns of goodsInLinesStatement(), in its order.
namespace goodsinline {
enum Column : int {
    colID = 0,
    colOrderID,
    colProductID,
    colPartId,
    colDescription,
    colUnitPrice,
    colQuantity,
    colQtyBI,
    colDateBI,
    colDiscount,
    colExtendedPrice,
    colPartsStatus,
    colNotes,
    colLoc,
    colQtyOS,
    colGoodsDel,
    colGoodsDelNotes,
    colDueDate
};
} // namespace goodsinline

// The header row of an order (every column); empty when it is not stored.
RowSet header(qint64 orderKey);

// The order's sub-total: each line's `Unit Price` x `Quantity` x (1 - `Discount`)
// rounded to four decimals; a line with any of the three NULL adds nothing.
Money subTotal(qint64 orderKey);

// The totals beside the lines, from the sub-total S, the order discount D
// (per cent), the VAT rate V (per cent) and the package price P.
struct Totals {
    double subTotal = 0, discountValue = 0, vatValue = 0, finalTotal = 0, packageTotal = 0;
};
Totals computeTotals(double S, double D, double V, double P);

// One header column and the text of the box it comes from; `label` names the
// field in a refusal message.
struct HeaderField {
    QString column;
    QString text;
    QString label;
};

// How a header write ended: written; stopped because another workstation
// changed a column being written since the order was loaded (Changed); or
// stopped because the order is no longer stored (Deleted). Nothing is
// written unless Written.
enum class HeaderOutcome { Written, Changed, Deleted };
struct HeaderWrite {
    HeaderOutcome outcome = HeaderOutcome::Written;
    qint64 key = 0;
    // The header row as stored after the write, by column name.
    QVariantMap stored;
};

// Writes `fields` (empty text is NULL) and, when `writeRef`, the reference to
// the header of order `key`; key 0 inserts a new order. `loaded` holds the
// stored values, by column name, the window showed when it loaded the order:
// a written column whose stored value differs from it now was changed on
// another workstation, and nothing is written. Checked and written under the
// row's lock, in one transaction with `alsoInTransaction` (given the key).
// A field "Grand Total" is not taken from its text: the total is computed
// from the lines as stored at that moment and the stored discount, VAT and
// package price (with a package price, the package total). Every field is
// converted first, so a refused one (ConversionError) writes nothing.
HeaderWrite saveHeader(qint64 key, const QString& customerRef, bool writeRef,
                       const QList<HeaderField>& fields, const QVariantMap& loaded,
                       const std::function<void(qint64)>& alsoInTransaction = {});

// Another order than `key` that already carries the reference `ref`, when
// saving `key` under `ref` would give it that reference (a new order, or one
// whose stored reference differs); 0 when none.
qint64 otherOrderWithRef(qint64 key, const QString& ref);

// The stored status of the order; NULL when it has none or does not exist.
QVariant storedStatus(qint64 orderKey);

// The order's total from what is stored: its lines (read under lock), its
// discount, VAT and package price. With a package price, the package total
// with 2 decimals; else the final total as the workstation's currency shows it.
Money storedGrandTotal(Database& db, qint64 orderKey);

// Fills an order line that holds only a typed product code from the
// catalogue entry with that code: product, code, description, price,
// quantity 1, no discount, and the given status. A line that already has a
// product or a description is left alone. True when the line was filled.
bool fillLineFromCatalogue(const QVariant& lineKey, const QString& code, const QVariant& status);

// Stamps the status on every line of the order, in one statement; returns
// the number of lines.
qint64 stampStatus(qint64 orderKey, const QVariant& statusId);

// Deletes the order's lines and header in one transaction.
void deleteOrder(qint64 orderKey);

// True when the catalogue has a product with the code `code`.
bool isKnownPart(const QString& code);

// The number of lines of the order.
qint64 lineCount(qint64 orderKey);

// Gives a line typed before its order was saved (`Order ID` 0) to the order.
void adoptLine(qint64 orderKey, const QVariant& lineKey);

// The reference list's look-up statements: references starting with a LIKE
// pattern (escape '!'), at most `page` of them in reference order; and the
// reference of one order by key.
QString refMatchStatement(int page);
QString refByKeyStatement();

// The key of the first order, in reference order, whose `Customer Ref` is `ref`; 0 when none.
qint64 findOrderByRef(const QString& ref);

// The key of the order entered last; 0 when there is none.
qint64 lastOrder();

} // namespace zel::orders
