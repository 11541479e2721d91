// E-mailing a purchase order from its window and from its preview: the
// message the mail program is given (through the recording stand-in named
// by ZEL_MAIL_PROGRAM), the PDF attached, and every case that opens nothing.
#include "app/dialogs.h"
#include "app/mailer.h"
#include "bound/reportpreview.h"
#include "connection/settings.h"
#include "purchasing/frmpurchaseorder.h"
#include "reports/emailing.h"
#include "reports/printing.h"
#include "support/orders.h"
#include "support/pdftext.h"
#include "support/testdb.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace zel;
using namespace zel::reports;
using zel::test::pdfText;
using zel::test::settle;

namespace {

// Henley Dental Supplies Ltd: `Employee ID` 4, `Payroll ID` 1001.
const QString kHenley = QStringLiteral("orders@henleydental.co.uk");

// An order to Henley by its account number alone, with three lines whose
// descriptions can be found in the PDF's text.
qint64 makeOrder(const QString& ref, int status = 1) {
    const qint64 key = gConn().insert(
        "INSERT INTO `Order Information` (`Customer Ref`, `Account No`, `Customer Name`, `Street`, "
        "`Town`, `County/Postcode`, `InvoiceTo`, `Shipto id`, `VAT`, `Discount`, `Status`, "
        "`Quoted Date`) VALUES (?, '1001', 'Henley Dental Supplies Ltd', 'Unit 4', "
        "'Henley-on-Thames', 'RG9 1AZ', 1, 101, 20, 0, ?, '2026-03-05')",
        {ref, status});
    for (const char* d : {"Alginate MAILTEST-ONE", "Gloves MAILTEST-TWO", "Bibs MAILTEST-THREE"})
        gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Description`, "
                       "`Unit Price`, `Quantity`, `Discount`, `Parts Status`) "
                       "VALUES (?, 'P1', ?, 4.5, 2, 0, ?)",
                       {key, QString::fromLatin1(d), status});
    return key;
}

// What the mail program was given, read back from the stand-in's record:
// --subject S --body B (one line or more) --attach FILE ADDRESS.
struct Given {
    QString subject, body, attachment;
    QStringList to;
};
std::optional<Given> readGiven(const QString& record) {
    QFile f(record);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines = QString::fromUtf8(f.readAll()).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const int body = int(lines.indexOf("--body")), attach = int(lines.indexOf("--attach"));
    if (lines.size() < 7 || lines[0] != "--subject" || body != 2 || attach < body)
        return Given{lines.join(u'\n'), {}, {}, {}};
    Given g;
    g.subject = lines[1];
    g.body = lines.mid(body + 1, attach - body - 1).join(u'\n');
    g.attachment = lines[attach + 1];
    g.to = lines.mid(attach + 2);
    return g;
}

class EmailTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        ASSERT_TRUE(dir.isValid());
        setWorkstationFolder(dir.filePath("station"));
        record = dir.filePath("given.txt");
        ASSERT_FALSE(qEnvironmentVariable("ZEL_ARGS_RECORDER").isEmpty())
            << "ZEL_ARGS_RECORDER names the test build's recordargs program";
        qputenv("ZEL_MAIL_PROGRAM", qgetenv("ZEL_ARGS_RECORDER"));
        qputenv("ZEL_RECORD_ARGS", QDir::toNativeSeparators(record).toLocal8Bit());
        frmPurchaseOrder::openers().print = [](OrderHub& hub) {
            printFromHub(hub, Schedule::PurchaseOrder);
        };
        frmPurchaseOrder::openers().email = [](OrderHub& hub) { emailFromHub(hub); };
        w = std::make_unique<frmPurchaseOrder>();
        w->show();
    }
    void TearDown() override {
        w.reset();
        dialogs().closeAll();
        settle();
        frmPurchaseOrder::openers() = {};
        qunsetenv("ZEL_MAIL_PROGRAM");
        qunsetenv("ZEL_RECORD_ARGS");
        setWorkstationFolder(QString());
        DbTest::TearDown();
    }
    void showOrder(qint64 key) {
        w->CustRef->pickKey(QString::number(key));
        settle();
    }
    void clickEmail() {
        QTest::mouseClick(w->cmdEmail, Qt::LeftButton);
        settle();
    }
    ReportPreview* preview() {
        return qobject_cast<ReportPreview*>(dialogs().find("report:Purchase Order Schedule"));
    }
    // The PDFs written for e-mail so far.
    QStringList emailedPdfs() { return QDir(emailFolder()).entryList({"*.pdf"}, QDir::Files); }

    QTemporaryDir dir;
    QString record;
    std::unique_ptr<frmPurchaseOrder> w;
};

} // namespace

TEST_F(EmailTest, TheWindowsEmailGivesTheMailProgramThePrintedOrderForTheSupplier) {
    const qint64 key = makeOrder("MAIL/0042");
    // A PDF e-mailed long ago goes when the next one is written; a recent one stays.
    ASSERT_TRUE(QDir().mkpath(emailFolder()));
    for (const char* name : {"old.pdf", "recent.pdf"}) {
        QFile f(QDir(emailFolder()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-");
    }
    {
        QFile old(QDir(emailFolder()).filePath("old.pdf"));
        ASSERT_TRUE(old.open(QIODevice::ReadWrite));
        ASSERT_TRUE(old.setFileTime(QDateTime::currentDateTime().addDays(-kEmailedKeepDays - 1),
                                    QFileDevice::FileModificationTime));
    }
    showOrder(key);
    clickEmail();
    EXPECT_TRUE(msgs->messages.empty()) << msgs->texts().join(" | ").toStdString();

    const auto given = readGiven(record);
    ASSERT_TRUE(given.has_value()) << "the mail program was not started";
    EXPECT_EQ(given->to, QStringList{kHenley});
    for (const QString& part : {QStringLiteral("MAIL/0042"), QString::number(key),
                                QStringLiteral("Zel Dental Practice")}) {
        EXPECT_TRUE(given->subject.contains(part)) << given->subject.toStdString();
        EXPECT_TRUE(given->body.contains(part)) << given->body.toStdString();
    }
    // The PDF stays in the workstation folder for the mail program to read.
    const QFileInfo pdf(given->attachment);
    ASSERT_TRUE(pdf.exists()) << given->attachment.toStdString();
    EXPECT_EQ(QDir(pdf.absolutePath()).canonicalPath(), QDir(emailFolder()).canonicalPath());
    EXPECT_TRUE(pdf.fileName().startsWith("PO MAIL-0042")) << pdf.fileName().toStdString();
    QFile f(pdf.filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(5), "%PDF-");
    f.close();
    EXPECT_FALSE(QFile::exists(QDir(emailFolder()).filePath("old.pdf")));
    EXPECT_TRUE(QFile::exists(QDir(emailFolder()).filePath("recent.pdf")));
    if (const QString shots = qEnvironmentVariable("ZEL_SCREENSHOT_DIR"); !shots.isEmpty()) {
        QDir().mkpath(shots);
        QFile::remove(QDir(shots).filePath("emailed-order.pdf"));
        QFile::copy(pdf.filePath(), QDir(shots).filePath("emailed-order.pdf"));
    }
#ifdef Q_OS_WIN
    GTEST_SKIP() << "pdftotext is a program of the Linux machine";
#endif
    // The same text as Print's preview gives, lines and all.
    const QString text = pdfText(pdf.filePath());
    for (const char* line : {"MAIL/0042", "MAILTEST-ONE", "MAILTEST-TWO", "MAILTEST-THREE",
                             "Zel Dental Practice", "Henley Dental Supplies Ltd"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << "\n" << text.toStdString();
    w->Command5_Click();
    ASSERT_NE(preview(), nullptr);
    const QString printed = dir.filePath("printed.pdf");
    report::writePdf(preview()->document(), printed);
    EXPECT_EQ(text, pdfText(printed));
}

TEST_F(EmailTest, AnOrderNotApprovedGoesOnlyWhenTheUserSaysSo) {
    const qint64 key = makeOrder("PEND/7", 2);
    showOrder(key);
    msgs->answer(false);
    clickEmail();
    ASSERT_EQ(msgs->messages.size(), 1u);
    const auto& asked = msgs->messages[0];
    EXPECT_EQ(asked.kind, RecordingMessages::Message::Question);
    EXPECT_TRUE(asked.defaultNo);
    EXPECT_TRUE(asked.text.contains(QString::number(key)) && asked.text.contains("PEND/7") &&
                asked.text.contains("not approved"))
        << asked.text.toStdString();
    EXPECT_FALSE(QFile::exists(record));
    EXPECT_TRUE(emailedPdfs().isEmpty());

    msgs->clear();
    msgs->answer(true);
    clickEmail();
    EXPECT_EQ(msgs->messages.size(), 1u);
    const auto given = readGiven(record);
    ASSERT_TRUE(given.has_value());
    EXPECT_EQ(given->to, QStringList{kHenley});
    // Nothing about the order changed by e-mailing it.
    EXPECT_EQ(
        test::one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toInt(),
        2);
}

TEST_F(EmailTest, ASupplierWithoutAUsableAddressIsNamedAndNothingOpens) {
    const qint64 key = makeOrder("NOADDR/1");
    showOrder(key);
    for (const QVariant& address : {QVariant(), QVariant(""), QVariant("orders at henley")}) {
        gConn().execute("UPDATE `Employee Data` SET `E-Mail` = ? WHERE `Employee ID` = 4",
                        {address});
        msgs->clear();
        clickEmail();
        ASSERT_EQ(msgs->messages.size(), 1u);
        const QString said = msgs->last();
        EXPECT_TRUE(said.contains("The supplier Henley Dental Supplies Ltd")) << said.toStdString();
        EXPECT_TRUE(said.contains(address.toString().isEmpty()
                                      ? QStringLiteral("has no e-mail address")
                                      : QStringLiteral("\"orders at henley\"")))
            << said.toStdString();
        EXPECT_TRUE(said.contains("Edit Customer/Supplier Address")) << said.toStdString();
        EXPECT_FALSE(QFile::exists(record));
        EXPECT_TRUE(emailedPdfs().isEmpty());
    }

    // The supplier the picker chose (`CUSTOMER ID`) wins over the account number.
    gConn().execute("UPDATE `Order Information` SET `CUSTOMER ID` = 5 WHERE `Quote ID` = ?", {key});
    msgs->clear();
    clickEmail();
    const auto given = readGiven(record);
    ASSERT_TRUE(given.has_value()) << msgs->texts().join(" | ").toStdString();
    EXPECT_EQ(given->to, QStringList{"sales@oneilldental.co.uk"});
}

TEST_F(EmailTest, AMissingOrFailingMailProgramIsToldPlainly) {
    const qint64 key = makeOrder("NOPROG/1");
    showOrder(key);
    qputenv("ZEL_MAIL_PROGRAM",
            QDir::toNativeSeparators(dir.filePath("no such program")).toLocal8Bit());
    clickEmail();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_TRUE(msgs->last().startsWith("No mail program could take the message"))
        << msgs->last().toStdString();
    EXPECT_TRUE(msgs->last().contains("no such program")) << msgs->last().toStdString();
#ifndef Q_OS_WIN
    // xdg-email's "no mail program set up", and its other failures.
    const QString script = dir.filePath("mailer.sh");
    for (int code : {3, 4}) {
        QFile f(script);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("#!/bin/sh\necho 'xdg-email: no method available' >&2\nexit %1\n")
                    .arg(code)
                    .toUtf8());
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("ZEL_MAIL_PROGRAM", script.toLocal8Bit());
        msgs->clear();
        clickEmail();
        ASSERT_EQ(msgs->messages.size(), 1u);
        EXPECT_TRUE(msgs->last().contains(code == 3 ? "No mail program is set up"
                                                    : "ended with code 4: xdg-email: no method"))
            << msgs->last().toStdString();
    }
    // Without the override, a desktop without xdg-email has no mail program.
    qunsetenv("ZEL_MAIL_PROGRAM");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    const mail::Outcome o = mail::compose({kHenley, "s", "b", {}});
    qputenv("PATH", path);
    EXPECT_FALSE(o.taken);
    EXPECT_TRUE(o.why.contains("xdg-email")) << o.why.toStdString();
#endif
}

TEST_F(EmailTest, WithoutAStoredOrderAsShownTheWindowSaysWhatToDo) {
    const qint64 key = makeOrder("EDIT/1");
    clickEmail();
    EXPECT_EQ(msgs->texts(), QStringList{"There is no order to e-mail. Choose one under Suppliers "
                                         "Reference, then press Email... again."});
    test::typeRef(w->CustRef, "BRAND/NEW");
    msgs->clear();
    clickEmail();
    EXPECT_EQ(msgs->texts(),
              QStringList{"The new order BRAND/NEW is not saved yet. Press Save, then Email... "
                          "again."});

    showOrder(key);
    w->Town->setText("Reading");
    msgs->clear();
    clickEmail();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_TRUE(msgs->last().startsWith(
        QStringLiteral("Order %1 has changes that are not saved").arg(key)));
    EXPECT_FALSE(QFile::exists(record));
    // Nothing was saved on the way.
    EXPECT_EQ(
        test::one("SELECT `Town` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toString(),
        "Henley-on-Thames");

    // Saved, it goes, with the saved town in the attached supplier block.
    w->Command8_Click();
    msgs->clear();
    clickEmail();
    const auto given = readGiven(record);
    ASSERT_TRUE(given.has_value()) << msgs->texts().join(" | ").toStdString();
#ifndef Q_OS_WIN
    EXPECT_TRUE(pdfText(given->attachment).contains("Reading"));
#endif

    // No account number: refused as Print refuses it.
    gConn().execute("UPDATE `Order Information` SET `Account No` = NULL WHERE `Quote ID` = ?",
                    {key});
    showOrder(key);
    QFile::remove(record);
    msgs->clear();
    clickEmail();
    EXPECT_EQ(msgs->texts(), QStringList{"Please click the Start button"});
    EXPECT_FALSE(QFile::exists(record));
}

TEST_F(EmailTest, ThePurchaseOrderPreviewEmailsTheDocumentItShows) {
    const qint64 key = makeOrder("PREVIEW/9");
    showOrder(key);
    w->Command5_Click();
    settle();
    ReportPreview* p = preview();
    ASSERT_NE(p, nullptr);
    auto* tool = p->findChild<QAction*>("actEmail");
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    // Beside Print and Save, read out by its name.
    auto* bar = p->findChild<QToolBar*>();
    const QList<QAction*> tools = bar->actions();
    EXPECT_EQ(tools.indexOf(tool), tools.indexOf(p->findChild<QAction*>("actSavePdf")) + 1);
    QWidget* button = bar->widgetForAction(tool);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name), "Email…");
    // Its letter, as the preview's other tools have theirs.
    EXPECT_EQ(qobject_cast<QToolButton*>(button)->text(), "&Email…");
    test::snapshot(*p, "preview-with-email");

    tool->trigger();
    settle();
    EXPECT_TRUE(msgs->messages.empty()) << msgs->texts().join(" | ").toStdString();
    const auto given = readGiven(record);
    ASSERT_TRUE(given.has_value());
    EXPECT_EQ(given->to, QStringList{kHenley});
    EXPECT_TRUE(given->subject.contains("PREVIEW/9"));
    EXPECT_TRUE(QFile::exists(given->attachment));

    // A preview printed from changes not saved sends nothing.
    QFile::remove(record);
    w->Town->setText("Reading");
    w->Command5_Click();
    p = preview();
    ASSERT_NE(p, nullptr);
    msgs->clear();
    p->findChild<QAction*>("actEmail")->trigger();
    settle();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_TRUE(msgs->last().contains("not saved")) << msgs->last().toStdString();
    EXPECT_FALSE(QFile::exists(record));

    // Only a purchase order's preview has the tool.
    printFromHub(*w, Schedule::GoodsIn);
    auto* goodsIn = qobject_cast<ReportPreview*>(dialogs().find("report:Goods In Schedue"));
    ASSERT_NE(goodsIn, nullptr);
    EXPECT_EQ(goodsIn->findChild<QAction*>("actEmail"), nullptr);
}

TEST_F(EmailTest, TheEmailButtonIsReadOutByNameAndAltEPressesIt) {
    const qint64 key = makeOrder("KEYS/1");
    showOrder(key);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w->cmdEmail)->text(QAccessible::Name),
              "Email...");
    EXPECT_EQ(w->cmdEmail->text(), "&Email...");
    test::snapshot(*w, "purchase-order-email-button");
    // Typed wherever the focus is in the window.
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr);
    ASSERT_EQ(focus->window(), w.get());
    QTest::keyClick(focus, Qt::Key_E, Qt::AltModifier);
    // The button shows itself pressed for a moment, then clicks.
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(record); }, 5000))
        << msgs->texts().join(" | ").toStdString();
    const auto given = readGiven(record);
    ASSERT_TRUE(given.has_value()) << msgs->texts().join(" | ").toStdString();
    EXPECT_EQ(given->to, QStringList{kHenley});
}

TEST(MailMessage, NamesTheOrderAndPracticeAndRefusesWhatIsNoAddress) {
    suppliers::OrderSupplier s;
    s.orderKey = 57;
    s.customerRef = "PEN-24-0535";
    s.email = "a@x.example; b@y.example";
    const mail::Message m = orderMessage(s, "Zel Dental Practice", "/tmp/PO.pdf");
    EXPECT_EQ(m.subject, "Purchase order PEN-24-0535 (order 57) from Zel Dental Practice");
    EXPECT_TRUE(m.body.endsWith("Kind regards\nZel Dental Practice"));
    // Several addresses are several recipients; the file and the addresses come last.
    EXPECT_EQ(mail::xdgEmailArguments(m),
              (QStringList{"--subject", m.subject, "--body", m.body, "--attach",
                           QDir::toNativeSeparators("/tmp/PO.pdf"), "a@x.example", "b@y.example"}));
    // Without a practice name the subject stays whole.
    EXPECT_EQ(orderMessage(s, {}, {}).subject, "Purchase order PEN-24-0535 (order 57)");
    EXPECT_EQ(mail::notAnAddress("a@x.example, b@y.example"), "");
    EXPECT_EQ(mail::notAnAddress("a@x.example, b y@z.example"), "b y@z.example");
    EXPECT_EQ(mail::notAnAddress("--attach=/etc/passwd@x"), "--attach=/etc/passwd@x");
    EXPECT_EQ(mail::notAnAddress("orders@@x"), "orders@@x");
    EXPECT_EQ(mail::notAnAddress("@x.example"), "@x.example");
}
