#include "data/approval.h"
#include "connection/database.h"
#include "data/orders.h"
#include "data/statuses.h"

namespace zel::approval {

namespace {

const QString kLedgerType = QStringLiteral("Stock Purchase");
// The ledger's cost pool of stock purchases.
constexpr int kCostPool = 2020;

} // namespace

bool isPosted(qint64 orderKey) {
    return !gConn()
                .scalar(QStringLiteral("SELECT `id` FROM `Transaction` WHERE `Ref` = ? AND `Type` "
                                       "= ? LIMIT 1"),
                        {double(orderKey), kLedgerType})
                .isNull();
}

Result approve(const Request& request) {
    Database& db = gConn();
    Result result;
    db.transaction([&] {
        result = {};
        const qint64 key = request.orderKey;
        const RowSet order = db.select(QStringLiteral("SELECT `Grand Total`, `Status` FROM "
                                                      "`Order Information` WHERE `Quote ID` = ? "
                                                      "FOR UPDATE"),
                                       {key});
        if (order.isEmpty())
            return;
        if (isPosted(key)) {
            result.outcome = Outcome::AlreadyPosted;
        } else {
            const QVariant stored = order.at(0, "Grand Total");
            const Money total = stored.isNull()
                                    ? orders::storedGrandTotal(db, key)
                                    : Money::fromDecimalText(stored.toString()).value_or(Money{});
            db.insert(QStringLiteral(
                          "INSERT INTO `Transaction` (`AccountHolder`, `Ref`, `TypeRef`, `Item`, "
                          "`Cinout`, `DCinout`, `Type`, `Date`, `CostPool`) "
                          "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                      {request.shipTo, double(key), request.supplierAccount,
                       QStringLiteral("Stock Purchase for suppliers Ref  ") + request.customerRef,
                       (-total).toPlainText(), 0, kLedgerType, request.date, kCostPool});
            result.outcome = Outcome::Posted;
            result.posted = -total;
        }
        if (!statuses::isApproved(order.at(0, "Status")))
            db.execute(
                QStringLiteral("UPDATE `Order Information` SET `Status` = ? WHERE `Quote ID` = ?"),
                {statuses::kApproved, key});
        result.lines = orders::stampStatus(key, statuses::kApproved);
    });
    return result;
}

} // namespace zel::approval
