// Approval and the ledger, and the status rules, without any window.
#include "connection/database.h"
#include "data/approval.h"
#include "data/statuses.h"
#include "support/testdb.h"
#include "values/convert.h"

using namespace zel;
using namespace zel::test;

namespace {

// An order with lines (price, quantity, discount fraction) and the header
// values given; `total` is its stored `Grand Total`, NULL when not given.
qint64 order(const QString& ref, const QList<QVariantList>& lines, const QVariant& total = {},
             const QVariant& packagePrice = {}) {
    const qint64 key = gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Account No`, `Shipto id`, `Status`, "
        "`Discount`, `VAT`, `package price`, `Grand Total`) VALUES (?, '1008', 103, 2, 10, 20, "
        "?, ?)",
        {ref, packagePrice, total});
    for (const QVariantList& l : lines)
        gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Unit Price`, `Quantity`, "
                       "`Discount`, `Parts Status`) VALUES (?, ?, ?, ?, 2)",
                       {key, l[0], l[1], l[2]});
    return key;
}

approval::Request request(qint64 key, const QString& ref) {
    return {key, 103, 1008, ref, QDate(2026, 3, 5)};
}

int ledgerRows(qint64 key) {
    return count("Transaction", "`Ref` = ?", {double(key)});
}

} // namespace

class ApprovalTest : public DbTest {};

TEST_F(ApprovalTest, PostsTheStoredTotalOnceAndMarksTheOrderAndItsLinesApproved) {
    const qint64 key = order("APP/1", {{10, 3, 0.1}, {5, 2, 0}}, "44.5000");
    const approval::Result r = approval::approve(request(key, "APP/1"));
    EXPECT_EQ(r.outcome, approval::Outcome::Posted);
    EXPECT_EQ(r.posted.toPlainText(), "-44.5");
    EXPECT_EQ(r.lines, 2);
    ASSERT_EQ(ledgerRows(key), 1);
    const RowSet row = gConn().select(
        "SELECT `AccountHolder`, `TypeRef`, `Item`, `Cinout`, `DCinout`, `Type`, `Date`, "
        "`CostPool` FROM `Transaction` WHERE `Ref` = ?",
        {double(key)});
    EXPECT_EQ(row.at(0, "AccountHolder").toDouble(), 103);
    EXPECT_EQ(row.at(0, "TypeRef").toDouble(), 1008);
    EXPECT_EQ(row.at(0, "Item").toString(), "Stock Purchase for suppliers Ref  APP/1");
    EXPECT_EQ(row.at(0, "Cinout").toString(), "-44.5000");
    EXPECT_EQ(row.at(0, "DCinout").toInt(), 0);
    EXPECT_EQ(row.at(0, "Type").toString(), "Stock Purchase");
    EXPECT_EQ(row.at(0, "Date").toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(row.at(0, "CostPool").toInt(), 2020);
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toInt(),
              statuses::kApproved);
    EXPECT_EQ(
        count("Order Details", "`Order ID` = ? AND `Parts Status` = ?", {key, statuses::kApproved}),
        2);
    EXPECT_TRUE(approval::isPosted(key));

    // A second approval posts nothing more, and still stamps the lines.
    gConn().execute("UPDATE `Order Details` SET `Parts Status` = 2 WHERE `Order ID` = ?", {key});
    const approval::Result again = approval::approve(request(key, "APP/1"));
    EXPECT_EQ(again.outcome, approval::Outcome::AlreadyPosted);
    EXPECT_EQ(again.posted, Money{});
    EXPECT_EQ(again.lines, 2);
    EXPECT_EQ(ledgerRows(key), 1);
    EXPECT_EQ(count("Order Details", "`Order ID` = ? AND `Parts Status` = 1", {key}), 2);
}

TEST_F(ApprovalTest, AnOrderWithoutAStoredTotalPostsWhatItsStoredValuesGive) {
    // 27 + 10 = 37, less 10 % is 33.30, with 20 % VAT 39.96.
    const qint64 plain = order("APP/2", {{10, 3, 0.1}, {5, 2, 0}});
    EXPECT_EQ(approval::approve(request(plain, "APP/2")).posted.toPlainText(), "-39.96");
    // A package price of 12.50 with 20 % VAT is 15.00, whatever the lines say.
    const qint64 package = order("APP/3", {{10, 3, 0.1}}, {}, "12.5");
    EXPECT_EQ(approval::approve(request(package, "APP/3")).posted.toPlainText(), "-15");
    EXPECT_EQ(
        one("SELECT `Cinout` FROM `Transaction` WHERE `Ref` = ?", {double(package)}).toString(),
        "-15.0000");
}

TEST_F(ApprovalTest, NothingIsWrittenForAnOrderNotStoredOrWhenTheCallersTransactionFails) {
    const int before = count("Transaction");
    EXPECT_EQ(approval::approve(request(999999, "GONE")).outcome, approval::Outcome::NoOrder);
    EXPECT_EQ(count("Transaction"), before);

    // Joined to the caller's transaction: its failure takes the ledger row back.
    const qint64 key = order("APP/4", {{10, 1, 0}}, "12.0000");
    EXPECT_THROW(gConn().transaction([&] {
        EXPECT_EQ(approval::approve(request(key, "APP/4")).outcome, approval::Outcome::Posted);
        throw std::runtime_error("the header save failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(ledgerRows(key), 0);
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toInt(),
              statuses::kDeclined);
    EXPECT_FALSE(approval::isPosted(key));
}

class StatusRulesTest : public DbTest {};

TEST_F(StatusRulesTest, TheApprovedStatusIsKnownByItsIdInAnyForm) {
    EXPECT_TRUE(statuses::isApproved(QVariant(1)));
    EXPECT_TRUE(statuses::isApproved(QStringLiteral("1")));
    EXPECT_FALSE(statuses::isApproved(QStringLiteral("2")));
    EXPECT_FALSE(statuses::isApproved(QString()));
    EXPECT_FALSE(statuses::isApproved(QVariant()));
    EXPECT_EQ(statuses::descriptionOf(statuses::kApprovedLetter), "Approved");
}

TEST_F(StatusRulesTest, SaveAddsOrChangesByTheExactLetterAndRefusesALookAlike) {
    EXPECT_TRUE(statuses::save("X", "Exported").saved);
    EXPECT_EQ(statuses::descriptionOf("X"), "Exported");
    EXPECT_TRUE(statuses::save("X", "Exported twice").saved);
    EXPECT_EQ(count("Status Table", "BINARY `Status Letter` = 'X'"), 1);
    EXPECT_EQ(statuses::descriptionOf("X"), "Exported twice");

    const statuses::Saved lookAlike = statuses::save("x ", "Other");
    EXPECT_FALSE(lookAlike.saved);
    EXPECT_EQ(lookAlike.lookAlike, "X");
    EXPECT_FALSE(statuses::descriptionOf("x ").has_value());
    EXPECT_THROW(statuses::save("TOOLONG", "Letter longer than its column"), ConversionError);
}

TEST_F(StatusRulesTest, RemoveKeepsAStatusThatAnOrderOrALineCarries) {
    statuses::save("Y", "On a line");
    statuses::save("Z", "Unused");
    const QVariant y = one("SELECT `ID` FROM `Status Table` WHERE BINARY `Status Letter` = 'Y'");
    const qint64 key = order("ST/1", {{1, 1, 0}});
    gConn().execute("UPDATE `Order Details` SET `Parts Status` = ? WHERE `Order ID` = ?", {y, key});
    EXPECT_EQ(statuses::ordersUsing("Y"), 1);
    const statuses::Removal kept = statuses::remove("Y");
    EXPECT_EQ(kept.inUse, 1);
    EXPECT_EQ(kept.removed, 0);
    EXPECT_TRUE(statuses::descriptionOf("Y").has_value());

    EXPECT_EQ(statuses::ordersUsing("Z"), 0);
    EXPECT_EQ(statuses::remove("z").removed, 0); // letters match exactly
    EXPECT_EQ(statuses::remove("Z").removed, 1);
    EXPECT_FALSE(statuses::descriptionOf("Z").has_value());
}
