// The order lines still to be delivered, as the outstanding deliveries list reads them.
#include "connection/database.h"
#include "data/deliveries.h"
#include "data/statuses.h"
#include "support/storedrows.h"
#include "support/testdb.h"

#include <QDateTime>

using namespace zel;
using namespace zel::test;

class OutstandingTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(OutstandingTest, ApprovedLinesWithLessBookedInThanOrdered) {
    const QDate today(2026, 3, 10);
    const qint64 approved = order("AP/1", "1008", QDate(2026, 3, 1), statuses::kApproved);
    const qint64 partly = line(approved, 1, "1.00", 10, 4, QDate(2026, 3, 7));
    line(approved, 2, "1.00", 5, 5); // fully booked
    line(approved, 3, "1.00", 5, 6); // over-booked
    const qint64 none = line(approved, 4, "1.00", 2, QVariant(), QDate(2026, 3, 12));
    const qint64 undated = line(approved, 5, "1.00", 3, 0);
    const qint64 dueToday = line(approved, 6, "1.00", 3, 0, today);
    // The same lines on orders not approved are not listed.
    for (int status : {2, 3, 4}) {
        const qint64 other = order(QString("NA/%1").arg(status), "1008", today, status);
        line(other, 1, "1.00", 10, 0, QDate(2026, 1, 1));
    }

    const auto lines = deliveries::outstanding(today);
    QList<qint64> ids;
    for (const auto& l : lines)
        ids << l.line;
    // By due date, those without one last.
    EXPECT_EQ(ids, (QList<qint64>{partly, dueToday, none, undated}));
    const auto& p = lines[0];
    EXPECT_EQ(p.order, approved);
    EXPECT_EQ(p.orderRef, "AP/1");
    EXPECT_EQ(p.supplier, "Dental Supplies Ltd");
    EXPECT_EQ(p.ordered, QDate(2026, 3, 1));
    EXPECT_EQ(p.quantity, 10);
    EXPECT_EQ(p.booked, 4);
    EXPECT_EQ(p.outstanding(), 6);
    EXPECT_EQ(p.daysLate, 3);
    EXPECT_TRUE(p.late());
    EXPECT_EQ(lines[1].daysLate, 0); // due today is not late
    EXPECT_EQ(lines[2].daysLate, 0); // due in the future
    EXPECT_EQ(lines[2].booked, 0);   // nothing booked counts as 0
    EXPECT_EQ(lines[2].outstanding(), 2);
    EXPECT_FALSE(lines[3].due.isValid());
    EXPECT_EQ(lines[3].daysLate, 0);
}

TEST_F(OutstandingTest, DaysLateCountWholeDaysAfterTheDueDate) {
    const QDate today(2026, 3, 1);
    EXPECT_EQ(deliveries::daysLate(QDate(2026, 2, 28), today), 1);
    EXPECT_EQ(deliveries::daysLate(QDate(2025, 3, 1), today), 365);
    EXPECT_EQ(deliveries::daysLate(today, today), 0);
    EXPECT_EQ(deliveries::daysLate(QDate(2026, 3, 2), today), 0);
    EXPECT_EQ(deliveries::daysLate(QDate(), today), 0);
}

TEST_F(OutstandingTest, ASupplierWithoutANameIsListedByItsShortName) {
    const qint64 o = gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Customer Shortname`, `Status`) "
        "VALUES ('SN/1', 'ACME', 1)");
    line(o, 1, "1.00", 2, 0);
    const auto lines = deliveries::outstanding(QDate(2026, 3, 1));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].supplier, "ACME");
    EXPECT_FALSE(lines[0].ordered.isValid());
}
