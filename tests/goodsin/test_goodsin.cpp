// The goods inward window driven as a user would, offscreen, against the
// private server; the stock control hand-off starts a real program.
#include "app/dialogs.h"
#include "connection/rowsetfile.h"
#include "connection/settings.h"
#include "goodsin/frmgoodsin.h"
#include "orderform/orderactions.h"
#include "support/adtgwriter.h"
#include "support/orders.h"
#include "support/testdb.h"

#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolTip>

using namespace zel;
using zel::test::count;
using zel::test::one;
using zel::test::settle;
using zel::test::snapshot;

namespace {

void putFile(const QString& path, const QByteArray& bytes, bool executable = false) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
    f.close();
    if (executable)
        f.setPermissions(f.permissions() | QFile::ExeOwner | QFile::ReadOwner);
}

// Waits (for a program started elsewhere) until the file exists; its lines.
std::optional<QStringList> awaitLines(const QString& path) {
    for (int i = 0; i < 400 && !QFile::exists(path); ++i)
        QTest::qWait(25);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The settings file written by hand, as the README describes it.
QByteArray settingsFile(const QString& stockControl) {
    return QStringLiteral(
               "<xml xmlns:s='uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882'\n"
               "     xmlns:dt='uuid:C2F41010-65B3-11d1-A29F-00AA00C14882'\n"
               "     xmlns:rs='urn:schemas-microsoft-com:rowset' xmlns:z='#RowsetSchema'>\n"
               "<s:Schema id='RowsetSchema'>\n"
               "  <s:ElementType name='row' content='eltOnly'>\n"
               "    <s:AttributeType name='Item'><s:datatype dt:type='string' "
               "dt:maxLength='50'/></s:AttributeType>\n"
               "    <s:AttributeType name='TextValue'><s:datatype dt:type='string' "
               "dt:maxLength='255'/></s:AttributeType>\n"
               "  </s:ElementType>\n"
               "</s:Schema>\n"
               "<rs:data>\n"
               "  <z:row Item='ServerDB' TextValue='ZelDental2'/>\n"
               "  <z:row Item='StockControl' TextValue='%1'/>\n"
               "</rs:data>\n"
               "</xml>\n")
        .arg(stockControl.toHtmlEscaped())
        .toUtf8();
}

} // namespace

class GoodsInTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        w = std::make_unique<frmGoodsIn>();
        w->show();
    }
    void TearDown() override {
        w.reset();
        frmGoodsIn::openers() = {};
        setWorkstationFolder(QString());
        DbTest::TearDown();
    }
    void pickOrder(qint64 key) { test::pickOrder(w->CustRef, key); }
    void typeRef(const QString& ref) { test::typeRef(w->CustRef, ref); }
    // A stored order at 10 % discount and 20 % VAT, listed by the window.
    qint64 makeOrder(const QString& ref, const QList<QStringList>& lines,
                     const QVariant& packagePrice = {}) {
        const qint64 key = test::makeOrder(ref, lines, {"1008", {}, 2, 10, 20, packagePrice});
        w->cmbLoadList1();
        return key;
    }
    int rowOfLine(const QVariant& id) {
        for (int r = 0; r < w->DataGrid1->rowCount(); ++r)
            if (w->DataGrid1->model().value(r, frmGoodsIn::colID) == id)
                return r;
        return -1;
    }
    QVariant lineValue(const QString& column, const QVariant& id) {
        return one(QStringLiteral("SELECT `%1` FROM `Order Details` WHERE `ID` = ?").arg(column),
                   {id});
    }

    std::unique_ptr<frmGoodsIn> w;
};

TEST_F(GoodsInTest, OpensEmptyWithItsCaptionsAndTheVatDesignTextCleared) {
    EXPECT_EQ(w->windowTitle(), "Good In \u2014 new order, not saved");
    EXPECT_EQ(w->CustRef->Text(), "");
    EXPECT_EQ(w->CustomerName->text(), "");
    EXPECT_EQ(w->Discount->text(), "0");
    EXPECT_EQ(w->VAT->text(), "");
    EXPECT_EQ(w->lblSubTotal->text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);
    EXPECT_EQ(w->CustRef->count(), 40);
    EXPECT_EQ(w->Status->count(), 6);
    EXPECT_EQ(w->Label7->text(), "Double-click to launch Stock Control...");
    EXPECT_EQ(w->Label10->text(), "Double click for todays date..");
    EXPECT_EQ(plainCaption(w->ckPPrice->text()), "Pkg Price:");
    QStringList captions;
    for (QPushButton* b : {w->Command10, w->Command4, w->Command3, w->Command5, w->Command6})
        captions << plainCaption(b->text());
    EXPECT_EQ(captions, (QStringList{"Find", "Delete", "Save", "Print", "EXIT"}));
    EXPECT_EQ(w->findChild<QWidget*>("Position_Department")->accessibleName(), "Position");
    // No order, so no line can be added.
    const int lines = count("Order Details");
    EXPECT_FALSE(w->DataGrid1->editCell(0, frmGoodsIn::colPartId, "HEN-1042"));
    EXPECT_EQ(msgs->texts(), QStringList{"Please select a Suppliers Reference"});
    EXPECT_EQ(count("Order Details"), lines);
}

TEST_F(GoodsInTest, OnlyAPickFromTheListLoadsAndTheOrdersOwnDiscountAndVatStayOut) {
    w->CustRef->setBoundText("1");
    w->CustRef_Click(DataCombo::EditPart);
    w->CustRef_Click(DataCombo::Button);
    EXPECT_EQ(w->CustomerName->text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);

    pickOrder(1); // discount 10 %, VAT 20 % on the order
    EXPECT_EQ(w->CustRef->Text(), "PEN/24/0535");
    EXPECT_EQ(w->AccountNo->text(), "1008");
    EXPECT_EQ(w->Status->BoundText(), "4");
    EXPECT_FALSE(w->lblFullName->text().isEmpty());
    EXPECT_EQ(w->QuotedDate->text(), one("SELECT DATE_FORMAT(`Quoted Date`, '%d/%m/%Y') FROM "
                                         "`Order Information` WHERE `Quote ID` = 1")
                                         .toString());
    EXPECT_EQ(w->Discount->text(), "0");
    EXPECT_EQ(w->VAT->text(), "");
    EXPECT_FALSE(w->lblSubTotal->text().isEmpty());
    EXPECT_EQ(w->lblDiscountValue->text(), w->lblSubTotal->text());
    EXPECT_EQ(w->lblFinalTotal->text(), w->lblSubTotal->text());
    EXPECT_EQ(w->ValVal->text(), "£0.00");

    // The lines in their column order, the keys, status and location hidden.
    const RowSet& rs = w->DataGrid1->model().rowSet();
    EXPECT_EQ(rs.columns, (QStringList{"ID", "Order ID", "Product ID", "Part Id", "Description",
                                       "Unit Price", "Quantity", "Qty BI", "Date BI", "Discount",
                                       "Extended Price", "Parts Status", "Notes", "Loc", "Qty OS",
                                       "GoodsDel", "GoodsDelNotes", "DueDate"}));
    EXPECT_EQ(w->DataGrid1->rowCount(), count("Order Details", "`Order ID` = 1"));
    for (int c = 0; c < rs.columns.size(); ++c)
        EXPECT_EQ(w->DataGrid1->isColumnHidden(c), c == 0 || c == 1 || c == 2 || c == 11 || c == 13)
            << c;

    // Typing in the totals boxes recomputes nothing; clicking the status text saves nothing.
    w->VAT->setText("20");
    EXPECT_EQ(w->ValVal->text(), "£0.00");
    w->Status->setBoundText("3");
    w->Status_Click(DataCombo::EditPart);
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = 1").toInt(), 4);
    EXPECT_TRUE(msgs->messages.empty());
}

TEST_F(GoodsInTest, BookingInWritesTheLineAndUpdatesTheOutstandingQuantity) {
    pickOrder(22); // partly booked in
    snapshot(*w, "goods-in");
    const QVariant line = 111; // Quantity 10, nothing booked in yet
    const int row = rowOfLine(line);
    ASSERT_GE(row, 0);
    EXPECT_EQ(w->DataGrid1->model().text(row, frmGoodsIn::colQtyOS), "10");

    // Typed into the cell as a user would: Qty OS follows once the edit is done.
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(row, frmGoodsIn::colQtyBI);
    QTest::keyClicks(w->DataGrid1, "4");
    auto* editor = w->DataGrid1->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
    EXPECT_EQ(lineValue("Qty BI", line).toInt(), 4);
    EXPECT_EQ(w->DataGrid1->model().text(row, frmGoodsIn::colQtyOS), "6");
    EXPECT_EQ(w->DataGrid1->model().text(row, frmGoodsIn::colQuantity), "10");

    // The date in the workstation's order.
    ASSERT_TRUE(w->DataGrid1->editCell(row, frmGoodsIn::colDateBI, "05/03/2026"));
    settle();
    EXPECT_EQ(lineValue("Date BI", line).toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(w->DataGrid1->model().text(row, frmGoodsIn::colDateBI), "05/03/2026");

    // Bad input is refused naming the field; the line and Qty OS stay.
    msgs->clear();
    EXPECT_FALSE(w->DataGrid1->editCell(row, frmGoodsIn::colQtyBI, "four"));
    settle();
    EXPECT_EQ(msgs->texts(), QStringList{"Qty BI: \"four\" is not a whole number."});
    EXPECT_FALSE(w->DataGrid1->editCell(row, frmGoodsIn::colDateBI, "31/02/2026"));
    EXPECT_TRUE(msgs->last().startsWith("Date BI: \"31/02/2026\" is not a date"));
    EXPECT_EQ(lineValue("Qty BI", line).toInt(), 4);
    EXPECT_EQ(lineValue("Date BI", line).toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(w->DataGrid1->model().text(row, frmGoodsIn::colQtyOS), "6");

    // Emptying the booked-in quantity leaves nothing outstanding to show.
    ASSERT_TRUE(w->DataGrid1->editCell(row, frmGoodsIn::colQtyBI, ""));
    settle();
    EXPECT_TRUE(lineValue("Qty BI", line).isNull());
    EXPECT_EQ(w->DataGrid1->model().text(row, frmGoodsIn::colQtyOS), "");

    // A line added in the grid belongs to the order shown.
    const int rows = w->DataGrid1->rowCount();
    ASSERT_TRUE(w->DataGrid1->editCell(rows, frmGoodsIn::colPartId, "HEN-1042"));
    EXPECT_EQ(count("Order Details", "`Order ID` = 22 AND `Part Id` = 'HEN-1042'"), 1);
}

TEST_F(GoodsInTest, ThePackageModeAndTheTotalsFollowTheOrderLoaded) {
    pickOrder(17); // package price 450, VAT not loaded here
    EXPECT_TRUE(w->ckPPrice->isChecked());
    EXPECT_TRUE(w->lblCalcPkg->isVisible());
    EXPECT_TRUE(w->PackagePrice->isVisible());
    EXPECT_FALSE(w->lblSubTotal->isVisible());
    EXPECT_FALSE(w->lblFinalTotal->isVisible());
    EXPECT_EQ(w->lblCalcPkg->text(), "£450.00");

    const qint64 pkg = makeOrder("PKG/1", {{"10", "1", "0"}}, "12.5");
    pickOrder(pkg);
    EXPECT_EQ(w->lblCalcPkg->text(), "£12.50");

    // An order without a package price is not shown in package mode.
    const qint64 nulls = makeOrder("NULLS/1", {{"10", "3", ""}, {"5", "2", ""}});
    pickOrder(nulls);
    EXPECT_FALSE(w->ckPPrice->isChecked());
    EXPECT_TRUE(w->lblSubTotal->isVisible());
    EXPECT_FALSE(w->lblCalcPkg->isVisible());
    EXPECT_EQ(w->lblSubTotal->text(), "£0.00");
    EXPECT_EQ(w->lblFinalTotal->text(), "£0.00");

    // Ticking the box by hand switches nothing.
    QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
    EXPECT_TRUE(w->ckPPrice->isChecked());
    EXPECT_TRUE(w->lblSubTotal->isVisible());
}

TEST_F(GoodsInTest, ChoosingAStatusSavesTheHeaderAndStampsEveryLine) {
    pickOrder(36); // partly booked in, some lines complete
    snapshot(*w, "goods-in");
    w->Telephone->setText("0131 496 0999");
    const int lines = count("Order Details", "`Order ID` = 36");
    const int elsewhere = count("Order Details", "`Order ID` <> 36 AND `Parts Status` = 5");
    ASSERT_GT(count("Order Details", "`Order ID` = 36 AND `Qty BI` >= `Quantity`"), 0);
    w->Status->pickKey("5");
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = 36").toInt(), 5);
    EXPECT_EQ(one("SELECT `Telephone` FROM `Order Information` WHERE `Quote ID` = 36").toString(),
              "0131 496 0999");
    EXPECT_EQ(count("Order Details", "`Order ID` = 36 AND `Parts Status` = 5"), lines);
    EXPECT_EQ(count("Order Details", "`Order ID` <> 36 AND `Parts Status` = 5"), elsewhere);
    EXPECT_EQ(w->DataGrid1->model().value(0, frmGoodsIn::colPartsStatus).toInt(), 5);

    // A header that cannot be saved stamps nothing.
    const int stamped = count("Order Details", "`Parts Status` = 6");
    w->QuotedDate->setText("31/02/2026");
    w->Status->pickKey("6");
    EXPECT_EQ(msgs->texts(),
              QStringList{"Date Entered: \"31/02/2026\" is not a date (dd/mm/yyyy)."});
    EXPECT_EQ(count("Order Details", "`Parts Status` = 6"), stamped);
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = 36").toInt(), 5);
}

TEST_F(GoodsInTest, SaveWritesOnlyItsOwnColumns) {
    gConn().execute("UPDATE `Order Information` SET `Discount` = 12.5, `package price` = 99 WHERE "
                    "`Quote ID` = 1");
    const RowSet before = gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = 1");
    pickOrder(1);
    w->Discount->setText("50");
    w->VAT->setText("5");
    w->PackagePrice->setText("1");
    w->CustomerName->setText("Pennine Dental Supplies (Leeds) Ltd");
    w->Telephone->clear();
    w->QuotedDate->setText("07/04/2026");
    w->Command3_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});
    EXPECT_TRUE(msgs->messages[0].title.isEmpty());

    const RowSet after = gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = 1");
    EXPECT_EQ(after.at(0, "Customer Name").toString(), "Pennine Dental Supplies (Leeds) Ltd");
    EXPECT_TRUE(after.at(0, "Telephone").isNull());
    EXPECT_EQ(after.at(0, "Quoted Date").toDate(), QDate(2026, 4, 7));
    for (const char* untouched : {"Discount", "VAT", "package price", "Shipped To", "Shipto id",
                                  "InvoiceTo", "Grand Total"})
        EXPECT_EQ(after.at(0, untouched), before.at(0, untouched)) << untouched;
    for (const char* kept : {"Customer Ref", "Street", "Town", "Account No", "Sales Rep", "Name",
                             "CUSTOMER ID", "Status", "Contact Name"})
        EXPECT_EQ(after.at(0, kept).toString(), before.at(0, kept).toString()) << kept;
}

TEST_F(GoodsInTest, SaveChecksItsFieldsThenATypedNewReferenceCreatesItsHeader) {
    const int orders = count("Order Information");
    w->Command3_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Suppliers Reference cannot be empty"});
    typeRef("GI/O'Hara \"2\"");
    msgs->clear();
    w->Command3_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please provide a PO Status"});
    w->Status->setBoundText("2");
    w->AccountNo->setText("1004");
    w->QuotedDate->setText("yesterday");
    msgs->clear();
    w->Command3_Click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Date Entered: \"yesterday\" is not a date (dd/mm/yyyy)."});
    EXPECT_EQ(count("Order Information"), orders);

    w->QuotedDate->clear();
    msgs->clear();
    w->Command3_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});
    ASSERT_EQ(count("Order Information"), orders + 1);
    const qint64 key = w->orderKey();
    ASSERT_GT(key, 40);
    EXPECT_EQ(w->CustRef->Text(), "GI/O'Hara \"2\"");
    EXPECT_GE(w->CustRef->listModel().rowOfKey(QString::number(key)), 0);
    RowSet r = gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = ?", {key});
    EXPECT_EQ(r.at(0, "Customer Ref").toString(), "GI/O'Hara \"2\"");
    EXPECT_EQ(r.at(0, "Account No").toString(), "1004");
    EXPECT_EQ(r.at(0, "Status").toInt(), 2);
    EXPECT_TRUE(r.at(0, "Quoted Date").isNull());
    // Saving again changes the same row.
    w->Command3_Click();
    EXPECT_EQ(count("Order Information"), orders + 1);
}

TEST_F(GoodsInTest, TheTitleNamesTheOrderAndTypingNeverSwitchesOrDetachesIt) {
    pickOrder(25);
    EXPECT_EQ(w->windowTitle(), "Good In \u2014 order 25");
    const QString name = w->CustomerName->text();
    const int orders = count("Order Information");

    // Another order's reference typed over it: order 25 stays on screen and in hand.
    typeRef("PEN/24/0535");
    EXPECT_EQ(w->orderKey(), 25);
    EXPECT_EQ(w->windowTitle(), "Good In \u2014 order 25");
    EXPECT_EQ(w->CustomerName->text(), name);
    // A reference no order has, saved, renames order 25.
    typeRef("O'NEILL/26/0430");
    EXPECT_EQ(w->orderKey(), 25);
    w->Command3_Click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(count("Order Information"), orders);
    EXPECT_EQ(
        one("SELECT `Customer Ref` FROM `Order Information` WHERE `Quote ID` = 25").toString(),
        "O'NEILL/26/0430");

    // Delete after typing yet another reference still removes the order on screen.
    typeRef("PEN/24/0535");
    msgs->answer(true);
    w->Command4_Click();
    EXPECT_EQ(count("Order Information", "`Quote ID` = 25"), 0);
    EXPECT_EQ(count("Order Information", "`Quote ID` = 1"), 1);
}

TEST_F(GoodsInTest, ACutDescriptionCanBeReadWholeByPointingAtIt) {
    const QString longText = "Alginate impression material, fast set, chromatic, mint flavour, "
                             "500 g bag, carton of twenty bags";
    const qint64 key = makeOrder("TIP/1", {{"12.50", "2", ""}});
    gConn().execute("UPDATE `Order Details` SET `Description` = ? WHERE `Order ID` = ?",
                    {longText, key});
    pickOrder(key);
    ASSERT_EQ(w->DataGrid1->rowCount(), 1);
    const QModelIndex cell = w->DataGrid1->model().index(0, frmGoodsIn::colDescription);
    const QRect rect = w->DataGrid1->visualRect(cell);
    ASSERT_LT(rect.width(), w->DataGrid1->fontMetrics().horizontalAdvance(longText));
    QHelpEvent help(QEvent::ToolTip, rect.center(),
                    w->DataGrid1->viewport()->mapToGlobal(rect.center()));
    QApplication::sendEvent(w->DataGrid1->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), longText);
    QToolTip::hideText();
    // Amounts and quantities are shown whole already.
    EXPECT_FALSE(
        w->DataGrid1->model().index(0, frmGoodsIn::colUnitPrice).data(Qt::ToolTipRole).isValid());
}

TEST_F(GoodsInTest, DeleteNeedsAnOrderAndAYesAndRemovesLinesAndHeaderTogether) {
    const int orders = count("Order Information"), lines = count("Order Details");
    w->Command4_Click();
    EXPECT_EQ(msgs->texts().size(), 1);
    EXPECT_TRUE(msgs->last().startsWith("No order is selected"));
    EXPECT_EQ(count("Order Information"), orders);

    pickOrder(25);
    const int own = count("Order Details", "`Order ID` = 25");
    msgs->clear();
    msgs->answer(false);
    w->Command4_Click();
    ASSERT_EQ(msgs->texts().size(), 1);
    EXPECT_TRUE(msgs->last().startsWith("Are you sure? This deletes order 25"));
    EXPECT_EQ(msgs->messages[0].title, "Delete record");
    EXPECT_EQ(count("Order Details"), lines);

    msgs->clear();
    msgs->answer(true);
    w->Command4_Click();
    ASSERT_EQ(msgs->texts().size(), 2);
    EXPECT_TRUE(msgs->texts()[0].startsWith("Are you sure?"));
    EXPECT_EQ(msgs->texts()[1], "Record deleted successfully");
    EXPECT_EQ(msgs->messages[1].title, "Deleted Record");
    EXPECT_EQ(count("Order Information"), orders - 1);
    EXPECT_EQ(count("Order Details"), lines - own);
    EXPECT_EQ(w->CustRef->listModel().rowOfText("O'NEILL/26/0429"), -1);
    EXPECT_EQ(w->CustomerName->text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);
}

TEST_F(GoodsInTest, PrintAndFindGoThroughTheirHooks) {
    int printed = 0, found = 0;
    frmGoodsIn::openers().print = [&](OrderHub& hub) {
        ++printed;
        EXPECT_EQ(hub.custRef()->Text(), "ORT/25/0497");
    };
    frmGoodsIn::openers().orderFinder = [&](OrderHub&) { ++found; };
    w->Command5_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please select a Suppliers Reference"});
    pickOrder(22);
    w->AccountNo->clear();
    msgs->clear();
    w->Command5_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please select a Suppliers Reference"});
    w->AccountNo->setText("1007");
    QTest::mouseClick(w->Command5, Qt::LeftButton);
    QTest::mouseClick(w->Command10, Qt::LeftButton);
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(found, 1);
}

// The stock control program: a script that writes the arguments it was given,
// one a line, in a folder whose name holds a space.
class StockControlTest : public GoodsInTest {
protected:
    void SetUp() override {
        GoodsInTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("Stock Control"));
        record = dir.filePath("args.txt");
#ifdef Q_OS_WIN
        script = dir.filePath("Stock Control/stock control.exe");
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("ZEL_ARGS_RECORDER"), script))
            << "ZEL_ARGS_RECORDER names the test build's recordargs program";
        qputenv("ZEL_RECORD_ARGS", QDir::toNativeSeparators(record).toLocal8Bit());
        script = QDir::toNativeSeparators(script);
#else
        script = dir.filePath("Stock Control/stock control.sh");
        putFile(script,
                QStringLiteral(
                    "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '%1.part'\n"
                    "mv '%1.part' '%1'\n")
                    .arg(record)
                    .toUtf8(),
                true);
#endif
        setWorkstationFolder(dir.path());
        pickOrder(39); // holds the part code 'GL 2000'
    }
    // Double-clicks the line of `code` as the user would.
    void doubleClickPart(const QString& code) {
        int row = -1;
        for (int r = 0; r < w->DataGrid1->rowCount(); ++r)
            if (w->DataGrid1->model().text(r, frmGoodsIn::colPartId) == code)
                row = r;
        ASSERT_GE(row, 0) << code.toStdString();
        const QModelIndex cell = w->DataGrid1->model().index(row, frmGoodsIn::colDescription);
        w->DataGrid1->scrollTo(cell);
        QTest::mouseDClick(w->DataGrid1->viewport(), Qt::LeftButton, {},
                           w->DataGrid1->visualRect(cell).center());
    }
    QString settingsPath() const {
        return dir.filePath("zelsysconfig.adtg");
    }

    QTemporaryDir dir;
    QString script, record;
};

TEST_F(StockControlTest, StartsTheConfiguredProgramWithThePartCodeAsItsOneParameter) {
    putFile(settingsPath(), settingsFile(script));
    // The line's cell is already the selected one, clicked a moment before.
    for (int r = 0; r < w->DataGrid1->rowCount(); ++r)
        if (w->DataGrid1->model().text(r, frmGoodsIn::colPartId) == "GL 2000") {
            const QModelIndex cell = w->DataGrid1->model().index(r, frmGoodsIn::colDescription);
            QTest::mouseClick(w->DataGrid1->viewport(), Qt::LeftButton, {},
                              w->DataGrid1->visualRect(cell).center());
        }
    QTest::qWait(QApplication::doubleClickInterval() + 50);
    doubleClickPart("GL 2000");
    QTest::qWait(QApplication::doubleClickInterval() + 150);
    // No cell editor opens besides.
    auto* editor = w->DataGrid1->viewport()->findChild<QLineEdit*>();
    EXPECT_TRUE(editor == nullptr || !editor->isVisible());
    const auto args = awaitLines(record);
    ASSERT_TRUE(args.has_value()) << "the stock control program was not started";
    EXPECT_EQ(*args, QStringList{"GL 2000"});
    EXPECT_TRUE(msgs->messages.empty());
    // The window goes on: nothing was written, the grid was not reloaded.
    EXPECT_EQ(w->DataGrid1->rowCount(), count("Order Details", "`Order ID` = 39"));
    EXPECT_FALSE(w->DataGrid1->isPersistentEditorOpen(w->DataGrid1->currentIndex()));
}

TEST_F(StockControlTest, ABinarySettingsFileAsTheSuiteSavesItNamesTheProgramToo) {
    // Saved by ADO from the suite's settings table, its key kept hidden, with
    // the stock control path changed but not yet sent to the database: the
    // program takes the changed path, as a program opening the file sees it.
    test::AdtgWriter settings({{"ID", adtg::I4, 4, adtg::FixedLength, 0, 0, false},
                               {"Item", adtg::WSTR, 50},
                               {"TextValue", adtg::WSTR, 255}});
    settings.baseTable("tblSysConfig", 1252)
        .row({1, "ServerDB", "ZelDental2"})
        .changed({2, "StockControl", "C:\\Stock\\stock.exe"}, {std::nullopt, std::nullopt, script});
    settings.save(settingsPath());
    doubleClickPart("GL 2000");
    const auto args = awaitLines(record);
    ASSERT_TRUE(args.has_value()) << "the stock control program was not started";
    EXPECT_EQ(*args, QStringList{"GL 2000"});
    EXPECT_TRUE(msgs->messages.empty());

    // The same file cut short is no settings file: nothing starts, nothing is said.
    QFile::remove(record);
    putFile(settingsPath(), settings.bytes().chopped(3));
    doubleClickPart("GL 2000");
    settle();
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_TRUE(msgs->messages.empty());
}

TEST_F(StockControlTest, AMissingFileItemOrProgramDoesNothingVisible) {
    // No settings file.
    doubleClickPart("GL 2000");
    // A file without the item.
    writeRowSetFile(settingsPath(), {{"Item", Kind::Text, 50}, {"TextValue", Kind::Text, 255}},
                    RowSet{{"Item", "TextValue"}, {{"ServerDB", "ZelDental2"}}});
    doubleClickPart("GL 2000");
    // A program that is not there, and a settings file that is not a row set.
    putFile(settingsPath(), settingsFile(dir.filePath("no such program")));
    doubleClickPart("GL 2000");
    putFile(settingsPath(), "not a row set");
    doubleClickPart("GL 2000");
    settle();
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_FALSE(QFile::exists(record));
    // The window still answers.
    pickOrder(1);
    EXPECT_EQ(w->CustRef->Text(), "PEN/24/0535");
}

namespace {
// Messages shown as real modal boxes, each closed a moment later by the
// user: the window runs the same nested event loops as on a desk.
class ModalMessages : public RecordingMessages {
public:
    void info(const QString& text, const QString& title) override {
        RecordingMessages::info(text, title);
        QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok,
                        QApplication::activeWindow());
        QTimer::singleShot(100, &box, [&box] { box.accept(); });
        box.exec();
    }
};
} // namespace

class GridTypingTest : public GoodsInTest {
protected:
    void SetUp() override {
        GoodsInTest::SetUp();
        pickOrder(22); // lines 108 to 111, nothing booked in on the first two
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        g = w->DataGrid1;
        g->setFocus();
    }
    void clickCell(int row, int column) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          g->visualRect(g->model().index(row, column)).center());
    }
    // Keys go where the keyboard focus is, as a user's would.
    void type(const QString& keys) {
        for (QChar c : keys) {
            QWidget* target = QApplication::focusWidget();
            ASSERT_NE(target, nullptr);
            QTest::keyClicks(target, QString(c));
        }
    }
    void key(Qt::Key k) {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, k);
    }
    // The message box has closed and the window is active again.
    void afterMessage() {
        QTest::qWait(250);
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    QLineEdit* editor() const {
        for (auto* e : g->viewport()->findChildren<QLineEdit*>())
            if (e->isVisible())
                return e;
        return nullptr;
    }
    DataGrid* g = nullptr;
};

TEST_F(GridTypingTest, AfterARefusedValueTheNextValueGoesToTheCellTheUserChose) {
    auto modal = std::make_shared<ModalMessages>();
    setMessageService(modal);
    const QString shortName = w->CustomerShortname->text();

    // A bad value on line 2, ended with Return: the message, then the value
    // typed next goes to line 2 still, not to a box of the header.
    clickCell(1, frmGoodsIn::colQtyBI);
    type("x");
    key(Qt::Key_Return);
    afterMessage();
    EXPECT_EQ(modal->texts(), QStringList{"Qty BI: \"x\" is not a whole number."});
    type("1");
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(lineValue("Qty BI", 109).toInt(), 1);
    EXPECT_EQ(w->CustomerShortname->text(), shortName);

    // A bad value on line 2 left by clicking line 4: what is typed then is line 4's.
    clickCell(1, frmGoodsIn::colQtyBI);
    type("y");
    clickCell(3, frmGoodsIn::colQtyBI);
    afterMessage();
    EXPECT_EQ(modal->messages.size(), 2u);
    type("5");
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(lineValue("Qty BI", 111).toInt(), 5);
    EXPECT_EQ(lineValue("Qty BI", 109).toInt(), 1);
    EXPECT_EQ(g->model().text(3, frmGoodsIn::colQtyOS), "5");
    EXPECT_EQ(g->model().text(1, frmGoodsIn::colQtyOS), "0");
    EXPECT_EQ(w->CustomerShortname->text(), shortName);
    setMessageService(msgs);
}

TEST_F(GridTypingTest, CellsAreEditedByTypingF2OrEnterNotByAClickOnTheSelectedCell) {
    clickCell(3, frmGoodsIn::colQtyBI);
    clickCell(3, frmGoodsIn::colQtyBI);
    QTest::qWait(QApplication::doubleClickInterval() + 150);
    EXPECT_EQ(editor(), nullptr);
    // Typing at once after the click keeps every keystroke.
    type("12");
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->text(), "12");
    key(Qt::Key_Escape);
    key(Qt::Key_F2);
    ASSERT_NE(editor(), nullptr);
    key(Qt::Key_Escape);
    key(Qt::Key_Return);
    ASSERT_NE(editor(), nullptr);
    editor()->selectAll();
    type("2");
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(lineValue("Qty BI", 111).toInt(), 2);
}

TEST_F(GridTypingTest, BookingInMoreThanWasOrderedAsksFirst) {
    const int row = rowOfLine(111); // Quantity 10
    clickCell(row, frmGoodsIn::colQtyBI);
    type("12");
    key(Qt::Key_Return);
    settle();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->last(),
              "Book in 12 on line 4, ORF-1252 Elastics 1/4in 3.5oz? Only 10 were ordered.");
    EXPECT_TRUE(msgs->messages[0].defaultNo);
    EXPECT_EQ(lineValue("Qty BI", 111).toInt(), 0);
    EXPECT_EQ(g->model().text(row, frmGoodsIn::colQtyBI), "0");

    msgs->answer(true);
    type("12");
    key(Qt::Key_Return);
    settle();
    EXPECT_EQ(msgs->messages.size(), 2u);
    EXPECT_EQ(lineValue("Qty BI", 111).toInt(), 12);
    EXPECT_EQ(g->model().text(row, frmGoodsIn::colQtyOS), "-2");

    // Booking in no more than ordered asks nothing.
    msgs->clear();
    ASSERT_TRUE(g->editCell(row, frmGoodsIn::colQtyBI, "10"));
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_FALSE(g->editCell(row, frmGoodsIn::colQtyBI, "11")); // answered No
    EXPECT_EQ(lineValue("Qty BI", 111).toInt(), 10);
}

TEST_F(GridTypingTest, ALineIsDeletedOnlyFromItsMenuOrHeaderAfterANamedQuestion) {
    const int lines = count("Order Details", "`Order ID` = 22");
    const QString total = w->lblSubTotal->text();
    // Delete in a cell does nothing.
    clickCell(0, frmGoodsIn::colDescription);
    key(Qt::Key_Delete);
    EXPECT_EQ(count("Order Details", "`Order ID` = 22"), lines);
    EXPECT_TRUE(msgs->messages.empty());

    // The context menu asks, naming the line; No keeps it.
    auto deleteFromMenu = [&](int row) {
        QTimer::singleShot(100, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            ASSERT_EQ(menu->actions().size(), 1);
            EXPECT_EQ(menu->actions()[0]->text(), "Delete line");
            QTest::keyClick(menu, Qt::Key_Down);
            QTest::keyClick(menu, Qt::Key_Return);
        });
        const QPoint at = g->visualRect(g->model().index(row, frmGoodsIn::colDescription)).center();
        QContextMenuEvent ev(QContextMenuEvent::Mouse, at, g->viewport()->mapToGlobal(at));
        QApplication::sendEvent(g->viewport(), &ev);
        settle();
    };
    deleteFromMenu(0);
    EXPECT_EQ(msgs->texts(), QStringList{"Delete line 1, ORF-1279 Buccal tubes UL6?"});
    EXPECT_TRUE(msgs->messages[0].defaultNo);
    EXPECT_EQ(count("Order Details", "`Order ID` = 22"), lines);

    // Yes removes it, and the totals no longer count it.
    msgs->answer(true);
    deleteFromMenu(0);
    EXPECT_EQ(count("Order Details", "`ID` = 108"), 0);
    EXPECT_EQ(count("Order Details", "`Order ID` = 22"), lines - 1);
    EXPECT_EQ(g->rowCount(), lines - 1);
    EXPECT_NE(w->lblSubTotal->text(), total);
    EXPECT_EQ(w->lblSubTotal->text(), w->lblFinalTotal->text());
}

TEST_F(GoodsInTest, OpeningReadsAPageOfReferencesNotEveryOrder) {
    gConn().transaction([] {
        for (int i = 0; i < orderform::kRefPage + 5; ++i)
            gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES (?)",
                           {QStringLiteral("AAA/IN/%1").arg(i, 3, 10, QLatin1Char('0'))});
    });
    const qint64 late =
        gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES ('ZZZ/IN/LATE')");
    QStringList unbounded;
    gConn().setStatementHook([&](const QString& sql) {
        if (sql.contains("`Order Information`") && !sql.contains("LIMIT") &&
            !sql.contains("`Quote ID` = ?"))
            unbounded << sql;
    });
    w = std::make_unique<frmGoodsIn>();
    w->show();
    settle();
    gConn().setStatementHook({});
    EXPECT_EQ(unbounded, QStringList{});
    EXPECT_EQ(w->CustRef->count(), orderform::kRefPage);

    // The order beyond the page is shown by its key.
    pickOrder(late);
    EXPECT_EQ(w->CustRef->Text(), "ZZZ/IN/LATE");
}
