// The order finder's searches, read as the finder reads them.
#include "connection/database.h"
#include "data/ordersearch.h"
#include "support/testdb.h"

using namespace zel;
using namespace zel::test;

namespace {

qint64 orderOn(const QString& ref, const QDateTime& entered, const QString& rep = {}) {
    return gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Quoted Date`, "
                          "`Sales Rep`) VALUES (?, ?, ?)",
                          {ref, entered, rep.isEmpty() ? QVariant() : QVariant(rep)});
}

QStringList refs(const ordersearch::Search& s) {
    const RowSet rs = gConn().select(s.sql, s.binds);
    QStringList out;
    for (int r = 0; r < rs.size(); ++r)
        out << rs.at(r, "Customer Ref").toString();
    return out;
}

} // namespace

class OrderSearchTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(OrderSearchTest, DatesAreWholeDaysAndMonthsInDateOrder) {
    orderOn("LATE", QDateTime(QDate(2026, 3, 5), QTime(23, 59, 59)));
    orderOn("EARLY", QDateTime(QDate(2026, 3, 5), QTime(0, 0)));
    orderOn("NEXT", QDateTime(QDate(2026, 3, 6), QTime(0, 0)));
    orderOn("APRIL", QDateTime(QDate(2026, 4, 1), QTime(0, 0)));
    orderOn("FEB", QDateTime(QDate(2026, 2, 28), QTime(12, 0)));

    EXPECT_EQ(refs(ordersearch::byDay(QDate(2026, 3, 5))), (QStringList{"EARLY", "LATE"}));
    EXPECT_EQ(refs(ordersearch::byMonth(QDate(2026, 3, 1))),
              (QStringList{"EARLY", "LATE", "NEXT"}));
    EXPECT_EQ(refs(ordersearch::byDateRange(QDate(2026, 2, 28), QDate(2026, 3, 5))),
              (QStringList{"FEB", "EARLY", "LATE"}));
    EXPECT_TRUE(refs(ordersearch::nothing()).isEmpty());
}

TEST_F(OrderSearchTest, AProductGroupListsAnOrderOnceAndDentistsInTheOrderChosen) {
    const qint64 two = orderOn("TWO LINES", QDateTime(QDate(2026, 1, 2), QTime(9, 0)), "7");
    orderOn("OTHER REP", QDateTime(QDate(2026, 1, 3), QTime(9, 0)), "8");
    const qint64 product =
        gConn().insert("INSERT INTO `Products` (`Product Name`, `group id`) VALUES ('G-1', 42)");
    for (int i = 0; i < 2; ++i)
        gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Product ID`) VALUES (?, ?)",
                       {two, product});
    EXPECT_EQ(refs(ordersearch::byProductGroup(42)), QStringList{"TWO LINES"});
    EXPECT_TRUE(refs(ordersearch::byProductGroup(43)).isEmpty());

    RowSet chosen;
    chosen.columns = {"Rep Code", "Rep Name"};
    chosen.rows = {{"8", "Dr Eight"}, {"7", "Dr Seven"}, {"8", "Dr Eight"}};
    EXPECT_EQ(refs(ordersearch::byDentists(chosen)),
              (QStringList{"OTHER REP", "TWO LINES", "OTHER REP"}));
}
