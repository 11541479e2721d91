// The supplier, ship-to, invoice-to and purchaser pickers, opened from the
// purchase order window and handing their choice over to it.
#include "refdata/addresseditors.h"
#include "refdata/frmeditstatus.h"
#include "refdata/frmpoinstr.h"
#include "refdata/frmsalesrep.h"
#include "refdata/pickers.h"
#include "refdata/refdatatest.h"

#include <QAction>
#include <QApplication>
#include <QTest>

using namespace zel;
using namespace zel::test;

using PickerTest = RefDataTest;

TEST_F(PickerTest, TheOrderWindowOpensEachDialogModelessAndOnlyOnce) {
    struct Case {
        std::function<void()> ask;
        const char* kind;
        QString caption;
    };
    const Case cases[] = {
        {[&] { hub->Command1->click(); }, "frmSupplierEntry", "Suppliers Entry Form"},
        {[&] { hub->Command2->click(); }, "frmInvoiceTo", "Invoice To Details"},
        {[&] { QTest::mouseDClick(hub->ShippedTo, Qt::LeftButton); }, "frmShipTo",
         "Shipped To Entry"},
        {[&] { QTest::mouseClick(hub->SalesRep, Qt::LeftButton); }, "frmSalesRep", "Purchaser"},
        {[&] { hub->mnPOInstr->trigger(); }, "frmPOInstr", "PO Instructions to Suppliers"},
        {[&] { hub->mnAddress->trigger(); }, "frmEditAddress", "Customer/Supplier Address"},
        {[&] { hub->mnStaff->trigger(); }, "frmEditPurchaser", "Edit Purchaser Entry"},
        {[&] { hub->mnStatus->trigger(); }, "frmEditStatus", "Purchase Order Status"},
    };
    for (const Case& c : cases) {
        c.ask();
        QWidget* first = open<QWidget>(c.kind);
        ASSERT_NE(first, nullptr) << c.kind;
        EXPECT_EQ(first->windowTitle(), c.caption);
        EXPECT_TRUE(first->isVisible());
        EXPECT_EQ(first->windowModality(), Qt::NonModal);
        c.ask();
        EXPECT_EQ(open<QWidget>(c.kind), first) << c.kind;
        int shown = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            shown += w->objectName() == QLatin1String(c.kind) && w->isVisible();
        EXPECT_EQ(shown, 1) << c.kind;
    }
    EXPECT_TRUE(msgs->messages.empty()) << msgs->texts().join("\n").toStdString();
}

TEST_F(PickerTest, SupplierPickerShowsEachRowAfreshAndHandsNineBoxesOver) {
    gConn().execute("INSERT INTO `Employee Data` (`Payroll ID`, `Previous Surname`, `Forenames`, "
                    "`Type`) VALUES "
                    "(3001, NULL, 'No Shortname Ltd', 'Supplier'), (3002, NULL, 'Annexe Practice', "
                    "'Practice')");
    hub->CustomerName->setText("old name");
    auto* p = openVia<frmSupplierEntry>(refdata::openSupplierPicker, "frmSupplierEntry");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->cmbFindSupplier->count(), 12); // suppliers without a short name are not offered
    EXPECT_EQ(p->cmbFindSupplier->findText("No Shortname Ltd"), -1);

    p->cmbFindSupplier->pickKey("4");
    EXPECT_EQ(p->CustomerName->text(), "Henley Dental Supplies Ltd");
    EXPECT_EQ(p->Street2->text(), "Station Road");

    // Surgicraft has no second street line: the box shows none, not Henley's.
    p->cmbFindSupplier->pickKey("12");
    EXPECT_EQ(p->CustomerName->text(), "Surgicraft Instruments Ltd");
    EXPECT_EQ(p->Street2->text(), "");
    // Only a pick from the list shows a row.
    p->cmbFindSupplier->setBoundText("5");
    p->cmbFindSupplier_Click(DataCombo::EditPart);
    p->cmbFindSupplier_Click(DataCombo::Button);
    EXPECT_EQ(p->CustomerName->text(), "Surgicraft Instruments Ltd");
    p->cmbFindSupplier->pickKey("12");
    snapshot(*p, "frmSupplierEntry");

    hub->Street2->setText("left over");
    p->Command1->click();
    QStringList handed;
    for (QLineEdit* e : {hub->CustomerShortname, hub->CustomerName, hub->Street, hub->Street2,
                         hub->Town, hub->Postcode, hub->txtCustID, hub->AccountNo, hub->Telephone})
        handed << e->text();
    EXPECT_EQ(handed, (QStringList{"SURGICRAFT", "Surgicraft Instruments Ltd",
                                   "Cutlers Yard, 55 Arundel Street", "", "Sheffield", "S1 2NU",
                                   "12", "1009", "0114 496 0164"}));
    EXPECT_EQ(open<QWidget>("frmSupplierEntry"), nullptr);
}

TEST_F(PickerTest, TheListIsInNameOrderAndAClickPicksTheRowClicked) {
    gConn().execute(
        "INSERT INTO `Employee Data` (`Payroll ID`, `Previous Surname`, `Forenames`, "
        "`Type`) VALUES (4001, 'ZS', 'zeta supplies', 'Supplier'), "
        "(4002, 'B10', 'beta 10 Co', 'Supplier'), (4003, 'AL', 'Alpha Ltd', 'Supplier'), "
        "(4004, 'B9', 'beta 9 Co', 'Supplier')");
    auto* p = openVia<frmSupplierEntry>(refdata::openSupplierPicker, "frmSupplierEntry");
    ASSERT_NE(p, nullptr);
    DataCombo* list = p->cmbFindSupplier;
    auto names = [&] {
        QStringList out;
        for (int r = 0; r < list->count(); ++r)
            out << list->itemText(r);
        return out;
    };
    auto place = [&](const QString& name) { return names().indexOf(name); };
    // Letter case aside, numbers by value.
    EXPECT_LT(place("Alpha Ltd"), place("beta 9 Co"));
    EXPECT_LT(place("beta 9 Co"), place("beta 10 Co"));
    EXPECT_LT(place("beta 10 Co"), place("Henley Dental Supplies Ltd"));
    EXPECT_EQ(place("zeta supplies"), list->count() - 1);

    // The entry clicked in the open list is the row shown and handed over.
    const int row = place("beta 9 Co");
    list->showPopup();
    ASSERT_TRUE(list->view()->isVisible());
    const QModelIndex item = list->model()->index(row, 0);
    list->view()->scrollTo(item);
    QTest::mouseClick(list->view()->viewport(), Qt::LeftButton, {},
                      list->view()->visualRect(item).center());
    settle();
    EXPECT_EQ(p->CustomerName->text(), "beta 9 Co");
    EXPECT_EQ(p->AccountNo->text(), "4004");
    EXPECT_EQ(
        p->CUSTOMERID->text(),
        one("SELECT `Employee ID` FROM `Employee Data` WHERE `Payroll ID` = 4004").toString());

    // Read again, the list keeps its order and its choice.
    const QStringList before = names();
    list->refresh();
    EXPECT_EQ(names(), before);
    EXPECT_EQ(list->Text(), "beta 9 Co");
    p->Command1->click();
    EXPECT_EQ(hub->AccountNo->text(), "4004");
    EXPECT_EQ(hub->CustomerName->text(), "beta 9 Co");
}

TEST_F(PickerTest, CloseBeforeAnyPickHandsOverEmptyValuesAndTheFrameHandsOverNothing) {
    for (QLineEdit* e : {hub->CustomerShortname, hub->CustomerName, hub->txtCustID, hub->AccountNo,
                         hub->Telephone})
        e->setText("kept?");
    openVia<frmSupplierEntry>(refdata::openSupplierPicker, "frmSupplierEntry")->Command1->click();
    for (QLineEdit* e : {hub->CustomerShortname, hub->CustomerName, hub->txtCustID, hub->AccountNo,
                         hub->Telephone})
        EXPECT_EQ(e->text(), "") << e->objectName().toStdString();

    hub->ShippedTo->setText("Main surgery");
    hub->txtShipto_ID->setText("101");
    auto* ship = openVia<frmShipTo>(refdata::openShipToPicker, "frmShipTo");
    ship->cmbFindSupplier->pickKey("102");
    ship->close(); // by the frame
    settle();
    EXPECT_EQ(hub->ShippedTo->text(), "Main surgery");
    EXPECT_EQ(hub->txtShipto_ID->text(), "101");
    openVia<frmShipTo>(refdata::openShipToPicker, "frmShipTo")->Command1->click();
    EXPECT_EQ(hub->ShippedTo->text(), "");
    EXPECT_EQ(hub->txtShipto_ID->text(), "0");

    hub->InvoiceTo->clear();
    auto* inv = openVia<frmInvoiceTo>(refdata::openInvoiceToPicker, "frmInvoiceTo");
    EXPECT_EQ(inv->cmbFindSupplier->Text(), "");
    EXPECT_EQ(inv->CustomerName->text(), "");
    inv->Command1->click();
    EXPECT_EQ(hub->InvoiceTo->text(), "0");
}

TEST_F(PickerTest, ShipToAndInvoiceToHandOverTheirKeys) {
    gConn().execute(
        "INSERT INTO `Employee Data` (`Payroll ID`, `Previous Surname`, `Forenames`, `Type`) "
        "VALUES (104, NULL, 'Annexe Practice', 'Practice')");
    auto* ship = openVia<frmShipTo>(refdata::openShipToPicker, "frmShipTo");
    EXPECT_EQ(ship->cmbFindSupplier->count(), 4); // practices, with or without a short name
    ship->cmbFindSupplier->pickKey("102");        // keyed by account number
    EXPECT_EQ(ship->CUSTOMERID->text(), "2");
    snapshot(*ship, "frmShipTo");
    ship->Command1->click();
    EXPECT_EQ(hub->txtShipto_ID->text(), "102");
    EXPECT_EQ(hub->ShippedTo->text(), "Zel Dental Practice Headingley");

    // Opens on the order's invoice-to row, keyed by record number.
    hub->InvoiceTo->setText("3");
    auto* inv = openVia<frmInvoiceTo>(refdata::openInvoiceToPicker, "frmInvoiceTo");
    EXPECT_EQ(inv->cmbFindSupplier->Text(), "Zel Dental Practice Roundhay");
    EXPECT_EQ(inv->CustomerName->text(), "Zel Dental Practice Roundhay");
    EXPECT_EQ(inv->AccountNo->text(), "103");
    snapshot(*inv, "frmInvoiceTo");
    inv->Command1->click();
    EXPECT_EQ(hub->InvoiceTo->text(), "3");
}

TEST_F(PickerTest, APurchaserPickFillsTheOrderAndClosesInTheSameClick) {
    gConn().execute(
        "INSERT INTO `Employee Data` (`Payroll ID`, `Previous Surname`, `Forenames`, "
        "`Surname`, `Type`) "
        "VALUES (2010, 'ANN', 'Ann', NULL, 'Dentist'), (2011, 'NONAME', NULL, '', 'Dentist')");
    auto* rep = openVia<frmSalesRep>(refdata::openPurchaserPicker, "frmSalesRep");
    ASSERT_NE(rep, nullptr);
    EXPECT_EQ(rep->RepID->count(), 7);
    EXPECT_EQ(rep->RepID->itemText(rep->RepID->listModel().rowOfKey("2001")), "Sarah  Whitfield");
    // What is known of a name is shown, never a blank entry.
    EXPECT_EQ(rep->RepID->itemText(rep->RepID->listModel().rowOfKey("2010")), "Ann");
    EXPECT_EQ(rep->RepID->itemText(rep->RepID->listModel().rowOfKey("2011")), "NONAME");
    snapshot(*rep, "frmSalesRep");
    rep->RepID->pickKey("2001");
    EXPECT_EQ(hub->SalesRep->text(), "2001");
    EXPECT_EQ(hub->lblFullName->text(), "Sarah  Whitfield");
    EXPECT_EQ(open<QWidget>("frmSalesRep"), nullptr);

    // A dentist with forenames only hands over the code and the forenames.
    openVia<frmSalesRep>(refdata::openPurchaserPicker, "frmSalesRep")->RepID->pickKey("2010");
    EXPECT_EQ(hub->SalesRep->text(), "2010");
    EXPECT_EQ(hub->lblFullName->text(), "Ann");
    EXPECT_EQ(open<QWidget>("frmSalesRep"), nullptr);
}
