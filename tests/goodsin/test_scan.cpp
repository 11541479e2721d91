// Booking in by part code: a keyboard-wedge scanner types the code and Enter
// into the goods inward window, offscreen, against the private server.
#include "app/dialogs.h"
#include "goodsin/frmgoodsin.h"
#include "support/orders.h"
#include "support/testdb.h"
#include "values/localetext.h"

#include <QAccessible>
#include <QApplication>
#include <QDate>
#include <QStatusBar>
#include <QTest>

using namespace zel;
using zel::test::one;
using zel::test::settle;
using zel::test::snapshot;

namespace {

const QString kNone = "Nothing was booked in.";

} // namespace

class ScanTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        key = gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Account No`, "
                             "`Status`) VALUES ('SCAN/1', '1008', 2)");
        // Line 1 to 6, in the order stored.
        alginate = line("IMP-100", "Alginate 500g", 10, 0, {});
        bur = line(" imp-200 ", "Diamond bur", 5, 2, "2026-01-15");
        line("DUP-1", "Gloves M", 3, 0, {});
        line("dup-1 ", "Gloves M (spare)", 3, 0, {});
        starred = line("A*B", "Star part", 4, {}, {});
        w = std::make_unique<frmGoodsIn>();
        w->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        test::pickOrder(w->CustRef, key);
        ASSERT_EQ(w->DataGrid1->rowCount(), 5);
        w->txtScan->setFocus();
    }
    void TearDown() override {
        w.reset();
        DbTest::TearDown();
    }
    qint64 line(const QString& code, const QString& desc, int qty, const QVariant& booked,
                const QVariant& date) {
        return gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
                              "`Unit Price`, `Quantity`, `Qty BI`, `Date BI`) "
                              "VALUES (?, ?, ?, 2.5, ?, ?, ?)",
                              {key, code, desc, qty, booked, date});
    }
    // Types as a keyboard-wedge scanner does: the characters, then Enter,
    // wherever the keyboard focus is.
    void scan(const QString& text) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClicks(target, text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        settle();
    }
    QVariant stored(const QString& column, qint64 id) {
        return one(QStringLiteral("SELECT `%1` FROM `Order Details` WHERE `ID` = ?").arg(column),
                   {id});
    }
    // Every line of the order as stored, to see that nothing changed.
    QString lines() {
        QStringList out;
        for (const auto& row :
             gConn()
                 .select("SELECT `Part Id`, `Qty BI`, `Date BI` FROM `Order Details` "
                         "WHERE `Order ID` = ? ORDER BY `ID`",
                         {key})
                 .rows)
            out << row[0].toString() + u'|' + row[1].toString() + u'|' + row[2].toString();
        return out.join(u'\n');
    }
    QString shown(int row, int column) { return w->DataGrid1->model().text(row, column); }

    qint64 key = 0, alginate = 0, bur = 0, starred = 0;
    std::unique_ptr<frmGoodsIn> w;
};

TEST_F(ScanTest, EachScanBooksInOneMoreAndTheBoxIsReadyForTheNext) {
    EXPECT_EQ(w->lblScan->buddy(), w->txtScan);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w->txtScan);
    ASSERT_TRUE(a);
    EXPECT_EQ(a->text(QAccessible::Name), "Scan or type a part code");
    // Alt+C reaches the box from anywhere in the window.
    w->DataGrid1->setFocus();
    QTest::keyClick(w->DataGrid1, Qt::Key_C, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), w->txtScan);
    // Tab goes on to the lines under the box.
    QTest::keyClick(w->txtScan, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), w->DataGrid1);
    w->txtScan->setFocus();

    scan("IMP-100");
    EXPECT_TRUE(msgs->messages.empty()) << msgs->last().toStdString();
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 1);
    EXPECT_EQ(stored("Date BI", alginate).toDate(), QDate::currentDate());
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyBI), "1");
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyOS), "9");
    EXPECT_EQ(shown(0, frmGoodsIn::colDateBI), shortDateText(QDate::currentDate()));
    EXPECT_EQ(w->DataGrid1->currentRow(), 0);
    EXPECT_EQ(w->txtScan->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w->txtScan);
    EXPECT_EQ(w->statusBar()->currentMessage(),
              "Booked in 1 of IMP-100 Alginate 500g on line 1: 1 of 10 now in");

    // Case and blanks do not matter, on either side; a count books that many.
    scan("  imp-100 ");
    scan("3*IMP-100");
    scan(" 2 * Imp-200");
    EXPECT_TRUE(msgs->messages.empty()) << msgs->last().toStdString();
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 5);
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyOS), "5");
    EXPECT_EQ(stored("Qty BI", bur).toInt(), 4);
    EXPECT_EQ(shown(1, frmGoodsIn::colQtyOS), "1");
    // A line booked in before keeps the date it was first booked in.
    EXPECT_EQ(stored("Date BI", bur).toDate(), QDate(2026, 1, 15));
    // A code with a star of its own is that code; a line with no quantity
    // booked in yet starts from none.
    scan("a*b");
    EXPECT_TRUE(msgs->messages.empty()) << msgs->last().toStdString();
    EXPECT_EQ(stored("Qty BI", starred).toInt(), 1);
    EXPECT_EQ(stored("Date BI", starred).toDate(), QDate::currentDate());
    EXPECT_EQ(QApplication::focusWidget(), w->txtScan);
    snapshot(*w, "goods-in-scan");
}

TEST_F(ScanTest, ACodeOnNoLineOrOnTwoLinesChangesNothing) {
    const QString before = lines();
    scan("IMP-999");
    EXPECT_EQ(msgs->texts(),
              QStringList{"No line of this order has the part code \"IMP-999\". " + kNone});
    // What was scanned stays, selected, so the next scan replaces it.
    EXPECT_EQ(w->txtScan->selectedText(), "IMP-999");
    EXPECT_EQ(QApplication::focusWidget(), w->txtScan);
    scan("Dup-1");
    EXPECT_EQ(msgs->last(),
              "The part code \"Dup-1\" is on 2 lines of this order (lines 3 and 4). " + kNone +
                  " Type the quantity into the line meant.");
    scan("2*dup-1");
    EXPECT_EQ(msgs->messages.size(), 3u);
    EXPECT_EQ(lines(), before);
    EXPECT_EQ(w->txtScan->text(), "2*dup-1");
}

TEST_F(ScanTest, BadCountsAreRefusedWithTheReason) {
    const QString before = lines();
    for (const char* bad : {"0*IMP-100", "-1*IMP-100", "abc*IMP-100", "99999999999*IMP-100",
                            "10000*IMP-100", "*IMP-100", "1.5*IMP-100", "%2*IMP-100"}) {
        msgs->clear();
        w->txtScan->clear();
        scan(bad);
        const QString count = QString(bad).left(QString(bad).indexOf(u'*'));
        EXPECT_EQ(msgs->texts(), QStringList{"\"" + count +
                                             "\" is not a count to book in. Type a whole number "
                                             "from 1 to 9999, a star and the part code (eg "
                                             "3*IMP-100). " +
                                             kNone})
            << bad;
    }
    msgs->clear();
    w->txtScan->clear();
    scan("3*");
    EXPECT_EQ(msgs->texts(),
              QStringList{"Type the part code after the star (eg 3*IMP-100). " + kNone});
    EXPECT_EQ(lines(), before);
    // The most one scan takes is still booked in.
    msgs->answer(true);
    w->txtScan->clear();
    scan("9999*IMP-100");
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 9999);
}

TEST_F(ScanTest, BookingInMoreThanOrderedIsAskedFirst) {
    scan("9*IMP-100");
    EXPECT_TRUE(msgs->messages.empty());
    const QVariant date = stored("Date BI", alginate);

    // No, the default: nothing changes.
    scan("2*IMP-100");
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->last(), "Book in 11 on line 1, IMP-100 Alginate 500g? Only 10 were ordered.");
    EXPECT_TRUE(msgs->messages[0].defaultNo);
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 9);
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyBI), "9");
    EXPECT_EQ(w->txtScan->text(), "2*IMP-100");

    // Yes: booked in, and shown outstanding below nothing.
    msgs->answer(true);
    w->txtScan->clear();
    scan("2*IMP-100");
    EXPECT_EQ(msgs->messages.size(), 2u);
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 11);
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyOS), "-1");
    EXPECT_EQ(stored("Date BI", alginate), date);
    EXPECT_EQ(w->txtScan->text(), "");
    EXPECT_EQ(QApplication::focusWidget(), w->txtScan);
}

TEST_F(ScanTest, TheQuantityAndDateAreWrittenTogetherOrNotAtAll) {
    // The date cannot be written: the quantity is not kept either.
    test::withStatementHook(
        [](const QString& sql) {
            if (sql.startsWith("UPDATE") && sql.contains("`Date BI`"))
                throw DbError(1292, "Incorrect datetime value", sql);
        },
        [&] { scan("IMP-100"); });
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_TRUE(msgs->last().contains("Incorrect datetime value")) << msgs->last().toStdString();
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 0);
    EXPECT_TRUE(stored("Date BI", alginate).isNull());
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyBI), "0");
    EXPECT_EQ(shown(0, frmGoodsIn::colQtyOS), "10");
    EXPECT_EQ(w->txtScan->text(), "IMP-100");

    // Once the date can be written, the same scan books in.
    msgs->clear();
    scan("");
    EXPECT_TRUE(msgs->messages.empty()) << msgs->last().toStdString();
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 1);
    EXPECT_EQ(stored("Date BI", alginate).toDate(), QDate::currentDate());
}

TEST_F(ScanTest, WithNoOrderOnScreenItSaysSo) {
    frmGoodsIn empty;
    empty.show();
    empty.activateWindow();
    empty.txtScan->setFocus();
    QTest::keyClicks(empty.txtScan, "IMP-100");
    QTest::keyClick(empty.txtScan, Qt::Key_Return);
    settle();
    EXPECT_EQ(msgs->texts(), QStringList{"There is no order on screen to book IMP-100 in against. "
                                         "Please select a Suppliers Reference first."});
    EXPECT_EQ(stored("Qty BI", alginate).toInt(), 0);
    // An empty Enter does nothing at all.
    msgs->clear();
    empty.txtScan->clear();
    QTest::keyClick(empty.txtScan, Qt::Key_Return);
    EXPECT_TRUE(msgs->messages.empty());
}
