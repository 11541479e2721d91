// The last prices paid, where a product is chosen and beside each order
// line: the grid's tooltip and price mark, the line details dialog and the
// part finder, driven offscreen against the private server.
#include "app/dialogs.h"
#include "catalogue/catalogue.h"
#include "catalogue/frmfindpart.h"
#include "purchasing/frmorderdetails.h"
#include "purchasing/frmpurchaseorder.h"
#include "support/testdb.h"

#include <QAccessible>
#include <QApplication>
#include <QDateTime>

using namespace zel;
using zel::test::settle;
using zel::test::snapshot;

namespace {

const QString kAccount = "7777";

qlonglong product(const QString& code, const char* price) {
    return gConn().insert("INSERT INTO `Products` (`Product Name`, `English Name`, `Unit Price`) "
                          "VALUES (?, ?, ?)",
                          {code, "Impression tray " + code, price});
}

qint64 order(const QString& ref, const QString& account, QDate date) {
    return gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Account No`, "
                          "`Quoted Date`, `Status`, `VAT`) VALUES (?, ?, ?, 2, 20)",
                          {ref, account, date.startOfDay()});
}

void line(qint64 order, qlonglong product, const char* price) {
    gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Product ID`, `Part Id`, "
                   "`Description`, `Unit Price`, `Quantity`, `Discount`) "
                   "VALUES (?, ?, 'TRAY', 'Impression tray', ?, 1, 0)",
                   {order, product, price});
}

QString accessibleDescription(QWidget* w) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
    return a ? a->text(QAccessible::Description) : QString();
}

} // namespace

class LastPricesWindowTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        w = std::make_unique<frmPurchaseOrder>();
        w->show();
        // Three earlier orders of the supplier, an older one, another
        // supplier's cheaper one; the order on screen prices the tray 20 %
        // above the last price paid and the burs exactly 10 % above.
        tray = product("TRAY-1", "9.00");
        burs = product("BUR-2", "4.00");
        const QDate d(2026, 2, 1);
        line(order("OLD/1", kAccount, d), tray, "8.00");
        line(order("PR/1", kAccount, d.addDays(10)), tray, "9.00");
        line(order("PR/2", kAccount, d.addDays(20)), tray, "9.50");
        const qint64 last = order("PR/3", kAccount, d.addDays(30));
        line(last, tray, "10.00");
        line(last, burs, "4.00");
        line(order("OTHER/1", "8888", d.addDays(40)), tray, "1.00");
        current = order("NOW/1", kAccount, d.addDays(50));
        line(current, tray, "12.00");
        line(current, burs, "4.40");
        w->cmbLoadList1();
        w->CustRef->pickKey(QString::number(current));
    }
    void TearDown() override {
        dialogs().closeAll();
        settle();
        w.reset();
        frmPurchaseOrder::openers() = {};
        DbTest::TearDown();
    }
    int rowOf(qlonglong productId) const {
        const GridModel& m = w->DataGrid1->model();
        for (int r = 0; r < m.rowSet().size(); ++r)
            if (m.value(r, frmPurchaseOrder::colProductID).toLongLong() == productId)
                return r;
        return -1;
    }
    QVariant cell(qlonglong productId, int column, int role) const {
        const GridModel& m = w->DataGrid1->model();
        return m.data(m.index(rowOf(productId), column), role);
    }

    std::unique_ptr<frmPurchaseOrder> w;
    qlonglong tray = 0, burs = 0;
    qint64 current = 0;
};

TEST_F(LastPricesWindowTest, EachLineTellsTheLastPricesAndMarksAPriceAboveThem) {
    const QString tip = cell(tray, frmPurchaseOrder::colUnitPrice, Qt::ToolTipRole).toString();
    const QStringList lines = tip.split(u'\n');
    ASSERT_EQ(lines.size(), 5) << tip.toStdString();
    EXPECT_TRUE(lines[0].startsWith("Unit price ")) << tip.toStdString();
    EXPECT_TRUE(lines[0].contains("20.0 % above the last price paid")) << tip.toStdString();
    EXPECT_EQ(lines[1], "Last prices paid to this supplier:");
    // Newest first, from other orders of this supplier only.
    EXPECT_TRUE(lines[2].endsWith("PR/3"));
    EXPECT_TRUE(lines[2].contains("10.00"));
    EXPECT_TRUE(lines[3].endsWith("PR/2"));
    EXPECT_TRUE(lines[4].endsWith("PR/1"));
    EXPECT_FALSE(tip.contains("NOW/1"));
    EXPECT_FALSE(tip.contains("OTHER/1"));

    // The mark shows in the cell and is read out with it.
    EXPECT_TRUE(cell(tray, frmPurchaseOrder::colUnitPrice, Qt::BackgroundRole).isValid());
    EXPECT_EQ(cell(tray, frmPurchaseOrder::colUnitPrice, Qt::AccessibleDescriptionRole).toString(),
              tip);
    // Exactly 10 % above is not marked, and says nothing of a mark.
    EXPECT_FALSE(cell(burs, frmPurchaseOrder::colUnitPrice, Qt::BackgroundRole).isValid());
    EXPECT_TRUE(cell(burs, frmPurchaseOrder::colUnitPrice, Qt::ToolTipRole)
                    .toString()
                    .startsWith("Last prices paid to this supplier:"));
    // A text cell keeps its own text first.
    EXPECT_TRUE(cell(tray, frmPurchaseOrder::colDescription, Qt::ToolTipRole)
                    .toString()
                    .startsWith("Impression tray\n\nUnit price "));
    snapshot(*w, "order-last-prices");
}

TEST_F(LastPricesWindowTest, EachProductIsLookedUpOnceWhileTheOrderIsOnScreen) {
    LinePrices& p = w->linePrices();
    const int before = p.lookUps();
    for (int i = 0; i < 3; ++i) {
        cell(tray, frmPurchaseOrder::colUnitPrice, Qt::ToolTipRole);
        cell(tray, frmPurchaseOrder::colUnitPrice, Qt::BackgroundRole);
        cell(burs, frmPurchaseOrder::colDescription, Qt::ToolTipRole);
    }
    EXPECT_LE(p.lookUps() - before, 2);
    // Keystrokes in the totals ask the server nothing.
    int statements = 0;
    test::withStatementHook([&](const QString&) { ++statements; },
                            [&] {
                                w->Discount->setText("5");
                                w->VAT->setText("17.5");
                                cell(tray, frmPurchaseOrder::colUnitPrice, Qt::ToolTipRole);
                            });
    EXPECT_EQ(statements, 0);
    // Another supplier on screen asks again.
    w->AccountNo->setText("8888");
    const int was = p.lookUps();
    EXPECT_TRUE(
        cell(tray, frmPurchaseOrder::colUnitPrice, Qt::ToolTipRole).toString().contains("OTHER/1"));
    EXPECT_EQ(p.lookUps(), was + 1);
}

TEST_F(LastPricesWindowTest, TheLineDetailsDialogShowsThePricesAndFollowsThePriceTyped) {
    w->DataGrid1->setCurrentCell(rowOf(tray), frmPurchaseOrder::colUnitPrice);
    w->DataGrid1_DblClick();
    frmOrderDetails* d = nullptr;
    for (QWidget* x : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<frmOrderDetails*>(x))
            d = found;
    ASSERT_NE(d, nullptr);
    const QStringList shown = d->txtLastPrices->toPlainText().split(u'\n');
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].endsWith("PR/3"));
    EXPECT_TRUE(d->lblPriceMark->text().contains("20.0 % above"))
        << d->lblPriceMark->text().toStdString();
    EXPECT_EQ(accessibleDescription(d->txtUnitPrice), d->lblPriceMark->text());
    EXPECT_EQ(accessibleDescription(d->txtLastPrices), QString());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(d->txtLastPrices)->text(QAccessible::Name),
              "Last prices paid");
    snapshot(*d, "order-details-last-prices");

    d->txtUnitPrice->setText("11.00"); // exactly 10 % above
    EXPECT_EQ(d->lblPriceMark->text(), "");
    EXPECT_TRUE(d->lblPriceMark->isHidden());
    EXPECT_EQ(accessibleDescription(d->txtUnitPrice), "");
    d->txtUnitPrice->setText("11.01");
    EXPECT_FALSE(d->lblPriceMark->isHidden());
}

TEST_F(LastPricesWindowTest, ThePartFinderShowsThePricesPaidForTheProductChosen) {
    frmFindPart* f = openPartFinder(*w, "TRAY-1");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ProductName->text(), "TRAY-1");
    const QStringList shown = f->txtLastPrices->toPlainText().split(u'\n');
    ASSERT_EQ(shown.size(), 3);
    EXPECT_TRUE(shown[0].endsWith("PR/3"));
    EXPECT_TRUE(shown[2].endsWith("PR/1"));
    // The catalogue price (9.00) is below the last one paid: no mark until a
    // higher one is typed.
    EXPECT_TRUE(f->lblPriceMark->isHidden());
    f->UnitPrice->setText("11.50");
    EXPECT_FALSE(f->lblPriceMark->isHidden());
    EXPECT_TRUE(accessibleDescription(f->UnitPrice).contains("15.0 % above"));
    snapshot(*f, "find-part-last-prices");

    // A product never bought from this supplier says so.
    const qlonglong fresh = product("NEW-9", "3.00");
    Q_UNUSED(fresh);
    f->showPart("NEW-9");
    EXPECT_EQ(f->txtLastPrices->toPlainText(),
              "No earlier orders of this product from this supplier.");
}
