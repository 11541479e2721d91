// The part finder, the part-not-found prompt and the product entry, driven
// offscreen from a real purchase order window against the private server.
#include "app/dialogs.h"
#include "catalogue/catalogue.h"
#include "catalogue/frmaddpart.h"
#include "catalogue/frmfindpart.h"
#include "catalogue/frmnotfoundpart.h"
#include "purchasing/frmpurchaseorder.h"
#include "support/testdb.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QDir>
#include <QTest>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
QT_END_NAMESPACE

using namespace zel;
using zel::test::settle;

namespace {

QVariant one(const QString& sql, const QVariantList& binds = {}) { return gConn().scalar(sql, binds); }
int count(const QString& table, const QString& where = "1=1", const QVariantList& binds = {}) {
    return one(QStringLiteral("SELECT COUNT(*) FROM `%1` WHERE %2").arg(table, where), binds).toInt();
}
RowSet product(qlonglong id) { return gConn().select("SELECT * FROM `Products` WHERE `Product ID` = ?", {id}); }
RowSet lines(qint64 order) {
    return gConn().select("SELECT * FROM `Order Details` WHERE `Order ID` = ? ORDER BY `ID`", {order});
}

// A screenshot for a person to look at, when asked for.
void snapshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("ZEL_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        settle();
        QDir().mkpath(dir);
        w.grab().save(QDir(dir).filePath(name + ".png"));
    }
}

// Types into a selector and takes the completer's first suggestion as the user would.
void typeAndPick(DataCombo* combo, const QString& typed) {
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo->lineEdit(), typed);
    QAbstractItemView* popup = combo->completer()->popup();
    popup->setCurrentIndex(combo->completer()->completionModel()->index(0, 0));
    QTest::keyClick(popup, Qt::Key_Return);
}

} // namespace

class CatalogueTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        frmPurchaseOrder::openers().partFinder = [](OrderHub& h, const QString& c) { openPartFinder(h, c); };
        frmPurchaseOrder::openers().partNotFound = [](OrderHub& h, const QString& c) { openPartNotFound(h, c); };
        hub = std::make_unique<frmPurchaseOrder>();
        hub->show();
    }
    void TearDown() override {
        dialogs().closeAll();
        settle();
        hub.reset();
        frmPurchaseOrder::openers() = {};
        DbTest::TearDown();
    }
    // A new order on screen with the given status (0 for none) and no lines.
    qint64 newOrder(int status) {
        qint64 key = gConn().insert("INSERT INTO `Order Information` (`Customer Ref`, `Status`) VALUES (?, ?)",
                                    {"CAT/TEST/1", status ? QVariant(status) : QVariant()});
        hub->cmbLoadList1();
        hub->CustRef->pickKey(QString::number(key));
        return key;
    }
    frmFindPart* finder(const QString& code = {}) { return openPartFinder(*hub, code); }
    QWidget* open(const char* kind) { return dialogs().find(QString::fromLatin1(kind)); }

    std::unique_ptr<frmPurchaseOrder> hub;
};

TEST_F(CatalogueTest, SelectorsFindWhileTypingAndLookUpOnAPickFromTheListOnly) {
    frmFindPart* f = finder();
    EXPECT_EQ(f->windowTitle(), "Find Part");
    EXPECT_EQ(f->ThePart->count(), 300);
    EXPECT_EQ(f->theDesc->count(), 300);
    EXPECT_EQ(f->ThePart->Text(), "");
    EXPECT_TRUE(f->DescOptionGrp1->isChecked());
    EXPECT_EQ(f->Text40->text(), "");

    // A click on the edit part looks nothing up, nor does typing alone.
    QTest::mouseClick(f->ThePart->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(f->ThePart->lineEdit(), "hen-44");
    EXPECT_EQ(f->lblProductId->text(), "");
    // Any part of the code, in any letter case, is suggested.
    QCompleter* c = f->ThePart->completer();
    ASSERT_GT(c->completionCount(), 0);
    for (int i = 0; i < c->completionCount(); ++i) {
        c->setCurrentRow(i);
        EXPECT_TRUE(c->currentCompletion().contains("HEN-44")) << c->currentCompletion().toStdString();
    }

    typeAndPick(f->ThePart, "4480");
    EXPECT_EQ(f->lblProductId->text(), "1");
    EXPECT_EQ(f->ProductName->text(), "HEN-4480");
    EXPECT_EQ(f->EnglishName->text(), "Universal nano-hybrid composite syringe 4g shade A2");
    EXPECT_EQ(f->QuoteDescName->text(), "Composite A2 4g");
    EXPECT_EQ(f->UnitPrice->text(), "31.95");
    EXPECT_TRUE(f->Button18->isChecked());
    EXPECT_EQ(f->txtGroupId->text(), ""); // only the look-up by description carries the group
    EXPECT_EQ(f->PartDesc->toPlainText(), "Universal nano-hybrid composite syringe 4g shade A2");

    // By a middle part of the description, in other letter case.
    typeAndPick(f->theDesc, "RECIPROCATING SINGLE FILE 25MM SIZE 40");
    EXPECT_EQ(f->lblProductId->text(), "52");
    EXPECT_EQ(f->ProductName->text(), "EN-P2110");
    EXPECT_EQ(f->txtGroupId->text(), "20");
    EXPECT_FALSE(f->Button18->isChecked());
    snapshot(*f, "find-part");
}

TEST_F(CatalogueTest, NullColumnsKeepTheBoxesAndTheDescriptionChoiceOverwritesTyping) {
    gConn().execute("UPDATE `Products` SET `English Name` = NULL, `Unit Price` = NULL WHERE `Product ID` = 2");
    frmFindPart* f = finder("HEN-4480");
    f->ThePart->pickKey("HEN-5605");
    EXPECT_EQ(f->lblProductId->text(), "2");
    EXPECT_EQ(f->ProductName->text(), "HEN-5605");
    EXPECT_EQ(f->QuoteDescName->text(), "Composite A3 4g");
    // The previous product's supplier description and price stay.
    EXPECT_EQ(f->EnglishName->text(), "Universal nano-hybrid composite syringe 4g shade A2");
    EXPECT_EQ(f->UnitPrice->text(), "31.95");

    f->PartDesc->setPlainText("typed by the user");
    f->DescOptionGrp2->click();
    EXPECT_EQ(f->PartDesc->toPlainText(), "Composite A3 4g");
    // The next look-up keeps the practice description chosen.
    f->ThePart->pickKey("HEN-4480");
    EXPECT_EQ(f->PartDesc->toPlainText(), "Composite A2 4g");
    f->PartDesc->setPlainText("typed again");
    f->DescOptionGrp1->click();
    EXPECT_EQ(f->PartDesc->toPlainText(), "Universal nano-hybrid composite syringe 4g shade A2");
}

TEST_F(CatalogueTest, OkSavesCorrectionsAddsTheLineOnceAndReloadsTheHub) {
    const qint64 order = newOrder(2);
    ASSERT_EQ(hub->Status->Text(), "Pending Approval");
    frmFindPart* f = finder("HEN-4480");
    f->EnglishName->setText("Composite syringe A2, corrected");
    f->UnitPrice->setText("29.5");
    f->DescOptionGrp2->click();
    f->Command2->click();
    settle();
    EXPECT_EQ(open("frmFindPart"), nullptr);
    EXPECT_TRUE(msgs->messages.empty());

    RowSet p = product(1);
    EXPECT_EQ(p.at(0, "English Name").toString(), "Composite syringe A2, corrected");
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 29.5);
    EXPECT_EQ(p.at(0, "QuoteDescName").toString(), "Composite A2 4g");
    RowSet l = lines(order);
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l.at(0, "Product ID").toInt(), 1);
    EXPECT_EQ(l.at(0, "Part Id").toString(), "HEN-4480");
    EXPECT_EQ(l.at(0, "Description").toString(), "Composite A2 4g");
    EXPECT_EQ(l.at(0, "Unit Price").toDouble(), 29.5);
    EXPECT_EQ(l.at(0, "Parts Status").toInt(), 2);
    EXPECT_EQ(l.at(0, "Quantity").toInt(), 1); // the first line of an order
    EXPECT_EQ(l.at(0, "Discount").toDouble(), 0.0);
    EXPECT_EQ(hub->DataGrid1->rowCount(), 1);
    EXPECT_EQ(hub->DataGrid1->model().text(0, 3), "HEN-4480");

    // A later line takes the table's defaults for quantity and discount.
    f = finder();
    f->theDesc->pickKey("Stainless steel K-files 21mm ISO 08 (6)");
    f->Command2->click();
    settle();
    l = lines(order);
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l.at(1, "Part Id").toString(), "EN-P2112");
    EXPECT_EQ(l.at(1, "Quantity").toInt(), 0);
    EXPECT_EQ(l.at(1, "Discount").toDouble(), 0.0);
    EXPECT_EQ(hub->DataGrid1->rowCount(), 2);

    // A product already on the order adds nothing and changes no line, but
    // its corrections are saved.
    f = finder("HEN-4480");
    f->QuoteDescName->setText("Composite A2 (4g)");
    f->UnitPrice->setText("99");
    f->Command2->click();
    settle();
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_EQ(open("frmFindPart"), nullptr);
    RowSet after = lines(order);
    EXPECT_EQ(after.rows, l.rows);
    EXPECT_EQ(product(1).at(0, "QuoteDescName").toString(), "Composite A2 (4g)");
    EXPECT_EQ(product(1).at(0, "Unit Price").toDouble(), 99.0);
}

TEST_F(CatalogueTest, AnEmptiedPriceAndAnEmptyStatusStoreNullOnTheLine) {
    const qint64 order = newOrder(0);
    ASSERT_EQ(hub->Status->Text(), "");
    frmFindPart* f = finder("HEN-5605");
    f->UnitPrice->clear();
    f->EnglishName->clear(); // an empty box cannot blank the catalogue
    f->Command2->click();
    settle();
    RowSet p = product(2);
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 31.95);
    EXPECT_EQ(p.at(0, "English Name").toString(), "Universal nano-hybrid composite syringe 4g shade A3");
    RowSet l = lines(order);
    ASSERT_EQ(l.size(), 1);
    EXPECT_TRUE(l.at(0, "Unit Price").isNull());
    EXPECT_TRUE(l.at(0, "Parts Status").isNull());
}

TEST_F(CatalogueTest, RefusedValuesAndFailuresChangeNeitherTheCatalogueNorTheOrder) {
    const qint64 order = newOrder(2);
    gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Quantity`) VALUES (?, 'X', 2)", {order});
    const RowSet before = lines(order);
    const RowSet catalogue = product(1);

    frmFindPart* f = finder("HEN-4480");
    f->EnglishName->setText("changed");
    f->UnitPrice->setText("12,50p");
    f->Command2->click();
    settle();
    EXPECT_EQ(msgs->last(), "Unit Price: \"12,50p\" is not an amount of money.");
    EXPECT_EQ(open("frmFindPart"), f); // still open with what was typed
    EXPECT_EQ(product(1).rows, catalogue.rows);
    EXPECT_EQ(lines(order).rows, before.rows);

    // The line cannot be stored: reported, and the corrections go with it.
    msgs->clear();
    f->UnitPrice->setText("12.50");
    f->PartDesc->setPlainText(QString(300, 'x'));
    f->Command2->click();
    settle();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->messages[0].kind, RecordingMessages::Message::Error);
    EXPECT_EQ(open("frmFindPart"), f);
    EXPECT_EQ(product(1).rows, catalogue.rows);
    EXPECT_EQ(lines(order).rows, before.rows);

    // An order not yet saved has no number to add a line to.
    msgs->clear();
    hub->Command4_Click();
    hub->CustRef->lineEdit()->selectAll();
    QTest::keyClicks(hub->CustRef->lineEdit(), "NOT/SAVED/1");
    f->PartDesc->setPlainText("Composite");
    f->Command2->click();
    settle();
    EXPECT_EQ(msgs->last(), "No order is selected. Choose or save the order before adding a part to it.");
    EXPECT_EQ(count("Order Details", "`Order ID` = 0"), 0);
    EXPECT_EQ(product(1).rows, catalogue.rows);

    // OK with no product chosen writes nothing and closes.
    f->InitForm();
    const int all = count("Order Details");
    f->Command2->click();
    settle();
    EXPECT_EQ(open("frmFindPart"), nullptr);
    EXPECT_EQ(count("Order Details"), all);
}

TEST_F(CatalogueTest, QuotesInCodesAndDescriptionsAreFoundSavedAndAddedExactly) {
    const QString code = R"(O'BRIEN "7" \x)";
    const QString desc = R"(Tray 'large' "blue" \ 5.10)";
    const qint64 id = gConn().insert(
        "INSERT INTO `Products` (`Product Name`, `English Name`, `QuoteDescName`, `Unit Price`) VALUES (?, ?, ?, 3)",
        {code, desc, "Tray"});
    const qint64 order = newOrder(2);

    frmFindPart* f = finder(code);
    EXPECT_EQ(f->lblProductId->text(), QString::number(id));
    f->InitForm();
    f->theDesc->pickKey(desc);
    EXPECT_EQ(f->lblProductId->text(), QString::number(id));
    EXPECT_EQ(f->ProductName->text(), code);
    f->EnglishName->setText(desc + "'s");
    f->DescOptionGrp1->click();
    f->Command2->click();
    settle();
    EXPECT_EQ(product(id).at(0, "English Name").toString(), desc + "'s");
    RowSet l = lines(order);
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l.at(0, "Part Id").toString(), code);
    EXPECT_EQ(l.at(0, "Description").toString(), desc + "'s");
}

TEST_F(CatalogueTest, TheGridOpensTheFinderForKnownCodesAndThePromptForUnknownOnes) {
    hub->CustRef->pickKey("16");
    const int linesBefore = count("Order Details"), productsBefore = count("Products");
    hub->DataGrid1->setCurrentCell(0, 3);
    const QString code = hub->DataGrid1->text(3);
    hub->DataGrid1_DblClick();
    auto* f = qobject_cast<frmFindPart*>(open("frmFindPart"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->lblProductId->text(),
              one("SELECT `Product ID` FROM `Products` WHERE `Product Name` = ?", {code}).toString());
    EXPECT_EQ(f->ThePart->Text(), code);

    // Asked again, the same window looks up again, whatever the letter case.
    gConn().execute("UPDATE `Order Details` SET `Part Id` = 'hen-4480' WHERE `ID` = ?", {hub->DataGrid1->value(0)});
    hub->Disp_DataList();
    hub->DataGrid1->setCurrentCell(0, 3);
    hub->DataGrid1_DblClick();
    EXPECT_EQ(open("frmFindPart"), f);
    EXPECT_EQ(f->lblProductId->text(), "1");
    f->close();
    settle();

    gConn().execute("UPDATE `Order Details` SET `Part Id` = 'NEW-9001' WHERE `ID` = ?", {hub->DataGrid1->value(0)});
    hub->Disp_DataList();
    hub->DataGrid1->setCurrentCell(0, 3);
    hub->DataGrid1_DblClick();
    EXPECT_EQ(open("frmFindPart"), nullptr);
    auto* prompt = qobject_cast<frmNotFoundPart*>(open("frmNotFoundPart"));
    ASSERT_NE(prompt, nullptr);
    EXPECT_EQ(prompt->windowTitle(), "Part Not Found");
    EXPECT_TRUE(prompt->Text1->toPlainText().startsWith("Part Number Entered Does Not Exist. Do You Wish To:"));
    snapshot(*prompt, "part-not-found");

    // ADD: the entry window with the line's code and nothing else.
    prompt->Command3->click();
    auto* entry = qobject_cast<frmAddPart*>(open("frmAddPart"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->ProductName->text(), "NEW-9001");
    EXPECT_EQ(entry->EnglishName->toPlainText(), "");
    EXPECT_EQ(entry->UnitPrice->text(), "");
    EXPECT_EQ(entry->groupId->Text(), "");
    EXPECT_FALSE(entry->QuoteDesc->isChecked());
    EXPECT_EQ(open("frmNotFoundPart"), prompt);

    // SEARCH: the finder, empty; the prompt stays.
    prompt->Command1->click();
    f = qobject_cast<frmFindPart*>(open("frmFindPart"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->lblProductId->text(), "");
    EXPECT_EQ(open("frmNotFoundPart"), prompt);

    // ONE and CANCEL close the prompt and change nothing.
    prompt->Command2->click();
    settle();
    EXPECT_EQ(open("frmNotFoundPart"), nullptr);
    hub->DataGrid1_DblClick();
    ASSERT_NE(open("frmNotFoundPart"), nullptr);
    qobject_cast<frmNotFoundPart*>(open("frmNotFoundPart"))->Command4->click();
    settle();
    EXPECT_EQ(open("frmNotFoundPart"), nullptr);
    EXPECT_EQ(count("Order Details"), linesBefore);
    EXPECT_EQ(count("Products"), productsBefore);
    EXPECT_EQ(hub->DataGrid1->text(3), "NEW-9001");
}

TEST_F(CatalogueTest, ProductEntrySavesANewCodeThenOverwritesIt) {
    auto* entry = dialogs().show<frmAddPart>("frmAddPart", [] { return new frmAddPart; });
    EXPECT_EQ(entry->windowTitle(), "Products Edit Entry");
    EXPECT_EQ(entry->groupId->count(), 8);
    const int before = count("Products");

    entry->Command1->click(); // no product number: nothing, silently
    EXPECT_EQ(count("Products"), before);
    EXPECT_TRUE(msgs->messages.empty());

    entry->ProductName->setText("NEW-9001");
    entry->EnglishName->setPlainText("Bite registration material 2 x 50ml");
    entry->UnitPrice->setText("18.4");
    entry->QuoteDescName->setPlainText("Bite reg 2x50ml");
    entry->QuoteDesc->setChecked(true);
    snapshot(*entry, "add-part");
    entry->Command1->click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(msgs->messages.back().title, "");
    ASSERT_EQ(count("Products"), before + 1);
    const qlonglong id = one("SELECT `Product ID` FROM `Products` WHERE `Product Name` = 'NEW-9001'").toLongLong();
    EXPECT_GT(id, 300);
    RowSet p = product(id);
    EXPECT_EQ(p.at(0, "English Name").toString(), "Bite registration material 2 x 50ml");
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 18.4);
    EXPECT_EQ(p.at(0, "QuoteDesc").toInt(), 1);
    EXPECT_TRUE(p.at(0, "group id").isNull());

    // Refused values write nothing and keep the window as typed.
    msgs->clear();
    entry->UnitPrice->setText("eighteen");
    entry->Command1->click();
    EXPECT_EQ(msgs->last(), "Unit Price: \"eighteen\" is not an amount of money.");
    entry->UnitPrice->setText("19");
    entry->groupId->setText("Not a group");
    entry->Command1->click();
    EXPECT_EQ(msgs->last(), "Group Id: \"Not a group\" is not a product group. Choose one from the list.");
    EXPECT_EQ(product(id).rows, p.rows);
    EXPECT_EQ(open("frmAddPart"), entry);

    // The same code again is the same product, overwritten; empty boxes store NULL.
    entry->groupId->pickKey("30");
    entry->QuoteDescName->clear();
    entry->QuoteDesc->setChecked(false);
    entry->Command1->click();
    EXPECT_EQ(count("Products"), before + 1);
    p = product(id);
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 19.0);
    EXPECT_EQ(p.at(0, "group id").toInt(), 30);
    EXPECT_TRUE(p.at(0, "QuoteDescName").isNull());
    EXPECT_EQ(p.at(0, "QuoteDesc").toInt(), 0);

    // A code with quotes is stored as typed, and the finder finds it.
    entry->ProductName->setText(R"(D'ARCY "B" \2)");
    entry->Command1->click();
    EXPECT_EQ(count("Products", "`Product Name` = ?", {R"(D'ARCY "B" \2)"}), 1);
    entry->Command2->click();
    settle();
    EXPECT_EQ(open("frmAddPart"), nullptr);
    frmFindPart* f = finder(R"(D'ARCY "B" \2)");
    EXPECT_EQ(f->ProductName->text(), R"(D'ARCY "B" \2)");
}
