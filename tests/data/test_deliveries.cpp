// The order lines still to be delivered, as the outstanding deliveries list reads them.
#include "connection/database.h"
#include "data/deliveries.h"
#include "data/statuses.h"
#include "support/storedrows.h"
#include "support/testdb.h"

#include <QDateTime>
#include <climits>

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

    const auto lines = deliveries::outstanding({}, today);
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
    const auto lines = deliveries::outstanding({}, QDate(2026, 3, 1));
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].supplier, "ACME");
    EXPECT_FALSE(lines[0].ordered.isValid());
}

namespace {

// A line with its own part code and description, for sorting by them.
qint64 coded(qint64 order, const QString& part, int qty, const QVariant& booked, QDate due) {
    return gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
                          "`Quantity`, `Qty BI`, `DueDate`) VALUES (?, ?, ?, ?, ?, ?)",
                          {order, part, "Item " + part.toLower(), qty, booked,
                           due.isValid() ? QVariant(due.startOfDay()) : QVariant()});
}

// What a line is sorted by, as the list compares it: dates as day numbers
// with none after every date, texts folded to one case.
QVariant keyOf(const deliveries::Line& l, deliveries::SortBy by) {
    using deliveries::SortBy;
    const auto day = [](QDate d) { return d.isValid() ? d.toJulianDay() : LLONG_MAX; };
    switch (by) {
    case SortBy::Supplier:
        return l.supplier.toCaseFolded();
    case SortBy::OrderRef:
        return l.orderRef.toCaseFolded();
    case SortBy::Ordered:
        return day(l.ordered);
    case SortBy::Due:
        return day(l.due);
    case SortBy::DaysLate:
        return l.daysLate;
    case SortBy::PartId:
        return l.partId.toCaseFolded();
    case SortBy::Description:
        return l.description.toCaseFolded();
    case SortBy::Quantity:
        return l.quantity;
    case SortBy::Booked:
        return l.booked;
    case SortBy::Outstanding:
        return l.outstanding();
    }
    return {};
}

} // namespace

TEST_F(OutstandingTest, EveryOrderReadsTheSameLinesPageByPageAsAllAtOnce) {
    const QDate today(2026, 3, 10);
    const qint64 a = order("B/2", "1008", QDate(2026, 3, 1), 1, "Bright Supplies");
    const qint64 b = order("a/1", "2001", QDate(2026, 2, 20), 1, "acme dental");
    const qint64 c = order("C/3", "3003", QDate(), 1, "Cement Co");
    coded(a, "zeta", 5, 1, QDate(2026, 3, 7));
    coded(a, "Alpha", 2, QVariant(), QDate(2026, 3, 12));
    coded(a, "beta", 9, 3, QDate());
    coded(b, "Gamma", 5, 1, QDate(2026, 3, 7));
    coded(b, "delta", 1, 0, QDate(2026, 1, 5));
    coded(c, "Eps", 4, 2, QDate(2026, 3, 9));
    coded(c, "eta", 3, 0, QDate());
    const int total = 7;

    for (int by = 0; by <= int(deliveries::SortBy::Outstanding); ++by) {
        for (bool descending : {false, true}) {
            const deliveries::View view{{}, deliveries::SortBy(by), descending};
            SCOPED_TRACE(testing::Message() << "sort " << by << (descending ? " desc" : " asc"));
            const auto all = deliveries::outstanding(view, today);
            ASSERT_EQ(all.size(), total);
            for (int i = 1; i < all.size(); ++i) {
                const QVariant x = keyOf(all[i - 1], view.sortBy), y = keyOf(all[i], view.sortBy);
                const int c = QVariant::compare(x, y) == QPartialOrdering::Less      ? -1
                              : QVariant::compare(x, y) == QPartialOrdering::Greater ? 1
                                                                                     : 0;
                EXPECT_TRUE(descending ? c >= 0 : c <= 0)
                    << all[i - 1].partId.toStdString() << " before " << all[i].partId.toStdString();
            }
            QList<qint64> paged, whole;
            for (const auto& l : all)
                whole << l.line;
            for (int first = 0; first < total; first += 2)
                for (const auto& l : deliveries::outstanding(view, today, first, 2))
                    paged << l.line;
            EXPECT_EQ(paged, whole);
        }
    }
    // Narrowed to one supplier, whatever the letter case of its name.
    const auto acme = deliveries::outstanding({"ACME DENTAL", deliveries::SortBy::PartId}, today);
    ASSERT_EQ(acme.size(), 2);
    EXPECT_EQ(acme[0].partId, "delta");
    EXPECT_EQ(acme[1].partId, "Gamma");
}

TEST_F(OutstandingTest, TheSummaryCountsEachSuppliersLinesAndTheLateOnes) {
    const QDate today(2026, 3, 10);
    const qint64 a = order("B/2", "1008", QDate(2026, 3, 1), 1, "Bright Supplies");
    coded(a, "late", 5, 1, QDate(2026, 3, 9));
    coded(a, "today", 5, 1, today);
    coded(a, "undated", 5, 1, QDate());
    coded(a, "done", 5, 5, QDate(2026, 1, 1));
    // The same supplier known by its short name only, and one with no name at all.
    const qint64 s = gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, "
                                    "`Customer Shortname`, `Status`) VALUES ('S/1', 'ACME', 1)");
    coded(s, "short", 1, 0, QDate(2026, 3, 1));
    const qint64 n = gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Status`) VALUES ('N/1', 1)");
    coded(n, "nameless", 1, 0, QDate(2026, 3, 1));
    coded(order("P/1", "1008", today, 2, "Bright Supplies"), "pending", 5, 0, QDate(2026, 1, 1));

    const auto sum = deliveries::summary(today);
    ASSERT_EQ(sum.suppliers.size(), 2);
    EXPECT_EQ(sum.suppliers[0].supplier, "ACME");
    EXPECT_EQ(sum.suppliers[0].lines, 1);
    EXPECT_EQ(sum.suppliers[0].late, 1);
    EXPECT_EQ(sum.suppliers[1].supplier, "Bright Supplies");
    EXPECT_EQ(sum.suppliers[1].lines, 3);
    EXPECT_EQ(sum.suppliers[1].late, 1); // due today is not late
    EXPECT_EQ(sum.lines, 5);             // the nameless line counts in the totals
    EXPECT_EQ(sum.late, 3);
    EXPECT_EQ(sum.of("Bright Supplies").lines, 3);
    EXPECT_EQ(sum.of("").lines, 5);
    EXPECT_EQ(sum.of("Nobody").lines, 0);
}
