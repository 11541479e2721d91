// The outstanding deliveries list, opened from either order window and
// driven offscreen against the private server: what it lists, the supplier
// filter, sorting by the headers, opening an order in the window that opened
// the list, and its printout.
#include "app/dialogs.h"
#include "bound/reportpreview.h"
#include "deliveries/frmoutstanding.h"
#include "deliveries/outstandingmodel.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"
#include "support/testdb.h"

#include <QAccessible>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>

using namespace zel;
using zel::test::settle;
using zel::test::snapshot;

namespace {

const QDate kToday(2026, 3, 10);

qint64 order(const QString& ref, const QString& supplier, int status, QDate date) {
    return gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Customer Name`, `Account No`, "
        "`Quoted Date`, `Status`) VALUES (?, ?, '1008', ?, ?)",
        {ref, supplier, date.startOfDay(), status});
}

void line(qint64 order, const QString& part, int qty, int booked, QDate due = {}) {
    gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
                   "`Quantity`, `Qty BI`, `DueDate`) VALUES (?, ?, ?, ?, ?, ?)",
                   {order, part, "Description of " + part, qty, booked,
                    due.isValid() ? QVariant(due.startOfDay()) : QVariant()});
}

frmOutstanding* openList() {
    return qobject_cast<frmOutstanding*>(dialogs().find(QStringLiteral("frmOutstanding")));
}

QStringList column(frmOutstanding* f, int c) {
    QStringList out;
    for (int r = 0; r < f->shownCount(); ++r)
        out << f->shownText(r, c);
    return out;
}

void clickHeader(QTableView* view, int section) {
    QHeaderView* h = view->horizontalHeader();
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {},
                      QPoint(h->sectionViewportPosition(section) + 4, h->height() / 2));
}

} // namespace

class DeliveriesTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        for (const char* t : {"Order Details", "Order Information"})
            gConn().execute(QStringLiteral("DELETE FROM `%1`").arg(QLatin1String(t)));
        late = order("AC/1", "Acme Dental", 1, QDate(2026, 3, 1));
        line(late, "LATE-1", 10, 4, QDate(2026, 3, 7)); // 3 days late
        line(late, "DONE-1", 5, 5, QDate(2026, 3, 1));  // all booked in
        line(late, "OVER-1", 5, 6, QDate(2026, 3, 1));  // more booked than ordered
        soon = order("BR/7", "Bright Supplies", 1, QDate(2026, 3, 2));
        line(soon, "SOON-1", 2, 0, QDate(2026, 3, 20));
        line(soon, "NODUE-1", 3, 1);
        const qint64 pending = order("PE/1", "Acme Dental", 2, QDate(2026, 3, 3));
        line(pending, "PEND-1", 4, 0, QDate(2026, 3, 1));
        frmPurchaseOrder::openers().deliveries = [](OrderHub& hub) {
            dialogs().show<frmOutstanding>(QStringLiteral("frmOutstanding"), [&] {
                return new frmOutstanding(hub, nullptr, kToday);
            });
        };
        frmGoodsIn::openers().deliveries = frmPurchaseOrder::openers().deliveries;
        po = std::make_unique<frmPurchaseOrder>();
        po->show();
        gi = std::make_unique<frmGoodsIn>();
        gi->show();
    }
    void TearDown() override {
        dialogs().closeAll();
        settle();
        gi.reset();
        po.reset();
        frmPurchaseOrder::openers() = {};
        frmGoodsIn::openers() = {};
        DbTest::TearDown();
    }

    std::unique_ptr<frmPurchaseOrder> po;
    std::unique_ptr<frmGoodsIn> gi;
    qint64 late = 0, soon = 0;
};

TEST_F(DeliveriesTest, ListsWhatApprovedOrdersStillAwaitAndMarksTheLateOnes) {
    gi->Command11->click();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->windowTitle(), "Outstanding Deliveries");
    // By due date, the one without a due date last; no fully or over-booked
    // line, nothing of an order not approved.
    EXPECT_EQ(column(f, frmOutstanding::colPartId), (QStringList{"LATE-1", "SOON-1", "NODUE-1"}));
    EXPECT_EQ(f->shownText(0, frmOutstanding::colSupplier), "Acme Dental");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colOrderRef), "AC/1");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colOrdered), "01/03/2026");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colDue), "07/03/2026");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colQuantity), "10");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colBooked), "4");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colOutstanding), "6");
    EXPECT_EQ(f->shownText(0, frmOutstanding::colDaysLate), "3");
    EXPECT_EQ(f->shownText(1, frmOutstanding::colDaysLate), "");
    EXPECT_EQ(f->shownText(2, frmOutstanding::colDue), "");
    EXPECT_EQ(f->lblCount->text(), "3 lines outstanding, 1 late");

    // A late line says so in colour and to a screen reader; the others do not.
    const QAbstractItemModel* m = f->lstLines->model();
    EXPECT_TRUE(m->index(0, frmOutstanding::colPartId).data(Qt::ForegroundRole).isValid());
    EXPECT_EQ(m->index(0, frmOutstanding::colPartId).data(Qt::AccessibleDescriptionRole),
              "Late: due 07/03/2026, 3 days ago");
    EXPECT_FALSE(m->index(1, frmOutstanding::colPartId).data(Qt::ForegroundRole).isValid());
    EXPECT_FALSE(
        m->index(1, frmOutstanding::colPartId).data(Qt::AccessibleDescriptionRole).isValid());
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f->lstLines);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->text(QAccessible::Name), "Outstanding lines");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(f->cmbSupplier)->text(QAccessible::Name),
              "Supplier");
    snapshot(*f, "outstanding-deliveries");

    // Asking again brings the same list forward, also from the other window.
    po->mnDeliveries->trigger();
    EXPECT_EQ(openList(), f);
}

TEST_F(DeliveriesTest, TheSupplierFilterAndTheHeadersNarrowAndSortTheList) {
    po->mnDeliveries->trigger();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->cmbSupplier->count(), 3); // every supplier, and the two with lines
    f->cmbSupplier->setCurrentIndex(f->cmbSupplier->findText("Bright Supplies"));
    emit f->cmbSupplier->activated(f->cmbSupplier->currentIndex());
    EXPECT_EQ(column(f, frmOutstanding::colPartId), (QStringList{"SOON-1", "NODUE-1"}));
    EXPECT_EQ(f->lblCount->text(), "2 lines outstanding, 0 late");
    EXPECT_EQ(f->printout().pages[0].text("lblFilter"), "Supplier: Bright Supplies");

    f->chooseSupplier({});
    EXPECT_EQ(f->shownCount(), 3);
    // Outstanding: 1 < 2 < 6, then the other way round; numbers, not texts.
    clickHeader(f->lstLines, frmOutstanding::colOutstanding);
    EXPECT_EQ(column(f, frmOutstanding::colOutstanding), (QStringList{"2", "2", "6"}));
    clickHeader(f->lstLines, frmOutstanding::colOutstanding);
    EXPECT_EQ(column(f, frmOutstanding::colOutstanding).first(), "6");
    clickHeader(f->lstLines, frmOutstanding::colOrderRef);
    EXPECT_EQ(column(f, frmOutstanding::colOrderRef), (QStringList{"AC/1", "BR/7", "BR/7"}));
    // Dates sort as dates: 07/03 before 20/03, whatever their text.
    clickHeader(f->lstLines, frmOutstanding::colDue);
    EXPECT_EQ(column(f, frmOutstanding::colDue), (QStringList{"07/03/2026", "20/03/2026", ""}));
}

TEST_F(DeliveriesTest, EnterOrADoubleClickOpensTheOrderInTheWindowThatOpenedTheList) {
    gi->Command11->click();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    f->lstLines->setFocus();
    f->lstLines->setCurrentIndex(f->lstLines->model()->index(1, 0));
    QTest::keyClick(f->lstLines, Qt::Key_Return);
    settle();
    EXPECT_EQ(gi->CustRef->BoundText(), QString::number(soon));
    EXPECT_EQ(gi->CustRef->Text(), "BR/7");
    EXPECT_EQ(gi->DataGrid1->rowCount(), 2); // the order's lines are shown
    EXPECT_EQ(po->CustRef->BoundText(), ""); // the other window is left alone

    const QModelIndex first = f->lstLines->model()->index(0, frmOutstanding::colPartId);
    const QRect r = f->lstLines->visualRect(first);
    QTest::mouseClick(f->lstLines->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(f->lstLines->viewport(), Qt::LeftButton, {}, r.center());
    settle();
    EXPECT_EQ(gi->CustRef->BoundText(), QString::number(late));
    EXPECT_TRUE(f->isVisible()); // the list stays for the next line
}

TEST_F(DeliveriesTest, ANewApprovedOrderShowsOnRefreshAndOpensInTheHub) {
    po->mnDeliveries->trigger();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    const qint64 added = order("CE/1", "Cement Co", 1, QDate(2026, 3, 9));
    line(added, "NEW-1", 1, 0, QDate(2026, 3, 5));
    f->cmdRefresh->click();
    ASSERT_EQ(f->shownCount(), 4);
    EXPECT_EQ(f->shownText(0, frmOutstanding::colPartId), "NEW-1");
    // The hub had not listed the order yet: it lists it, then opens it.
    f->openRow(0);
    EXPECT_EQ(po->CustRef->BoundText(), QString::number(added));
    EXPECT_EQ(po->CustRef->Text(), "CE/1");
}

TEST_F(DeliveriesTest, ThePrintoutHoldsTheLinesShownAndBecomesAPdf) {
    gi->Command11->click();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    const report::Document doc = f->printout();
    ASSERT_EQ(doc.pages.size(), 1);
    const report::Page& p = doc.pages[0];
    EXPECT_EQ(p.text("Label1"), "Outstanding Deliveries");
    EXPECT_EQ(p.text("lblFilter"), "All suppliers");
    // Every column is headed, above the first line.
    EXPECT_EQ(p.text("Head1"), "Supplier");
    EXPECT_EQ(p.text("Head10"), "Late");
    EXPECT_LT(p.find("Head6").first()->rect.bottom(), p.find("txtPartId").first()->rect.top());
    QStringList parts;
    for (const report::Placed* item : p.find("txtPartId"))
        parts << item->text;
    EXPECT_EQ(parts, (QStringList{"LATE-1", "SOON-1", "NODUE-1"}));
    EXPECT_EQ(p.find("txtDaysLate").first()->text, "3");
    EXPECT_EQ(p.find("txtCustomerRef").first()->text, "AC/1");
    EXPECT_EQ(p.text("lblCount"), "3 lines outstanding, 1 late");

    // The preview opens from Print; a list with nothing shown says so instead.
    f->cmdPrint->click();
    settle();
    bool previewed = false;
    for (QWidget* w : QApplication::topLevelWidgets())
        previewed |= qobject_cast<ReportPreview*>(w) && w->windowTitle().contains("Outstanding");
    EXPECT_TRUE(previewed);

    QTemporaryDir dir;
    const QString pdf = dir.filePath("outstanding.pdf");
    report::writePdf(doc, pdf);
    QProcess text;
    text.start("pdftotext", {"-layout", pdf, "-"});
    if (!text.waitForFinished(30000) || text.exitCode() != 0)
        GTEST_SKIP() << "pdftotext is not available";
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    for (const char* expected : {"Outstanding Deliveries", "LATE-1", "Bright Supplies", "BR/7",
                                 "20/03/2026", "Page 1 of 1"})
        EXPECT_TRUE(out.contains(QLatin1String(expected))) << expected;
    if (!qEnvironmentVariableIsEmpty("ZEL_SCREENSHOT_DIR"))
        QFile::copy(pdf, qEnvironmentVariable("ZEL_SCREENSHOT_DIR") + "/outstanding.pdf");
}

TEST_F(DeliveriesTest, SaveAsCsvWritesTheLinesShownWithDatesAndNumbersAsSuch) {
    gi->Command11->click();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    QTemporaryDir dir;
    QString proposed;
    f->askSavePath = [&](const QString& p) {
        proposed = p;
        return dir.filePath("outstanding.csv");
    };
    f->chooseSupplier("Bright Supplies");
    msgs->clear();
    f->cmdSaveCsv->click();
    EXPECT_TRUE(proposed.endsWith("Outstanding deliveries.csv"));
    EXPECT_EQ(msgs->last(), "The 2 lines listed were saved as " +
                                QDir::toNativeSeparators(dir.filePath("outstanding.csv")));
    QFile file(dir.filePath("outstanding.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).remove(QChar(0xFEFF)).split("\r\n");
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines[0], "Supplier,Order Ref,Date Ordered,Due Date,Days Late,Product Code,"
                        "Description,Ordered,Booked In,Outstanding");
    EXPECT_EQ(lines[1], "Bright Supplies,BR/7,2026-03-02,2026-03-20,,SOON-1,Description of "
                        "SOON-1,2,0,2");
    EXPECT_EQ(lines[2], "Bright Supplies,BR/7,2026-03-02,,,NODUE-1,Description of NODUE-1,3,1,2");

    // Nothing shown: nothing is asked or written.
    gConn().execute("UPDATE `Order Details` SET `Qty BI` = `Quantity`");
    f->Refresh();
    proposed.clear();
    f->cmdSaveCsv->click();
    EXPECT_TRUE(proposed.isEmpty());
    EXPECT_EQ(msgs->last(), "There are no outstanding deliveries to save.");
}

TEST_F(DeliveriesTest, NothingOutstandingPrintsNothingAndSaysSo) {
    gConn().execute("UPDATE `Order Details` SET `Qty BI` = `Quantity`");
    gi->Command11->click();
    frmOutstanding* f = openList();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->shownCount(), 0);
    EXPECT_EQ(f->lblCount->text(), "0 lines outstanding, 0 late");
    msgs->clear();
    f->cmdPrint->click();
    EXPECT_EQ(msgs->texts(), QStringList{"There are no outstanding deliveries to print."});
}

namespace {
// Makes the list tall enough for about `rows` lines, so the next are read
// only when it is scrolled.
void resizeToRows(frmOutstanding* f, int rows) {
    QTableView* v = f->lstLines;
    v->setFixedHeight(v->horizontalHeader()->height() +
                      v->verticalHeader()->defaultSectionSize() * (rows - 1));
    settle();
}

// Scrolls the list to its end until every line is read; the part codes shown.
QStringList scrollToEnd(frmOutstanding* f) {
    for (int tries = 0; tries < 50 && f->lstLines->model()->canFetchMore({}); ++tries) {
        f->lstLines->setFocus();
        QTest::keyClick(f->lstLines, Qt::Key_End, Qt::ControlModifier);
        settle();
    }
    return column(f, frmOutstanding::colPartId);
}
} // namespace

// Ten lines outstanding (the fixture's three and seven more), read three at a time.
class PagedDeliveriesTest : public DeliveriesTest {
protected:
    void SetUp() override {
        DeliveriesTest::SetUp();
        const qint64 big = order("CE/2", "Cement Co", 1, QDate(2026, 3, 4));
        for (int k = 1; k <= 7; ++k)
            line(big, QString("BIG-%1").arg(k), 5, 0, QDate(2026, 3, 10 + k));
    }
    frmOutstanding* openPaged() {
        gi->Command11->click();
        frmOutstanding* f = openList();
        if (!f)
            return nullptr;
        qobject_cast<OutstandingModel*>(f->lstLines->model())->setPageSize(3);
        f->Refresh();
        resizeToRows(f, 3);
        return f;
    }
    // Every line by due date.
    const QStringList byDue = {"LATE-1", "BIG-1", "BIG-2", "BIG-3",  "BIG-4",
                               "BIG-5",  "BIG-6", "BIG-7", "SOON-1", "NODUE-1"};
};

TEST_F(PagedDeliveriesTest, ALongListIsReadAPageAtATimeAsItIsScrolledAndSortedByTheServer) {
    frmOutstanding* f = openPaged();
    ASSERT_NE(f, nullptr);
    // Three read, all ten counted; the rest come as the list scrolls down.
    EXPECT_EQ(f->shownCount(), 3);
    EXPECT_EQ(f->lblCount->text(), "10 lines outstanding, 1 late");
    EXPECT_EQ(scrollToEnd(f), byDue);

    // A header sorts every line on the server, not only those read.
    clickHeader(f->lstLines, frmOutstanding::colPartId);
    EXPECT_EQ(f->shownCount(), 3);
    EXPECT_EQ(column(f, frmOutstanding::colPartId), (QStringList{"BIG-1", "BIG-2", "BIG-3"}));
    clickHeader(f->lstLines, frmOutstanding::colPartId);
    EXPECT_EQ(column(f, frmOutstanding::colPartId), (QStringList{"SOON-1", "NODUE-1", "LATE-1"}));
    QStringList descending = byDue;
    std::sort(descending.begin(), descending.end(), std::greater<>());
    EXPECT_EQ(scrollToEnd(f), descending);

    // The printout and the file hold every line, whether scrolled to or not.
    clickHeader(f->lstLines, frmOutstanding::colDue);
    ASSERT_LT(f->shownCount(), 10);
    EXPECT_EQ(f->shownRows().size(), 10);
    EXPECT_EQ(f->printout().pages[0].text("lblCount"), "10 lines outstanding, 1 late");
}

TEST_F(PagedDeliveriesTest,
       LinesBookedInElsewhereWhileTheListIsReadAreNeitherSkippedNorShownTwice) {
    frmOutstanding* f = openPaged();
    ASSERT_NE(f, nullptr);
    const auto bookInElsewhere = [](const char* part) {
        gConn().execute("UPDATE `Order Details` SET `Qty BI` = `Quantity` WHERE `Part Id` = ?",
                        {part});
    };
    ASSERT_EQ(column(f, frmOutstanding::colPartId), (QStringList{"LATE-1", "BIG-1", "BIG-2"}));
    // A line already read is booked in on another workstation: the lines
    // after it move up one, and the next page would start a line late.
    bookInElsewhere("BIG-1");
    EXPECT_EQ(scrollToEnd(f), (QStringList{"LATE-1", "BIG-2", "BIG-3", "BIG-4", "BIG-5", "BIG-6",
                                           "BIG-7", "SOON-1", "NODUE-1"}));
    // An order approved meanwhile whose line comes first moves them down one.
    f->Refresh();
    ASSERT_EQ(column(f, frmOutstanding::colPartId), (QStringList{"LATE-1", "BIG-2", "BIG-3"}));
    line(order("EA/1", "Early Ltd", 1, QDate(2026, 3, 1)), "EARLY-1", 1, 0, QDate(2026, 3, 2));
    EXPECT_EQ(scrollToEnd(f), (QStringList{"EARLY-1", "LATE-1", "BIG-2", "BIG-3", "BIG-4", "BIG-5",
                                           "BIG-6", "BIG-7", "SOON-1", "NODUE-1"}));
}
