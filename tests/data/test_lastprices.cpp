// The last prices paid for a product, as the order lines and the part finder read them.
#include "connection/database.h"
#include "data/priceshistory.h"
#include "support/storedrows.h"
#include "support/testdb.h"

#include <QDateTime>

using namespace zel;
using namespace zel::test;

namespace {

Money m(const char* text) {
    return *Money::fromDecimalText(QString::fromLatin1(text));
}

QStringList refs(const QList<prices::Paid>& paid) {
    QStringList out;
    for (const auto& p : paid)
        out << p.orderRef;
    return out;
}

} // namespace

class LastPricesTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(LastPricesTest, TheThreeNewestOfThisSupplierFromOtherOrders) {
    const QDate d(2026, 3, 1);
    line(order("A/1", "1008", d), 7, "10.00");
    line(order("A/2", "1008", d.addDays(1)), 7, "11.00");
    line(order("A/3", "1008", d.addDays(2)), 7, "12.00");
    line(order("A/4", "1008", d.addDays(3)), 7, "13.00");
    const qint64 current = order("A/5", "1008", d.addDays(9));
    line(current, 7, "99.00");
    // Another supplier's order, another product, a line without a price.
    line(order("B/1", "2001", d.addDays(5)), 7, "1.00");
    line(order("A/6", "1008", d.addDays(6)), 8, "2.00");
    line(order("A/7", "1008", d.addDays(7)), 7, QVariant());

    const auto paid = prices::lastPaid(7, "1008", current);
    EXPECT_EQ(refs(paid), (QStringList{"A/4", "A/3", "A/2"}));
    EXPECT_EQ(paid[0].unitPrice, m("13"));
    EXPECT_EQ(paid[0].date, d.addDays(3));
    // The order on screen is never its own history.
    EXPECT_EQ(refs(prices::lastPaid(7, "1008", 0)).first(), "A/5");
    // No supplier or no product: nothing to compare with.
    EXPECT_TRUE(prices::lastPaid(7, "", current).isEmpty());
    EXPECT_TRUE(prices::lastPaid(0, "1008", current).isEmpty());
    EXPECT_TRUE(prices::lastPaid(7, "9999", current).isEmpty());
}

TEST_F(LastPricesTest, OrdersOfOneDayGoByOrderNumberAndUndatedOnesLast) {
    const QDate d(2026, 3, 1);
    line(order("U/1", "1008", QDate()), 7, "9.00");
    line(order("S/1", "1008", d), 7, "5.00");
    line(order("S/2", "1008", d), 7, "6.00");
    EXPECT_EQ(refs(prices::lastPaid(7, "1008", 0)), (QStringList{"S/2", "S/1", "U/1"}));
}

TEST_F(LastPricesTest, APriceIsMarkedOnlyWhenMoreThanTenPercentAbove) {
    const QList<prices::Paid> paid = {{1, QDate(2026, 3, 5), "A/1", m("10.00")},
                                      {2, QDate(2026, 2, 5), "A/0", m("50.00")}};
    EXPECT_FALSE(prices::aboveLastPaid(m("11.00"), paid)); // exactly 10 %
    EXPECT_TRUE(prices::aboveLastPaid(m("11.0001"), paid));
    EXPECT_FALSE(prices::aboveLastPaid(m("9.00"), paid));
    EXPECT_FALSE(prices::aboveLastPaid(m("11.00"), {}));
    EXPECT_FALSE(prices::aboveLastPaid(m("1.00"), {{1, {}, "Z", Money{}}}));

    EXPECT_EQ(prices::markText(m("11.00"), paid), "");
    const QString mark = prices::markText(m("12.00"), paid);
    EXPECT_TRUE(mark.startsWith("Unit price ")) << mark.toStdString();
    EXPECT_TRUE(mark.contains("20.0 % above the last price paid")) << mark.toStdString();
    EXPECT_TRUE(mark.contains("05/03/2026")) << mark.toStdString();

    const QStringList lines = prices::describe(paid);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].startsWith("05/03/2026")) << lines[0].toStdString();
    EXPECT_TRUE(lines[0].endsWith("A/1"));
    EXPECT_EQ(prices::describe({}),
              QStringList{"No earlier orders of this product from this supplier."});
    const QString note = prices::note(m("12.00"), paid);
    EXPECT_TRUE(note.startsWith(mark + "\nLast prices paid to this supplier:\n"));
}

// The look-up names the narrow order index only where the database has it:
// an administrator may not have added it yet, or may have dropped it.
TEST_F(LastPricesTest, TheOrderIndexIsUsedWhenPresentAndTheAnswerIsTheSameWithout) {
    const QDate d(2026, 3, 1);
    line(order("A/1", "1008", d), 7, "10.00");
    line(order("A/2", "1008", d.addDays(1)), 7, "11.00");
    line(order("B/1", "2001", d.addDays(2)), 7, "1.00");
    const qint64 current = order("A/3", "1008", d.addDays(3));

    ASSERT_TRUE(prices::orderIndexPresent());
    EXPECT_TRUE(prices::lastPaidStatement(3, true).contains("FORCE INDEX (`ix_order_supplier`)"));
    const QList<QVector<QVariant>> through =
        gConn().select(prices::lastPaidStatement(3, true), {7, "1008", current}).rows;
    EXPECT_EQ(through.size(), 2);
    EXPECT_EQ(through,
              gConn().select(prices::lastPaidStatement(3, false), {7, "1008", current}).rows);

    EXPECT_TRUE(gConn().hasIndex("Order Details", "ix_product_id"));
    EXPECT_FALSE(gConn().hasIndex("Order Details", "ix_order_supplier"));
    EXPECT_FALSE(gConn().hasIndex("No Such Table", "ix_order_supplier"));

    // Dropped: a workstation that connects afterwards reads the orders by their key.
    gConn().execute("ALTER TABLE `Order Information` DROP KEY `ix_order_supplier`");
    struct PutBack {
        ~PutBack() {
            gConn().execute("ALTER TABLE `Order Information` ADD KEY `ix_order_supplier` "
                            "(`Quote ID`, `Account No`, `Quoted Date`, `Customer Ref`)");
        }
    } putBack;
    Database later(QStringLiteral("later"));
    ASSERT_TRUE(later.open(gConn().settings())) << later.lastOpenError().toStdString();
    EXPECT_FALSE(later.hasIndex("Order Information", "ix_order_supplier"));
    EXPECT_EQ(later.select(prices::lastPaidStatement(3, false), {7, "1008", current}).rows,
              through);
    // A connection that found it before: its next look-up fails over to the
    // orders' key, gives the same prices and remembers the index is gone.
    ASSERT_TRUE(gConn().hasIndex("Order Information", "ix_order_supplier"));
    const auto paid = prices::lastPaid(7, "1008", current);
    EXPECT_EQ(refs(paid), (QStringList{"A/2", "A/1"}));
    EXPECT_FALSE(gConn().hasIndex("Order Information", "ix_order_supplier"));
}
