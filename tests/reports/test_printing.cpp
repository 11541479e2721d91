// Printing through the page model: export files, address blocks, the two
// report designs, the print command of the purchase order window, and
// printing without a window.
#include "app/dialogs.h"
#include "bound/reportpreview.h"
#include "connection/rowsetfile.h"
#include "connection/settings.h"
#include "purchasing/frmpurchaseorder.h"
#include "reports/printing.h"
#include "search/rptprintresult.h"
#include "support/pdftext.h"
#include "support/testdb.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace zel;
using namespace zel::reports;
using zel::test::pdfText;

namespace {

qint64 makeOrder(int lines, const QString& ref = "PRN/1") {
    qint64 key = gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Account No`, `Customer Name`, `Street`, "
        "`Town`, `County/Postcode`, `InvoiceTo`, `Shipto id`, `VAT`, `Discount`, `Status`, `Name`, "
        "`Quoted Date`) VALUES (?, '1001', 'Henley Dental', '1 High St', 'Leeds', 'LS1 1AA', 1, "
        "101, 20, 0, 2, 'Ann  Smith', '2026-03-05')",
        {ref});
    // Stored in reverse of their numbering, to show the renumbering follows the export.
    for (int i = lines; i >= 1; --i)
        gConn().insert(
            "INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
            "`Unit Price`, `Quantity`, `Discount`, `Qty BI`) VALUES (?, ?, ?, 2.5, ?, 0, 1)",
            {key, QStringLiteral("P-%1").arg(i), QStringLiteral("Line %1").arg(i), i});
    return key;
}

// Runs the program without a display; its exit code, and what it wrote to stderr.
int runProgram(const QStringList& args, QString* err = nullptr) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("QT_QPA_PLATFORM");
    env.remove("DISPLAY");
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("ZEL_BINARY"), args);
    // One waiting on a message that no one can answer is stopped, and fails.
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished(5000);
        ADD_FAILURE() << "still running after 30 s: " << args.join(' ').toStdString();
        return -1;
    }
    if (err)
        *err = p.readAllStandardError();
    return p.exitCode();
}

QStringList column(const RowSetFile& f, const QString& name) {
    QStringList out;
    int c = f.rows.indexOf(name);
    for (const auto& r : f.rows.rows)
        out << r[c].toString();
    return out;
}

} // namespace

class PrintingTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        setWorkstationFolder(dir.path());
    }
    void TearDown() override {
        setWorkstationFolder(QString());
        DbTest::TearDown();
    }
    QTemporaryDir dir;
};

TEST_F(PrintingTest, ExportNumbersTheLinesInExportOrderAndTheServerRounds) {
    qint64 key = makeOrder(3);
    gConn().execute(
        "UPDATE `Order Details` SET `Unit Price` = 10.005, `Quantity` = 1 WHERE `Order ID` = ? "
        "AND `Part Id` = 'P-2'",
        {key});
    ASSERT_TRUE(ExportOrderDetails(Schedule::PurchaseOrder, key));
    AmendExportOrderDetails(Schedule::PurchaseOrder);
    RowSetFile f = readRowSetFile(exportPath(Schedule::PurchaseOrder));
    EXPECT_EQ(f.rows.columns, (QStringList{"Item", "Part Id", "Quantity", "Description",
                                           "Unit Price", "Extended Price"}));
    EXPECT_EQ(column(f, "Item"), (QStringList{"1", "2", "3"}));
    EXPECT_EQ(column(f, "Part Id"), (QStringList{"P-3", "P-2", "P-1"}));
    const QString serverRounding =
        gConn()
            .scalar("SELECT CAST(((`Unit Price`*`Quantity`*(1-`Discount`)*100)/100) AS "
                    "DECIMAL(10,2)) FROM "
                    "`Order Details` WHERE `Order ID` = ? AND `Part Id` = 'P-2'",
                    {key})
            .toString();
    EXPECT_EQ(column(f, "Extended Price")[1], serverRounding);
    EXPECT_EQ(serverRounding.size(), 5); // two decimals

    // No lines: no file.
    qint64 empty =
        gConn().insert("INSERT INTO `Order Information` (`Customer Ref`) VALUES ('EMPTY')");
    QFile::remove(exportPath(Schedule::PurchaseOrder));
    EXPECT_FALSE(
        prepare(Schedule::PurchaseOrder, *inputsFromDatabase(Schedule::PurchaseOrder, empty)));
    EXPECT_FALSE(QFile::exists(exportPath(Schedule::PurchaseOrder)));
}

TEST_F(PrintingTest, AddressBlocksSkipEmptyFieldsButKeepEmptyStrings) {
    PrintInputs in;
    in.accountNo = "1001";
    in.customerName = "Henley Dental";
    in.street = "1 High St";
    in.town = "Leeds";
    in.postcode = "LS1 1AA";
    EXPECT_EQ(rtnCustomerAddress(in), "Henley Dental\r\n1 High St\r\nLeeds\r\nLS1 1AA\r\n");
    in.accountNo.clear();
    EXPECT_EQ(rtnCustomerAddress(in), "");
    EXPECT_EQ(msgs->texts(), QStringList{"Please select a supplier"});

    gConn().execute(
        "UPDATE `Employee Data` SET `Address2` = '', `County` = NULL WHERE `Payroll ID` = 101");
    const QString block = rtnEmployeeIdAddress(101);
    EXPECT_EQ(block.count("\r\n"), 5);
    EXPECT_TRUE(block.contains("\r\n\r\n")); // the empty string's line
    EXPECT_EQ(rtnEmployeeIdAddress(999999), "");
    EXPECT_TRUE(rtnHeadOfficeAddress().startsWith(
        gConn()
            .scalar("SELECT `Forenames` FROM `Employee Data` WHERE `Employee ID` = 1")
            .toString() +
        "\r\n"));
    EXPECT_EQ(rtnInvoiceToAddress(1), rtnHeadOfficeAddress());
}

TEST_F(PrintingTest, ThePurchaseOrderShowsTheWindowsValuesAndThePracticeAddresses) {
    qint64 key = makeOrder(3);
    auto in = inputsFromDatabase(Schedule::PurchaseOrder, key);
    ASSERT_TRUE(in);
    auto doc = prepare(Schedule::PurchaseOrder, *in);
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->pages.size(), 1);
    const report::Page& p = doc->pages[0];
    EXPECT_EQ(p.text("lblCustRef"), "PRN/1");
    EXPECT_EQ(p.text("lblAddress"), "Henley Dental\r\n1 High St\r\nLeeds\r\nLS1 1AA\r\n");
    EXPECT_EQ(p.text("lblInvAddress"), rtnInvoiceToAddress(1));
    EXPECT_EQ(p.text("lblDelAddress"), rtnEmployeeIdAddress(101));
    EXPECT_NE(p.text("lblDelAddress"), rtnEmployeeIdAddress(1001)); // never the supplier's own
    EXPECT_EQ(p.text("lblSubTotal"), "£15.00");
    EXPECT_EQ(p.text("lblVAT"), "20");
    EXPECT_EQ(p.text("lblTotals"), "£18.00");
    auto items = p.find("txtItem");
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text, "1");
    EXPECT_EQ(p.find("txtUnitCost")[0]->text, "2.50");
    EXPECT_EQ(p.find("txtTotalCost")[0]->text, "7.50");

    // Package mode.
    in->packageMode = true;
    in->packagePrice = "200";
    in->calcPkg = "£240.00";
    report::Document pkg = PrintData(Schedule::PurchaseOrder, *in);
    EXPECT_EQ(pkg.pages[0].text("Label4"), "Package Price");
    EXPECT_EQ(pkg.pages[0].text("Label6"), "Total Package Price");
    EXPECT_EQ(pkg.pages[0].text("lblSubTotal"), "200");
    EXPECT_EQ(pkg.pages[0].text("lblVAT"), "0");
    EXPECT_EQ(pkg.pages[0].text("lblTotals"), "£240.00");
}

TEST_F(PrintingTest, PagesFootersAndTheGoodsInSchedule) {
    qint64 key = makeOrder(60, "LONG/1");
    auto po = prepare(Schedule::PurchaseOrder, *inputsFromDatabase(Schedule::PurchaseOrder, key));
    ASSERT_TRUE(po);
    ASSERT_EQ(po->pages.size(), 2);
    for (const report::Page& p : po->pages) // the purchase order's page footer is on every page
        EXPECT_EQ(p.text("Label12"), QStringLiteral("Pages %1 of 2").arg(p.number));
    const QByteArray poFile = [] {
        QFile f(exportPath(Schedule::PurchaseOrder));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();

    gConn().execute("UPDATE `Order Details` SET `Quantity` = 10, `Qty BI` = 4 WHERE `Order ID` = ? "
                    "AND `Part Id` = 'P-1'",
                    {key});
    auto gi = prepare(Schedule::GoodsIn, *inputsFromDatabase(Schedule::GoodsIn, key));
    ASSERT_TRUE(gi);
    EXPECT_EQ(gi->caption, "Goods In Schedue");
    // PDFs for a person to look at, when asked for.
    if (const QString shots = qEnvironmentVariable("ZEL_SCREENSHOT_DIR"); !shots.isEmpty()) {
        QDir().mkpath(shots);
        report::writePdf(*po, QDir(shots).filePath("purchase-order-60-lines.pdf"));
        report::writePdf(*gi, QDir(shots).filePath("goods-in-60-lines.pdf"));
    }
    ASSERT_EQ(gi->pages.size(), 2);
    EXPECT_FALSE(gi->pages[0].has("Label10"));
    EXPECT_EQ(gi->pages[1].text("Label10"), "Page 2 of 2"); // once, after the last line
    EXPECT_EQ(gi->pages[0].text("lblOrderDate"), "05/03/2026");
    EXPECT_EQ(gi->pages[0].text("lblOrderBy"), "Ann  Smith");
    EXPECT_EQ(gi->pages[0].text("lblVAT"), ""); // the goods inward window shows no VAT
    EXPECT_FALSE(gi->pages[0].has("txtProduct"));
    const auto last = gi->pages[1].find("txtQty");
    EXPECT_EQ(last.last()->text, "10");
    EXPECT_EQ(gi->pages[1].find("txtQtyBI").last()->text, "4");

    // The goods-in file leaves the purchase order's alone.
    QFile f(exportPath(Schedule::PurchaseOrder));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), poFile);
    EXPECT_TRUE(QFile::exists(exportPath(Schedule::GoodsIn)));
}

TEST_F(PrintingTest, TheWindowsPrintReplacesTheFileOrSaysWhyItCannot) {
    qint64 a = makeOrder(3, "FIRST/1");
    qint64 b = makeOrder(2, "SECOND/1");
    frmPurchaseOrder w;
    frmPurchaseOrder::openers().print = [](OrderHub& hub) {
        printFromHub(hub, Schedule::PurchaseOrder);
    };
    w.CustRef->pickKey(QString::number(a));
    w.Command5_Click();
    auto* preview = qobject_cast<ReportPreview*>(dialogs().find("report:Purchase Order Schedule"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->document().pages[0].find("txtItem").size(), 3);

    w.CustRef->pickKey(QString::number(b));
    w.Command5_Click();
    RowSetFile f = readRowSetFile(exportPath(Schedule::PurchaseOrder));
    EXPECT_EQ(column(f, "Part Id"), (QStringList{"P-2", "P-1"}));
    preview = qobject_cast<ReportPreview*>(dialogs().find("report:Purchase Order Schedule"));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->document().pages[0].text("lblCustRef"), "SECOND/1");

    // A file that cannot be replaced is told, and the old order is not shown.
    preview->close();
    test::settle();
    QFile::remove(exportPath(Schedule::PurchaseOrder));
    QDir().mkpath(exportPath(Schedule::PurchaseOrder));
    QDir(exportPath(Schedule::PurchaseOrder)).mkpath("blocker");
    msgs->clear();
    w.Command5_Click();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_TRUE(msgs->last().contains("ExportOrderDetails.adtg"));
    EXPECT_EQ(dialogs().find("report:Purchase Order Schedule"), nullptr);
    frmPurchaseOrder::openers() = {};
}

TEST_F(PrintingTest, PrintingWithoutAWindowWritesThePdfOrSaysWhyAndNeverWaits) {
    const qint64 key = makeOrder(3);
    const QStringList db = {"--data-dir", dir.path(), "--database", test::testDatabaseUrl()};
    const QString pdf = dir.filePath("order.pdf");
    EXPECT_EQ(runProgram(db + QStringList{"--print-order", QString::number(key), "--pdf", pdf}), 0);
    QFile f(pdf);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(5), "%PDF-");
    EXPECT_EQ(runProgram(db + QStringList{"--print-goods-in", QString::number(key), "--pdf",
                                          dir.filePath("gi.pdf")}),
              0);
    EXPECT_TRUE(QFile::exists(dir.filePath("gi.pdf")));
    QString err;
    EXPECT_NE(runProgram(db + QStringList{"--print-order", "999999", "--pdf", pdf}, &err), 0);
    EXPECT_TRUE(err.contains("no order 999999"));
    EXPECT_NE(runProgram({"--data-dir", dir.path(), "--database",
                          "mysql://x:y@localhost/none?socket=/nonexistent.sock", "--print-order",
                          "1", "--pdf", pdf},
                         &err),
              0);
    EXPECT_TRUE(err.contains("cannot be reached"));

    // An order without a supplier: said on stderr, not asked in a message box.
    const qint64 noAccount = makeOrder(2, "NOACC/1");
    gConn().execute("UPDATE `Order Information` SET `Account No` = NULL WHERE `Quote ID` = ?",
                    {noAccount});
    for (const char* option : {"--print-order", "--print-goods-in"}) {
        EXPECT_NE(runProgram(db + QStringList{option, QString::number(noAccount), "--pdf",
                                              dir.filePath("noacc.pdf")},
                             &err),
                  0);
        EXPECT_TRUE(err.contains(QString(option) == "--print-order"
                                     ? "Please click the Start button"
                                     : "Please select a Suppliers Reference"))
            << err.toStdString();
        EXPECT_TRUE(err.contains("Account No")) << err.toStdString();
        EXPECT_FALSE(QFile::exists(dir.filePath("noacc.pdf")));
    }
}

TEST_F(PrintingTest, NothingASupplierNeedsIsCutFromThePurchaseOrder) {
    qint64 key = makeOrder(3, "PEN-24-0535");
    const QString longDesc = "Impression material, light body, fast set, 2 x 50 ml cartridges with "
                             "12 mixing tips and 12 "
                             "intraoral tips, for the Kerr dispenser gun only, FINALWORD";
    gConn().execute(
        "UPDATE `Order Details` SET `Part Id` = 'KERR-35671-BULK-10', `Description` = ? WHERE "
        "`Order ID` = ? AND `Part Id` = 'P-2'",
        {longDesc, key});
    const QString instruction =
        "Please quote our order number on all delivery notes and invoices.\n"
        "Deliver to the address shown, 9am to 5pm Monday to Friday.\n"
        "No substitutions or part deliveries without our written approval.";
    gConn().execute("UPDATE `tblGlobalSysConfig` SET `TextValue` = ? WHERE `Item` = "
                    "'POSuppliersAdditionalText'",
                    {instruction});
    auto doc = prepare(Schedule::PurchaseOrder, *inputsFromDatabase(Schedule::PurchaseOrder, key));
    ASSERT_TRUE(doc);
    const report::Page& p = doc->pages[0];
    const auto codes = p.find("txtProduct");
    ASSERT_EQ(codes.size(), 3);
    EXPECT_EQ(codes[1]->text, "KERR-35671-BULK-10");
    EXPECT_LT(codes[1]->font.pointSize, 8.25);
    EXPECT_GE(codes[1]->font.pointSize, 6.0);
    const auto descs = p.find("txtDesc");
    EXPECT_EQ(descs[1]->text, longDesc);
    // The next line starts below the grown one; the columns stay put.
    EXPECT_EQ(descs[2]->rect.top(), descs[1]->rect.top() + std::max(270, descs[1]->rect.height()));
    const report::Placed* instr = p.find("ibiPOInstruct").first();
    EXPECT_EQ(instr->text, instruction);
    EXPECT_GE(instr->font.pointSize, 6.0);

    // The real PDF has the whole code on one line and every line of the instruction.
    const QString shots = qEnvironmentVariable("ZEL_SCREENSHOT_DIR");
    const QString pdf = shots.isEmpty() ? dir.filePath("long-code.pdf")
                                        : (QDir().mkpath(shots),
                                           QDir(shots).filePath("purchase-order-long-code.pdf"));
    report::writePdf(*doc, pdf);
#ifdef Q_OS_WIN
    GTEST_SKIP() << "pdftotext is a program of the Linux machine; under Wine scripts/windows "
                    "package compares the Windows PDF's text with the Linux build's";
#endif
    const QString text = pdfText(pdf);
    ASSERT_FALSE(text.isEmpty()) << "pdftotext gave nothing";
    const QStringList printed = text.split('\n');
    auto lineWith = [&](const QString& what) {
        for (const QString& l : printed)
            if (l.contains(what))
                return true;
        return false;
    };
    EXPECT_TRUE(lineWith("KERR-35671-BULK-10")) << text.toStdString();
    EXPECT_TRUE(lineWith("FINALWORD")) << text.toStdString();
    for (const QString& l : instruction.split('\n'))
        EXPECT_TRUE(text.simplified().contains(l)) << l.toStdString();
    EXPECT_EQ(doc->fileName, "PO PEN-24-0535");
}

TEST_F(PrintingTest, TheSearchResultPrintsItsTitleAboveTheColumnHeadings) {
    RowSet rows;
    rows.columns = {"Customer Ref", "Grand Total"};
    for (int i = 0; i < 60; ++i)
        rows.rows.push_back({QStringLiteral("REF-%1").arg(i), "10.0000"});
    auto doc = search::printResult(rows, QDate(2026, 3, 5));
    ASSERT_TRUE(doc);
    ASSERT_GE(doc->pages.size(), 2);
    const report::Page& first = doc->pages[0];
    EXPECT_LT(first.find("Label1").first()->rect.top(), first.find("Label3").first()->rect.top());
    EXPECT_LT(first.find("Label2").first()->rect.bottom(),
              first.find("Label3").first()->rect.top());
    EXPECT_LT(first.find("Label3").first()->rect.bottom(),
              first.find("CustRef").first()->rect.top());
    EXPECT_FALSE(doc->pages[1].has("Label1"));
    EXPECT_EQ(doc->pages[1].find("Label3").first()->rect.top(), 75);
}
