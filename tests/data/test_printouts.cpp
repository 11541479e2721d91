// What the printouts read, the instruction text to suppliers they print, and
// the line dialog's write.
#include "connection/database.h"
#include "data/orderlines.h"
#include "data/poinstructions.h"
#include "data/printouts.h"
#include "support/testdb.h"

#include <QDate>

using namespace zel;
using namespace zel::test;

namespace {

qint64 orderOf(const QString& ref) {
    return gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES (?)", {ref});
}

qint64 lineOf(qint64 order, const QString& part, double price, int qty, double discount) {
    return gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
                          "`Unit Price`, `Quantity`, `Discount`) VALUES (?, ?, ?, ?, ?, ?)",
                          {order, part, part + " desc", price, qty, discount});
}

} // namespace

class PrintoutsDataTest : public DbTest {
protected:
    Seed seed() const override { return Seed::Empty; }
};

TEST_F(PrintoutsDataTest, TheInstructionTextRoundTripsWholeAndIsStoredInOneRow) {
    EXPECT_EQ(poinstructions::text(), ""); // none stored yet
    poinstructions::save("Deliver 9am to 5pm.");
    EXPECT_EQ(poinstructions::text(), "Deliver 9am to 5pm.");
    EXPECT_EQ(printouts::poInstruction(), "Deliver 9am to 5pm.");

    // A long text of several lines, beyond the Latin-1 range, comes back as saved.
    QString longText;
    for (int i = 0; i < 1000; ++i)
        longText += QStringLiteral("Line %1: Größe ≤ 5 mm, “no substitutes” 🦷\n").arg(i);
    poinstructions::save(longText);
    EXPECT_EQ(poinstructions::text(), longText);
    EXPECT_EQ(printouts::poInstruction(), longText);
    EXPECT_EQ(count("tblGlobalSysConfig", "`Item` = ?", {poinstructions::kItem}), 1);
    EXPECT_EQ(one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = ?",
                  {poinstructions::kItem})
                  .toInt(),
              -33);

    // Blank means no instruction.
    poinstructions::save(QVariant());
    EXPECT_EQ(poinstructions::text(), "");
    EXPECT_EQ(count("tblGlobalSysConfig", "`Item` = ?", {poinstructions::kItem}), 1);
}

TEST_F(PrintoutsDataTest, AddressesKeepTheirBlankLinesAndFindTheRightRow) {
    const auto person = [](const QVariant& payroll, const QString& name, const QVariant& street2,
                           const QString& type) {
        return gConn().insert(
            "INSERT INTO `Employee Data` (`Payroll ID`, `Forenames`, `Address1`, `Address2`, "
            "`Town`, `County`, `Post Code`, `Type`) VALUES (?, ?, '1 Road', ?, 'Leeds', "
            "'West Yorkshire', 'LS1 1AA', ?)",
            {payroll, name, street2, type});
    };
    EXPECT_TRUE(printouts::headOffice().isEmpty());
    person(500, "Supplier A", "Estate", "Supplier");
    const qint64 head = person(101, "Head Office", QVariant(), "Practice");
    person(102, "Branch", "Park", "Practice");
    person(101, "Second row of 101", "x", "Dentist");

    const QVariantList h = printouts::headOffice();
    ASSERT_EQ(h.size(), 6);
    EXPECT_EQ(h[0].toString(), "Head Office");
    EXPECT_TRUE(h[2].isNull()); // no second street: left out when printed, not printed blank
    EXPECT_EQ(h[5].toString(), "LS1 1AA");
    EXPECT_EQ(printouts::addressByRow(head), h);
    // An account number shared by two rows gives the first.
    EXPECT_EQ(printouts::addressByAccount(101), h);
    EXPECT_EQ(printouts::addressByAccount(102)[0].toString(), "Branch");
    EXPECT_TRUE(printouts::addressByAccount(999).isEmpty());
    EXPECT_TRUE(printouts::addressByRow(999).isEmpty());
}

TEST_F(PrintoutsDataTest, LinesComeInTheirStoredOrderPricedAfterDiscount) {
    const qint64 order = orderOf("P-1");
    lineOf(order, "B", 10.005, 3, 0.1);
    lineOf(order, "A", 1.15, 1, 0);
    lineOf(orderOf("OTHER"), "Z", 1, 1, 0);
    gConn().execute("UPDATE `Order Details` SET `Qty BI` = 2 WHERE `Part Id` = 'B'");

    const RowSet po = printouts::lines(order, printouts::LineColumns::Order);
    ASSERT_EQ(po.size(), 2);
    EXPECT_EQ(po.columns, (QStringList{"Item", "Part Id", "Quantity", "Description", "Unit Price",
                                       "Extended Price"}));
    EXPECT_EQ(po.at(0, "Part Id").toString(), "B");
    EXPECT_EQ(po.at(1, "Part Id").toString(), "A");
    EXPECT_EQ(po.at(0, "Item").toInt(), 1);
    EXPECT_EQ(po.at(1, "Item").toInt(), 1);
    // 10.005 x 3 less 10% = 27.0135, to the penny.
    EXPECT_EQ(po.at(0, "Extended Price").toString(), "27.01");
    EXPECT_EQ(po.at(1, "Extended Price").toString(), "1.15");

    const RowSet gi = printouts::lines(order, printouts::LineColumns::WithBookedIn);
    EXPECT_EQ(gi.columns.last(), "Qty BI");
    EXPECT_EQ(gi.at(0, "Qty BI").toInt(), 2);
    EXPECT_TRUE(printouts::lines(999999, printouts::LineColumns::Order).isEmpty());
}

TEST_F(PrintoutsDataTest, TheOrderHeaderIsReadWhole) {
    const qint64 order = orderOf("HDR-1");
    gConn().execute("UPDATE `Order Information` SET `Shipto id` = 101, `InvoiceTo` = 3, "
                    "`Quoted Date` = '2025-02-03' WHERE `Quote ID` = ?",
                    {order});
    const RowSet rs = printouts::order(order);
    ASSERT_EQ(rs.size(), 1);
    EXPECT_EQ(rs.at(0, "Customer Ref").toString(), "HDR-1");
    EXPECT_EQ(rs.at(0, "Shipto id").toInt(), 101);
    EXPECT_EQ(rs.at(0, "InvoiceTo").toInt(), 3);
    EXPECT_EQ(rs.at(0, "Quoted Date").toDate(), QDate(2025, 2, 3));
    EXPECT_TRUE(printouts::order(order + 1).isEmpty());
}

TEST_F(PrintoutsDataTest, TheLineDialogWritesItsColumnsAndKeepsTheRest) {
    const qint64 order = orderOf("L-1");
    const qint64 line = lineOf(order, "P-9", 2, 4, 0);
    const qint64 other = lineOf(order, "P-8", 5, 1, 0);
    gConn().execute("UPDATE `Order Details` SET `Qty BI` = 3, `Product ID` = 77 WHERE `ID` = ?",
                    {line});
    orderlines::Edit e;
    e.id = line;
    e.description = "New description";
    e.unitPrice = "2.50";
    e.quantity = 6;
    e.discount = 0.125;
    e.deliveryNotes = QVariant();
    e.delivered = true;
    e.dueDate = QDate(2025, 6, 30);
    EXPECT_EQ(orderlines::update(e), 1);
    const RowSet rs = gConn().select("SELECT * FROM `Order Details` WHERE `ID` = ?", {line});
    EXPECT_EQ(rs.at(0, "Description").toString(), "New description");
    EXPECT_DOUBLE_EQ(rs.at(0, "Unit Price").toDouble(), 2.5);
    EXPECT_EQ(rs.at(0, "Quantity").toInt(), 6);
    EXPECT_DOUBLE_EQ(rs.at(0, "Discount").toDouble(), 0.125);
    EXPECT_TRUE(rs.at(0, "GoodsDelNotes").isNull());
    EXPECT_EQ(rs.at(0, "GoodsDel").toInt(), 1);
    EXPECT_EQ(rs.at(0, "DueDate").toDate(), QDate(2025, 6, 30));
    // The columns the dialog does not show are kept, and so is the other line.
    EXPECT_EQ(rs.at(0, "Qty BI").toInt(), 3);
    EXPECT_EQ(rs.at(0, "Product ID").toInt(), 77);
    EXPECT_EQ(rs.at(0, "Part Id").toString(), "P-9");
    EXPECT_EQ(one("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {other}).toInt(), 1);

    e.id = line + other + 1000; // gone
    EXPECT_EQ(orderlines::update(e), 0);
}
