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

using namespace zel;
using zel::test::count;
using zel::test::one;
using zel::test::settle;
using zel::test::snapshot;

namespace {

RowSet product(qlonglong id) {
    return gConn().select("SELECT * FROM `Products` WHERE `Product ID` = ?", {id});
}
RowSet lines(qint64 order) {
    return gConn().select("SELECT * FROM `Order Details` WHERE `Order ID` = ? ORDER BY `ID`",
                          {order});
}

// Types into a selector and takes the first suggestion as the user would.
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
        auto& o = frmPurchaseOrder::openers();
        o.partFinder = [](OrderHub& h, const QString& c) { openPartFinder(h, c); };
        o.partNotFound = [](OrderHub& h, const QString& c) { openPartNotFound(h, c); };
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
        qint64 key = gConn().insert(
            "INSERT INTO `Order Information` (`Customer Ref`, `Status`) VALUES ('CAT/1', ?)",
            {status ? QVariant(status) : QVariant()});
        hub->cmbLoadList1();
        hub->CustRef->pickKey(QString::number(key));
        return key;
    }
    frmFindPart* finder(const QString& code = {}) { return openPartFinder(*hub, code); }
    QWidget* open(const char* kind) { return dialogs().find(QString::fromLatin1(kind)); }
    void ok(frmFindPart* f) {
        f->Command2->click();
        settle();
    }

    std::unique_ptr<frmPurchaseOrder> hub;
};

TEST_F(CatalogueTest, SelectorsSuggestWhileTypingAndLookUpOnAPickFromTheListOnly) {
    frmFindPart* f = finder();
    EXPECT_EQ(f->ThePart->count(), 100); // a page of the 300 products
    EXPECT_TRUE(f->DescOptionGrp1->isChecked());

    // A click on the edit part looks nothing up, nor does typing alone;
    // any part of the code, in any letter case, is suggested.
    QTest::mouseClick(f->ThePart->lineEdit(), Qt::LeftButton);
    QTest::keyClicks(f->ThePart->lineEdit(), "n-44");
    EXPECT_EQ(f->lblProductId->text(), "");
    QCompleter* c = f->ThePart->completer();
    ASSERT_GT(c->completionCount(), 1);
    for (int i = 0; c->setCurrentRow(i); ++i)
        EXPECT_TRUE(c->currentCompletion().contains("N-44"))
            << c->currentCompletion().toStdString();

    typeAndPick(f->ThePart, "4480");
    EXPECT_EQ(f->lblProductId->text(), "1");
    EXPECT_EQ(f->ProductName->text(), "HEN-4480");
    EXPECT_EQ(f->QuoteDescName->text(), "Composite A2 4g");
    EXPECT_EQ(f->UnitPrice->text(), "31.95");
    EXPECT_TRUE(f->Button18->isChecked());
    EXPECT_EQ(f->txtGroupId->text(), ""); // only a look-up by description carries the group
    EXPECT_EQ(f->PartDesc->toPlainText(), "Universal nano-hybrid composite syringe 4g shade A2");

    typeAndPick(f->theDesc, "SINGLE FILE 25MM SIZE 40");
    EXPECT_EQ(f->lblProductId->text(), "52");
    EXPECT_EQ(f->ProductName->text(), "EN-P2110");
    EXPECT_EQ(f->txtGroupId->text(), "20");
    EXPECT_FALSE(f->Button18->isChecked());
    snapshot(*f, "find-part");
}

TEST_F(CatalogueTest, TheSelectorsReadAPageAndFindProductsBeyondItOnTheServer) {
    QStringList productReads;
    gConn().setStatementHook([&](const QString& sql) {
        if (sql.contains("From Products"))
            productReads << sql;
    });
    frmFindPart* f = finder();
    gConn().setStatementHook({});
    ASSERT_FALSE(productReads.isEmpty());
    for (const QString& sql : productReads)
        EXPECT_TRUE(sql.contains("LIMIT")) << sql.toStdString();
    EXPECT_EQ(f->theDesc->count(), 100);

    // The last product by code and by description, far beyond the first page.
    const QString code =
        one("SELECT `Product Name` FROM `Products` ORDER BY `Product Name` DESC LIMIT 1")
            .toString();
    const QString desc =
        one("SELECT `English Name` FROM `Products` ORDER BY `English Name` DESC LIMIT 1")
            .toString();
    ASSERT_EQ(f->ThePart->listModel().rowOfText(code), -1);
    typeAndPick(f->ThePart, code.toLower());
    EXPECT_EQ(f->ProductName->text(), code);
    typeAndPick(f->theDesc, desc);
    EXPECT_EQ(f->EnglishName->text(), desc);
}

TEST_F(CatalogueTest, NoBoxKeepsTheLastProductAndOkWritesOnlyWhatWasChanged) {
    // ORF-1436 has a practice description, CAM-0857 has none.
    const qint64 order = newOrder(2);
    frmFindPart* f = finder("ORF-1436");
    ASSERT_EQ(f->QuoteDescName->text(), "Brackets MBT upper");
    f->ThePart->pickKey("CAM-0857");
    EXPECT_EQ(f->lblProductId->text(), "18");
    EXPECT_EQ(f->QuoteDescName->text(), "");
    EXPECT_EQ(f->EnglishName->text(), "Etchant gel 37% phosphoric acid 50ml bulk syringe");
    f->DescOptionGrp2->click();
    EXPECT_EQ(f->PartDesc->toPlainText(), "");
    ok(f);
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_TRUE(product(18).at(0, "QuoteDescName").isNull());
    ASSERT_EQ(lines(order).size(), 1);
    EXPECT_TRUE(lines(order).at(0, "Description").isNull());

    // The same through the description selector, and for every box: a NULL
    // column shows as an empty box, whatever the product before it showed.
    gConn().execute(
        "UPDATE `Products` SET `English Name` = NULL, `Unit Price` = NULL, "
        "`QuoteDescName` = NULL, `QuoteDesc` = NULL, `group id` = NULL WHERE `Product ID` = 2");
    f = finder("ORF-1436");
    f->theDesc->pickKey("Universal nano-hybrid composite syringe 4g shade A2");
    ASSERT_EQ(f->txtGroupId->text(), "10");
    f->ThePart->pickKey("HEN-5605");
    EXPECT_EQ(f->lblProductId->text(), "2");
    EXPECT_EQ(f->EnglishName->text() + f->QuoteDescName->text() + f->UnitPrice->text() +
                  f->txtGroupId->text() + f->PartDesc->toPlainText(),
              "");
    EXPECT_FALSE(f->Button18->isChecked());

    // Only a box the user changed is written: another workstation's change
    // to a column the user left alone survives OK.
    f = finder("HEN-4480");
    gConn().execute("UPDATE `Products` SET `English Name` = 'changed elsewhere', `Unit Price` = "
                    "33 WHERE `Product ID` = 1");
    f->QuoteDescName->setText("Composite A2 (4g)");
    ok(f);
    const RowSet p = product(1);
    EXPECT_EQ(p.at(0, "QuoteDescName").toString(), "Composite A2 (4g)");
    EXPECT_EQ(p.at(0, "English Name").toString(), "changed elsewhere");
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 33.0);
    // The same amount typed in another form is no change either.
    f = finder("HEN-4480");
    ASSERT_EQ(f->UnitPrice->text(), "33.00");
    gConn().execute("UPDATE `Products` SET `Unit Price` = 40 WHERE `Product ID` = 1");
    f->UnitPrice->setText("33.0");
    ok(f);
    EXPECT_EQ(product(1).at(0, "Unit Price").toDouble(), 40.0);
}

TEST_F(CatalogueTest, TheDescriptionChoiceOverwritesTypingAndHoldsForTheNextLookUp) {
    frmFindPart* f = finder("HEN-5605");
    f->PartDesc->setPlainText("typed by the user");
    f->DescOptionGrp2->click();
    EXPECT_EQ(f->PartDesc->toPlainText(), "Composite A3 4g");
    f->ThePart->pickKey("HEN-4480"); // the choice holds for the next look-up
    EXPECT_EQ(f->PartDesc->toPlainText(), "Composite A2 4g");
    f->PartDesc->setPlainText("typed again");
    f->DescOptionGrp1->click();
    EXPECT_EQ(f->PartDesc->toPlainText(), "Universal nano-hybrid composite syringe 4g shade A2");
}

TEST_F(CatalogueTest, OkSavesCorrectionsAddsTheLineOnceAndReloadsTheHub) {
    const qint64 order = newOrder(2);
    frmFindPart* f = finder("HEN-4480");
    f->EnglishName->setText("Composite syringe A2, corrected");
    f->UnitPrice->setText("29.5");
    f->DescOptionGrp2->click();
    ok(f);
    EXPECT_EQ(open("frmFindPart"), nullptr);
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_EQ(product(1).at(0, "English Name").toString(), "Composite syringe A2, corrected");
    EXPECT_EQ(product(1).at(0, "Unit Price").toDouble(), 29.5);
    RowSet l = lines(order);
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l.at(0, "Product ID").toInt(), 1);
    EXPECT_EQ(l.at(0, "Part Id").toString(), "HEN-4480");
    EXPECT_EQ(l.at(0, "Description").toString(), "Composite A2 4g");
    EXPECT_EQ(l.at(0, "Unit Price").toDouble(), 29.5);
    EXPECT_EQ(l.at(0, "Parts Status").toInt(), 2);
    EXPECT_EQ(l.at(0, "Quantity").toInt(), 1);
    EXPECT_EQ(l.at(0, "Discount").toDouble(), 0.0);
    EXPECT_EQ(hub->DataGrid1->model().text(0, 3), "HEN-4480");

    f = finder();
    f->theDesc->pickKey("Stainless steel K-files 21mm ISO 08 (6)");
    ok(f);
    l = lines(order);
    ASSERT_EQ(l.size(), 2);
    EXPECT_EQ(l.at(1, "Part Id").toString(), "EN-P2112");
    // A later line of the order starts the same way, not with the table's defaults.
    EXPECT_EQ(l.at(1, "Quantity").toInt(), 1);
    EXPECT_EQ(l.at(1, "Discount").toDouble(), 0.0);
    EXPECT_EQ(hub->DataGrid1->rowCount(), 2);

    // A product already on the order adds and changes no line, silently;
    // its corrections are still saved.
    f = finder("HEN-4480");
    f->QuoteDescName->setText("Composite A2 (4g)");
    ok(f);
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_EQ(open("frmFindPart"), nullptr);
    EXPECT_EQ(lines(order).rows, l.rows);
    EXPECT_EQ(product(1).at(0, "QuoteDescName").toString(), "Composite A2 (4g)");
}

TEST_F(CatalogueTest, AnEmptiedPriceAndAnEmptyStatusStoreNullOnTheLine) {
    const qint64 order = newOrder(0);
    ASSERT_EQ(hub->Status->Text(), "");
    frmFindPart* f = finder("HEN-5605");
    f->UnitPrice->clear();
    f->EnglishName->clear(); // an empty box cannot blank the catalogue
    ok(f);
    EXPECT_EQ(product(2).at(0, "Unit Price").toDouble(), 31.95);
    EXPECT_FALSE(product(2).at(0, "English Name").isNull());
    RowSet l = lines(order);
    ASSERT_EQ(l.size(), 1);
    EXPECT_TRUE(l.at(0, "Unit Price").isNull());
    EXPECT_TRUE(l.at(0, "Parts Status").isNull());
}

TEST_F(CatalogueTest, RefusedValuesAndFailuresChangeNeitherTheCatalogueNorTheOrder) {
    const qint64 order = newOrder(2);
    gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`) VALUES (?, 'X')", {order});
    const RowSet before = lines(order), catalogue = product(1);

    frmFindPart* f = finder("HEN-4480");
    f->EnglishName->setText("changed");
    f->UnitPrice->setText("12,50p");
    ok(f);
    EXPECT_EQ(msgs->last(), "Unit Price: \"12,50p\" is not an amount of money.");
    EXPECT_EQ(open("frmFindPart"), f); // still open with what was typed
    EXPECT_EQ(product(1).rows, catalogue.rows);
    EXPECT_EQ(lines(order).rows, before.rows);

    // The line cannot be stored: said before anything is written, and the
    // corrections go with it.
    msgs->clear();
    f->UnitPrice->setText("12.50");
    f->PartDesc->setPlainText(QString(300, 'x'));
    ok(f);
    EXPECT_EQ(
        msgs->texts(),
        QStringList{"Description is too long: it can hold 255 characters and 300 were typed."});
    EXPECT_EQ(open("frmFindPart"), f);
    EXPECT_EQ(product(1).rows, catalogue.rows);
    EXPECT_EQ(lines(order).rows, before.rows);

    // An order not yet saved has no number to add a line to.
    hub->Command4_Click();
    QTest::keyClicks(hub->CustRef->lineEdit(), "NOT/SAVED/1");
    f->PartDesc->setPlainText("Composite");
    ok(f);
    EXPECT_EQ(msgs->last(),
              "No order is selected. Choose or save the order before adding a part to it.");
    EXPECT_EQ(count("Order Details", "`Order ID` = 0"), 0);
    EXPECT_EQ(product(1).rows, catalogue.rows);

    // OK with no product chosen writes nothing and closes.
    f->InitForm();
    const int all = count("Order Details");
    ok(f);
    EXPECT_EQ(open("frmFindPart"), nullptr);
    EXPECT_EQ(count("Order Details"), all);
}

TEST_F(CatalogueTest, QuotesInCodesAndDescriptionsAreFoundSavedAndAddedExactly) {
    const QString code = R"(O'BRIEN "7" \x)", desc = R"(Tray 'large' "blue" \ 5.10)";
    const qint64 id = gConn().insert("INSERT INTO `Products` (`Product Name`, `English Name`, "
                                     "`QuoteDescName`) VALUES (?, ?, 'Tray')",
                                     {code, desc});
    const qint64 order = newOrder(2);
    frmFindPart* f = finder(code);
    EXPECT_EQ(f->lblProductId->text(), QString::number(id));
    f->InitForm();
    f->theDesc->pickKey(desc);
    EXPECT_EQ(f->lblProductId->text(), QString::number(id));
    f->EnglishName->setText(desc + "'s");
    f->DescOptionGrp1->click();
    ok(f);
    EXPECT_EQ(product(id).at(0, "English Name").toString(), desc + "'s");
    RowSet l = lines(order);
    ASSERT_EQ(l.size(), 1);
    EXPECT_EQ(l.at(0, "Part Id").toString(), code);
    EXPECT_EQ(l.at(0, "Description").toString(), desc + "'s");
}

TEST_F(CatalogueTest, TheGridOpensTheFinderForKnownCodesAndThePromptForUnknownOnes) {
    hub->CustRef->pickKey("16");
    const int linesBefore = count("Order Details"), productsBefore = count("Products");
    auto dblClickCode = [&](const char* newCode) {
        if (newCode)
            gConn().execute("UPDATE `Order Details` SET `Part Id` = ? WHERE `ID` = ?",
                            {newCode, hub->DataGrid1->value(0)});
        hub->Disp_DataList();
        hub->DataGrid1->setCurrentCell(0, 3);
        hub->DataGrid1_DblClick();
    };
    dblClickCode(nullptr);
    const QString code = hub->DataGrid1->text(3);
    auto* f = qobject_cast<frmFindPart*>(open("frmFindPart"));
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->ThePart->Text(), code);
    EXPECT_EQ(
        f->lblProductId->text(),
        one("SELECT `Product ID` FROM `Products` WHERE `Product Name` = ?", {code}).toString());

    // Asked again, the same window looks up again, whatever the letter case.
    dblClickCode("hen-4480");
    EXPECT_EQ(open("frmFindPart"), f);
    EXPECT_EQ(f->lblProductId->text(), "1");
    f->close();

    dblClickCode("NEW-9001");
    settle();
    EXPECT_EQ(open("frmFindPart"), nullptr);
    auto* prompt = qobject_cast<frmNotFoundPart*>(open("frmNotFoundPart"));
    ASSERT_NE(prompt, nullptr);
    snapshot(*prompt, "part-not-found");

    // ADD: the entry window with the line's code and nothing else; the prompt stays.
    prompt->Command3->click();
    auto* entry = qobject_cast<frmAddPart*>(open("frmAddPart"));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->ProductName->text(), "NEW-9001");
    EXPECT_EQ(entry->EnglishName->toPlainText() + entry->UnitPrice->text() + entry->groupId->Text(),
              "");
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
    dblClickCode(nullptr);
    qobject_cast<frmNotFoundPart*>(open("frmNotFoundPart"))->Command4->click();
    settle();
    EXPECT_EQ(open("frmNotFoundPart"), nullptr);
    EXPECT_EQ(count("Order Details"), linesBefore);
    EXPECT_EQ(count("Products"), productsBefore);
}

TEST_F(CatalogueTest, ProductEntrySavesANewCodeThenOverwritesIt) {
    auto* entry = dialogs().show<frmAddPart>("frmAddPart", [] { return new frmAddPart; });
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
    const qlonglong id =
        one("SELECT `Product ID` FROM `Products` WHERE `Product Name` = 'NEW-9001'").toLongLong();
    RowSet p = product(id);
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 18.4);
    EXPECT_EQ(p.at(0, "QuoteDesc").toInt(), 1);
    EXPECT_TRUE(p.at(0, "group id").isNull());

    // Refused values write nothing and keep the window as typed.
    entry->UnitPrice->setText("eighteen");
    entry->Command1->click();
    EXPECT_EQ(msgs->last(), "Unit Price: \"eighteen\" is not an amount of money.");
    entry->UnitPrice->setText("19");
    entry->groupId->setText("Not a group");
    entry->Command1->click();
    EXPECT_EQ(msgs->last(),
              "Group Id: \"Not a group\" is not a product group. Choose one from the list.");
    EXPECT_EQ(product(id).rows, p.rows);

    // The same code again is the same product, overwritten; empty boxes store NULL.
    entry->groupId->pickKey("30");
    entry->QuoteDescName->clear();
    entry->Command1->click();
    EXPECT_EQ(count("Products"), before + 1);
    p = product(id);
    EXPECT_EQ(p.at(0, "Unit Price").toDouble(), 19.0);
    EXPECT_EQ(p.at(0, "group id").toInt(), 30);
    EXPECT_TRUE(p.at(0, "QuoteDescName").isNull());

    // A code with quotes is stored as typed, and the finder finds it.
    const QString quoted = R"(D'ARCY "B" \2)";
    entry->ProductName->setText(quoted);
    entry->Command1->click();
    EXPECT_EQ(count("Products", "`Product Name` = ?", {quoted}), 1);
    entry->Command2->click();
    settle();
    EXPECT_EQ(open("frmAddPart"), nullptr);
    EXPECT_EQ(finder(quoted)->ProductName->text(), quoted);
}
