// The supplier and purchaser editors, and the account numbers they hand out.
#include "data/people.h"
#include "refdata/addresseditors.h"
#include "refdata/refdatatest.h"

using namespace zel;
using namespace zel::test;

namespace {

qint64 counter() {
    return one("SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'")
        .toLongLong();
}

QVariant column(const QString& name, qint64 payrollId) {
    return one(QStringLiteral("SELECT %1 FROM `Employee Data` WHERE `Payroll ID` = ?").arg(name),
               {payrollId});
}

} // namespace

class EditorTest : public RefDataTest {
protected:
    frmEditAddress* suppliers() {
        return openVia<frmEditAddress>(refdata::openSupplierEditor, "frmEditAddress");
    }
    frmEditPurchaser* purchasers() {
        return openVia<frmEditPurchaser>(refdata::openPurchaserEditor, "frmEditPurchaser");
    }
};

TEST_F(EditorTest, EachEditorListsAndLoadsOnlyItsOwnKindOfRow) {
    // Practice rows that share a dentist's and a supplier's number, and come first.
    gConn().execute("UPDATE `Employee Data` SET `Payroll ID` = 2001 WHERE `Employee ID` = 1");
    gConn().execute("UPDATE `Employee Data` SET `Payroll ID` = 1001 WHERE `Employee ID` = 2");
    auto* s = suppliers();
    EXPECT_EQ(s->comboShort->count(), 12);
    // "Save" with no row shown does nothing and says nothing.
    s->Command3->click();
    EXPECT_TRUE(msgs->messages.empty());
    s->comboShort->pickKey("1001");
    EXPECT_EQ(s->CustomerShortname->text(), "HENLEY");
    EXPECT_EQ(s->AccountNo->text(), "1001");
    EXPECT_EQ(s->County_Postcode->text(), "Oxfordshire");
    EXPECT_EQ(s->BusinessNo->text(), "01491 570 210"); // the supplier's telephone
    snapshot(*s, "frmEditAddress");
    // A row without a second street line shows that box empty.
    s->comboShort->pickKey("1009");
    EXPECT_EQ(s->Street2->text(), "");

    auto* p = purchasers();
    ASSERT_EQ(p->comboShort->count(), 5);
    EXPECT_EQ(p->comboShort->itemText(0), "Eleanor"); // by name
    p->comboShort->pickKey("2001");
    EXPECT_EQ(p->CustomerShortname->text(), "WHITFIELD");
    EXPECT_EQ(p->CustomerName->text(), "Sarah");
    p->comboShort->pickKey("2003");
    EXPECT_EQ(p->BusinessNo->text(), ""); // the dentist's business number, which is NULL
    snapshot(*p, "frmEditPurchaser");
}

TEST_F(EditorTest, ARowWithoutANameIsListedByItsShortName) {
    gConn().execute(
        "INSERT INTO `Employee Data` (`Payroll ID`, `Previous Surname`, `Forenames`, `Type`) "
        "VALUES (2010, 'KHAN', NULL, 'Dentist'), (2011, 'LEE', '', 'Dentist')");
    auto* p = purchasers();
    ASSERT_EQ(p->comboShort->count(), 7);
    EXPECT_EQ(p->comboShort->itemText(p->comboShort->listModel().rowOfKey("2010")), "KHAN");
    EXPECT_EQ(p->comboShort->itemText(p->comboShort->listModel().rowOfKey("2011")), "LEE");
    EXPECT_EQ(p->comboShort->itemText(0), "Eleanor"); // still by name
}

TEST_F(EditorTest, DeletingARowThatOrdersNameSaysHowManyAndNoKeepsIt) {
    const int supplierOrders =
        count("Order Information", "`Account No` = '1001' OR `CUSTOMER ID` = 4");
    ASSERT_GT(supplierOrders, 1);
    auto* s = suppliers();
    s->comboShort->pickKey("1001");
    msgs->answer(false);
    s->Command2->click();
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->messages[0].kind, RecordingMessages::Message::Question);
    EXPECT_EQ(msgs->messages[0].title, "Delete record");
    EXPECT_EQ(msgs->last(),
              QStringLiteral(
                  "The supplier Henley Dental Supplies Ltd (account number 1001) is used by %1 "
                  "orders. The orders keep the name and address they were saved with.\n\n"
                  "Are you sure you want to delete it?")
                  .arg(supplierOrders));
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 1001"), 1);

    const int repOrders = count("Order Information", "`Sales Rep` = '2001'");
    ASSERT_GT(repOrders, 0);
    auto* p = purchasers();
    p->comboShort->pickKey("2001");
    msgs->clear();
    msgs->answer(true);
    p->Command2->click();
    EXPECT_TRUE(msgs->texts().first().startsWith(
        QStringLiteral("The dentist Sarah (account number 2001) is used by %1 order")
            .arg(repOrders)))
        << msgs->texts().first().toStdString();
    EXPECT_EQ(msgs->last(), "Record deleted successfully");
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 2001"), 0);
    EXPECT_EQ(count("Order Information", "`Sales Rep` = '2001'"), repOrders); // orders untouched

    // A row no order names is asked about by name.
    p->Command1->click();
    p->CustomerShortname->setText("TEMP");
    p->CustomerName->setText("Temporary");
    p->Command3->click();
    msgs->clear();
    msgs->answer(false);
    p->Command2->click();
    EXPECT_EQ(
        msgs->texts(),
        QStringList{
            QStringLiteral("Are you sure? This deletes the dentist Temporary (account number %1).")
                .arg(p->AccountNo->text())});
}

TEST_F(EditorTest, NewHandsOutANumberEachPressAndSaveStoresTheRowUnderIt) {
    auto* s = suppliers();
    s->Command1->click();
    EXPECT_EQ(s->AccountNo->text(), "2006");
    s->CustomerName->setText("typed before the second press");
    s->Command1->click();
    EXPECT_EQ(s->AccountNo->text(), "2007");
    EXPECT_EQ(s->CustomerName->text(), "");
    EXPECT_EQ(counter(), 2008);

    s->CustomerName->setText("Smith's \"Best\" Supplies");
    s->Command3->click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please provide a Short Name Limit to 8 Characters"});
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 2007"), 0);

    msgs->clear();
    s->CustomerShortname->setText("SMITH'S");
    s->Command3->click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});
    EXPECT_EQ(column("`Forenames`", 2007).toString(), "Smith's \"Best\" Supplies");
    EXPECT_EQ(column("`Previous Surname`", 2007).toString(), "SMITH'S");
    EXPECT_EQ(column("`Type`", 2007).toString(), "Supplier");
    EXPECT_TRUE(column("`Address1`", 2007).isNull()); // empty boxes are NULL
    // A second save updates the same row.
    s->Town->setText("Leeds");
    s->Command3->click();
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 2007"), 1);
    EXPECT_EQ(column("`Town`", 2007).toString(), "Leeds");
    EXPECT_EQ(counter(), 2008);

    auto* p = purchasers();
    p->Command1->click();
    p->CustomerShortname->setText("NEWDENT");
    p->BusinessNo->setText("07700 900123");
    p->Command3->click();
    EXPECT_EQ(column("`Type`", 2008).toString(), "Dentist");
    EXPECT_EQ(column("`Business No`", 2008).toString(), "07700 900123");
    EXPECT_TRUE(column("`Telephone No`", 2008).isNull());
}

TEST_F(EditorTest, AnEmptiedBoxIsSavedAsNullButTheShortNameCannotBeEmptied) {
    auto* s = suppliers();
    s->comboShort->pickKey("1001");
    s->Street2->clear();
    s->Command3->click();
    EXPECT_TRUE(column("`Address2`", 1001).isNull());
    EXPECT_EQ(column("`Town`", 1001).toString(), "Henley-on-Thames");
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 1001"), 1);

    msgs->clear();
    s->CustomerShortname->clear();
    s->Command3->click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please provide a Short Name Limit to 8 Characters"});
    EXPECT_EQ(column("`Previous Surname`", 1001).toString(), "HENLEY");
}

TEST_F(EditorTest, ATextTooLongForItsColumnIsRefusedAndNothingIsWritten) {
    auto* s = suppliers();
    s->comboShort->pickKey("1001");
    s->CustomerName->setText("Henley Renamed");
    s->CustomerShortname->setText(QString(31, u'X'));
    s->Command3->click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Shortname is too long: it can hold 30 characters and 31 were typed."});
    EXPECT_EQ(column("`Forenames`", 1001).toString(), "Henley Dental Supplies Ltd");
    EXPECT_EQ(s->CustomerShortname->text(), QString(31, u'X')); // kept as typed

    msgs->clear();
    s->CustomerShortname->setText(QString(30, u'X'));
    s->postcode2->setText("RG9 1AZ, Oxfordshire, UK");
    s->Command3->click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Postcode is too long: it can hold 20 characters and 24 were typed."});
    EXPECT_EQ(column("`Previous Surname`", 1001).toString(), "HENLEY");
}

TEST_F(EditorTest, AFailedSaveSaysWhyAndKeepsWhatWasTyped) {
    Database other(QStringLiteral("holder"));
    ASSERT_TRUE(other.open(testSettings())) << other.lastOpenError().toStdString();
    gConn().execute("SET SESSION innodb_lock_wait_timeout = 1");
    auto* s = suppliers();
    s->comboShort->pickKey("1001");
    s->Town->setText("Reading");
    other.begin();
    other.select("SELECT * FROM `Employee Data` WHERE `Payroll ID` = 1001 FOR UPDATE");
    s->Command3->click();
    other.rollback();
    gConn().execute("SET SESSION innodb_lock_wait_timeout = DEFAULT");
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->messages[0].kind, RecordingMessages::Message::Error);
    EXPECT_EQ(msgs->messages[0].text,
              "Another workstation was changing the same records at the same "
              "moment, so this was not saved. Please try again.");
    EXPECT_EQ(s->Town->text(), "Reading");
    EXPECT_EQ(column("`Town`", 1001).toString(), "Henley-on-Thames");
}

TEST_F(EditorTest, DeleteRemovesOnlyARowOfItsOwnKind) {
    const int rows = count("Employee Data");
    auto* s = suppliers();
    s->Command2->click(); // no row shown: told, not asked
    EXPECT_EQ(
        msgs->texts(),
        QStringList{"No record is shown: choose a name from the list first. Nothing was deleted."});

    s->comboShort->pickKey("1001");
    msgs->clear();
    msgs->answer(true);
    s->Command2->click();
    EXPECT_EQ(msgs->last(), "Record deleted successfully");
    EXPECT_EQ(count("Employee Data"), rows - 1);
    EXPECT_EQ(count("Employee Data", "`Payroll ID` = 1001"), 0);
    EXPECT_EQ(s->AccountNo->text(), "");
    // The list still offers it until reopened; picking it shows nothing.
    s->comboShort->pickKey("1001");
    EXPECT_EQ(s->CustomerShortname->text(), "");

    // The purchaser editor never overwrites or deletes a supplier that shares a number.
    auto* p = purchasers();
    p->AccountNo->setText("1002");
    p->CustomerShortname->setText("IMPOSTOR");
    msgs->clear();
    p->Command3->click();
    EXPECT_EQ(
        msgs->texts(),
        QStringList{
            "Account number 1002 belongs to a supplier record, not a dentist. Nothing was saved."});
    msgs->clear();
    msgs->answer(true);
    p->Command2->click();
    EXPECT_EQ(msgs->last(), "No dentist with account number 1002 is stored. Nothing was deleted.");
    EXPECT_EQ(column("`Previous Surname`", 1002).toString(), "O'NEILL");
    EXPECT_EQ(column("`Type`", 1002).toString(), "Supplier");
}

TEST_F(EditorTest, AllocationPassesOverNumbersInUseAndNeedsItsCounter) {
    gConn().execute("UPDATE `tblGlobalSysConfig` SET `NumberValue` = 2003 WHERE `Item` = 'PatNo'");
    EXPECT_EQ(people::allocateAccountNumber(gConn()), 2006); // 2003 to 2005 are dentists
    EXPECT_EQ(counter(), 2007);

    gConn().execute("DELETE FROM `tblGlobalSysConfig` WHERE `Item` = 'PatNo'");
    auto* s = suppliers();
    s->Command1->click();
    EXPECT_EQ(s->AccountNo->text(), "");
    EXPECT_TRUE(msgs->last().contains("PatNo")) << msgs->last().toStdString();
}
