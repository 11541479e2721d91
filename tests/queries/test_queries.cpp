// What the purchase order window asks the server: opening an order, a
// keystroke in a totals box, saving and approving cost the same statements
// whatever the number of lines, so a large order is as quick as a small one.
#include "purchasing/frmpurchaseorder.h"
#include "reports/printing.h"
#include "support/testdb.h"

#include <QLineEdit>
#include <QTest>

using namespace zel;
using zel::test::count;

namespace {

// The statements one action sends on the run's connection.
struct QueryCount {
    int total = 0;
    QStringList seen;
};

template <class F> QueryCount countQueries(F&& action) {
    QueryCount c;
    test::withStatementHook(
        [&](const QString& sql) {
            ++c.total;
            c.seen << sql;
        },
        action);
    return c;
}

// The statements of each action on one order.
struct ActionCosts {
    QueryCount open, keystroke, save, approve, print;
};

} // namespace

class QueryCountTest : public test::DbTest {
protected:
    // A pending order with `lines` lines of a supplier with an account.
    qint64 makeOrder(int lines) {
        const qint64 key = gConn().insert(
            "INSERT INTO `Order Information` (`Customer Ref`, `Customer Name`, `Account No`, "
            "`Shipto id`, `Status`, `Discount`, `VAT`) VALUES (?, 'Bracken Dental', '1008', 103, "
            "2, 0, 20)",
            {QStringLiteral("QRY/%1").arg(lines)});
        QStringList tuples;
        QVariantList binds;
        for (int i = 0; i < lines; ++i) {
            tuples << QStringLiteral("(?, 'P1', 'Gloves', ?, ?, ?)");
            binds << key << 2.5 + i % 7 << 1 + i % 5 << (i % 3 == 0 ? 0.1 : 0.0);
        }
        gConn().execute("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
                        "`Unit Price`, `Quantity`, `Discount`) VALUES " +
                            tuples.join(u','),
                        binds);
        return key;
    }

    // Opens, types, saves, approves and prints an order with `lines` lines
    // in a window of its own, counting each action's statements.
    ActionCosts costsFor(int lines) {
        const qint64 key = makeOrder(lines);
        frmPurchaseOrder w;
        w.show();
        ActionCosts c;
        c.open = countQueries([&] { w.CustRef->pickKey(QString::number(key)); });
        EXPECT_EQ(w.DataGrid1->rowCount(), lines);

        w.Discount->setFocus();
        w.Discount->selectAll();
        c.keystroke = countQueries([&] { QTest::keyClicks(w.Discount, "5"); });
        EXPECT_EQ(w.Discount->text(), "5");

        msgs->clear();
        c.save = countQueries([&] { w.Command8_Click(); });
        EXPECT_EQ(msgs->last(), "Information saved successfully");

        msgs->clear();
        msgs->answer(true);
        c.approve = countQueries([&] { w.Status->pickKey("1"); });
        EXPECT_EQ(count("Transaction", "`Ref` = ?", {key}), 1);
        EXPECT_EQ(count("Order Details", "`Order ID` = ? AND `Parts Status` = 1", {key}), lines);

        c.print = countQueries([&] {
            auto in = reports::inputsFromDatabase(reports::Schedule::PurchaseOrder, key);
            EXPECT_TRUE(in.has_value());
        });
        return c;
    }
};

TEST_F(QueryCountTest, EachActionCostsTheSameStatementsForThreeOrThreeHundredLines) {
    // A first round fills what the program reads once a run (column limits,
    // lists), so the rounds compared start alike.
    costsFor(1);
    const ActionCosts small = costsFor(3);
    const ActionCosts large = costsFor(300);

    const std::pair<const char*, const QueryCount ActionCosts::*> actions[] = {
        {"open", &ActionCosts::open},   {"keystroke", &ActionCosts::keystroke},
        {"save", &ActionCosts::save},   {"approve", &ActionCosts::approve},
        {"print", &ActionCosts::print},
    };
    for (const auto& [name, member] : actions) {
        const QueryCount& a = small.*member;
        const QueryCount& b = large.*member;
        EXPECT_EQ(a.total, b.total)
            << name << ": 3 lines sent\n  " << a.seen.join("\n  ").toStdString()
            << "\n300 lines sent\n  " << b.seen.join("\n  ").toStdString();
    }
    // Totals come from the lines already read: a keystroke asks nothing.
    EXPECT_EQ(large.keystroke.total, 0) << large.keystroke.seen.join("\n").toStdString();
    // Opening reads the lines once: the grid and the totals share them.
    EXPECT_EQ(large.open.seen.filter("FROM `Order Details`", Qt::CaseInsensitive).size(), 1)
        << large.open.seen.join("\n  ").toStdString();
    // Opening and approving are a handful of statements, not one per line.
    EXPECT_GT(large.open.total, 0);
    EXPECT_LT(large.open.total, 20);
    EXPECT_LT(large.approve.total, 40);
}

TEST_F(QueryCountTest, AKeystrokeShowsTheTotalsOfTheLinesStored) {
    // 3 x 10.00 less 10%, 2 x 2.50, and a line without a discount that counts for nothing.
    const qint64 key = gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Status`, `Discount`, `VAT`) "
        "VALUES ('QRY/TOT', 2, 0, 20)");
    gConn().execute(
        "INSERT INTO `Order Details` (`Order ID`, `Unit Price`, `Quantity`, `Discount`) "
        "VALUES (?, 10, 3, 0.1), (?, 2.5, 2, 0), (?, 99, 1, NULL)",
        {key, key, key});
    frmPurchaseOrder w;
    w.show();
    w.CustRef->pickKey(QString::number(key));
    EXPECT_EQ(w.lblSubTotal->text(), "£32.00");
    w.Discount->setFocus();
    w.Discount->selectAll();
    QTest::keyClicks(w.Discount, "25");
    EXPECT_EQ(w.lblDiscountValue->text(), "£24.00");
    EXPECT_EQ(w.lblFinalTotal->text(), "£28.80");
    w.VAT->selectAll();
    QTest::keyClicks(w.VAT, "0");
    EXPECT_EQ(w.lblFinalTotal->text(), "£24.00");
    // A line changed in the grid counts at the next keystroke.
    w.DataGrid1->model().setData(w.DataGrid1->model().index(1, 6), 4, Qt::EditRole);
    w.Discount->selectAll();
    QTest::keyClicks(w.Discount, "0");
    EXPECT_EQ(w.lblSubTotal->text(), "£37.00");
}
