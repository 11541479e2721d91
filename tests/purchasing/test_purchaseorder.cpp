// The purchase order window driven as a user would, offscreen, against the
// private server.
#include "purchasing/purchaseordertest.h"

TEST_F(PurchaseOrderTest, OpensEmptyWithTheVatDesignTextCleared) {
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Purchase Ordering \u2014 new order, not saved"));
    EXPECT_EQ(w->Discount->text(), "0");
    EXPECT_EQ(w->VAT->text(), "");
    EXPECT_EQ(w->CustRef->Text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);
    EXPECT_EQ(w->CustRef->count(), 40);
    EXPECT_EQ(w->Status->count(), 6);
    EXPECT_EQ(plainCaption(w->Command3->text()), "Previuos");
    EXPECT_EQ(w->Label8->text(), "Double click to choose shippinmg address.....");
}

TEST_F(PurchaseOrderTest, OnlyAPickFromTheListLoadsAnOrder) {
    w->CustRef->setBoundText("1");
    w->CustRef_Click(DataCombo::EditPart);
    w->CustRef_Click(DataCombo::Button);
    EXPECT_EQ(w->CustomerName->text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);

    pickOrder(1);
    EXPECT_EQ(w->CustRef->Text(), "PEN/24/0535");
    EXPECT_EQ(w->AccountNo->text(), "1008");
    EXPECT_EQ(w->txtShipto_ID->text(), "103");
    EXPECT_EQ(w->Discount->text(), "10");
    EXPECT_EQ(w->VAT->text(), "20");
    EXPECT_EQ(w->Status->BoundText(), "4");
    EXPECT_EQ(w->DataGrid1->rowCount(), 2);
    EXPECT_EQ(w->QuotedDate->text(), one("SELECT DATE_FORMAT(`Quoted Date`, '%d/%m/%Y') FROM "
                                         "`Order Information` WHERE `Quote ID` = 1")
                                         .toString());
    // The grid's visible columns and captions.
    EXPECT_TRUE(w->DataGrid1->isColumnHidden(0));
    EXPECT_TRUE(w->DataGrid1->isColumnHidden(2));
    EXPECT_EQ(w->DataGrid1->caption(3), "Product Code");
    EXPECT_EQ(w->DataGrid1->caption(8), "Total Price");
    for (int c = 10; c <= 17; ++c)
        EXPECT_TRUE(w->DataGrid1->isColumnHidden(c)) << c;
    snapshot(*w, "purchase-order");
}

TEST_F(PurchaseOrderTest, SaveValidatesInOrderAndWritesNothingWhenRefused) {
    const int before = count("Order Information");
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Suppliers Reference cannot be empty"});
    typeRef("NEW/26/0001");
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please provide a PO Status"});
    // A field that does not convert refuses the whole save.
    w->Status->setBoundText("2");
    w->QuotedDate->setText("31/02/2026");
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Date Entered: \"31/02/2026\" is not a date (dd/mm/yyyy)."});
    w->QuotedDate->setText("tomorrow");
    w->Discount->setText("ten");
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts().size(), 1);
    EXPECT_FALSE(msgs->texts().contains("Information saved successfully"));
    EXPECT_EQ(count("Order Information"), before);
    EXPECT_EQ(w->orderKey(), 0);
}

TEST_F(PurchaseOrderTest, ANewReferenceIsInsertedThenUpdated) {
    w->Command4_Click();
    typeRef("O'Brien \"quote\" \\ 1");
    w->Status->setBoundText("2");
    w->CustomerName->setText("Henley Dental Supplies Ltd");
    w->Telephone->setText("0161 496 0000");
    w->QuotedDate_DblClick();
    EXPECT_EQ(w->QuotedDate->text(), QDate::currentDate().toString("dd/MM/yyyy"));
    w->VAT->setText("20");
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});
    const qint64 key = w->orderKey();
    ASSERT_GT(key, 40);
    EXPECT_EQ(w->CustRef->Text(), "O'Brien \"quote\" \\ 1");
    EXPECT_EQ(one("SELECT `Customer Ref` FROM `Order Information` WHERE `Quote ID` = ?", {key})
                  .toString(),
              "O'Brien \"quote\" \\ 1");
    EXPECT_EQ(one("SELECT DATE(`Quoted Date`) FROM `Order Information` WHERE `Quote ID` = ?", {key})
                  .toDate(),
              QDate::currentDate());
    EXPECT_EQ(w->CustRef->listModel().rowOfKey(QString::number(key)) >= 0, true);
    EXPECT_EQ(w->getid(), key);

    // Saving again updates the same row; an emptied box becomes NULL.
    const int rows = count("Order Information");
    w->Telephone->clear();
    w->Command8_Click();
    EXPECT_EQ(count("Order Information"), rows);
    EXPECT_TRUE(
        one("SELECT `Telephone` IS NULL FROM `Order Information` WHERE `Quote ID` = ?", {key})
            .toBool());
    EXPECT_EQ(one("SELECT `Customer Name` FROM `Order Information` WHERE `Quote ID` = ?", {key})
                  .toString(),
              "Henley Dental Supplies Ltd");
    EXPECT_EQ(
        one("SELECT `Grand Total` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toString(),
        "0.0000");
}

TEST_F(PurchaseOrderTest, AnOverlongTextIsRefusedWithItsReasonAndNothingIsHalfWritten) {
    const int before = count("Order Information");
    typeRef("R1");
    w->Status->setBoundText("2");
    w->Title->setText(QString(25, 'x'));
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Title is too long: it can hold 20 characters and 25 were typed."});
    EXPECT_EQ(count("Order Information"), before); // no bare header row
    // Trailing blanks count: the server would cut them and call it saved.
    msgs->clear();
    w->Title->setText(QString("Dr") + QString(23, ' '));
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Title is too long: it can hold 20 characters and 25 were typed."});
    EXPECT_EQ(count("Order Information"), before);
}

TEST_F(PurchaseOrderTest, TotalsFollowTheLinesDiscountVatAndPackagePrice) {
    qint64 key = makeOrder("TOT/1", {{"10", "3", "0.1"}});
    pickOrder(key);
    EXPECT_EQ(w->DataGrid1->model().text(0, 8), "27.00");
    EXPECT_EQ(w->lblSubTotal->text(), "£27.00");

    key = makeOrder("TOT/2", {{"100", "1", "0"}}, {"1008", 103, 2, 10, 17.5, QVariant()});
    pickOrder(key);
    EXPECT_EQ(w->lblSubTotal->text(), "£100.00");
    EXPECT_EQ(w->lblDiscountValue->text(), "£90.00");
    EXPECT_EQ(w->ValVal->text(), "£15.75");
    EXPECT_EQ(w->lblFinalTotal->text(), "£105.75");
    // Every keystroke recomputes.
    w->Discount->setFocus();
    w->Discount->selectAll();
    QTest::keyClicks(w->Discount, "0");
    EXPECT_EQ(w->lblFinalTotal->text(), "£117.50");

    // Package price mode.
    w->ckPPrice->setChecked(true);
    w->PackagePriceFlg();
    w->PackagePrice->setText("200");
    EXPECT_EQ(w->lblCalcPkg->text(), "£235.00");
    EXPECT_TRUE(w->lblCalcPkg->isVisible());
    EXPECT_FALSE(w->lblSubTotal->isVisible());
    QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
    EXPECT_FALSE(w->ckPPrice->isChecked());
    EXPECT_TRUE(w->lblSubTotal->isVisible());
    EXPECT_FALSE(w->PackagePrice->isVisible());
}

TEST_F(PurchaseOrderTest, AnOrderWithoutLinesOrWithANullDiscountLine) {
    qint64 empty = makeOrder("EMPTY/1", {});
    pickOrder(empty);
    EXPECT_EQ(w->lblSubTotal->text(), "£0.00");
    EXPECT_EQ(w->lblFinalTotal->text(), "£0.00");
    EXPECT_EQ(w->lblCalcPkg->text(), "£0.00");
    qint64 nulls = makeOrder("NULLS/1", {{"10", "3", ""}, {"5", "2", "0"}});
    pickOrder(nulls);
    EXPECT_EQ(w->DataGrid1->model().text(0, 8), "");
    EXPECT_EQ(w->lblSubTotal->text(), "£10.00");
}

TEST_F(PurchaseOrderTest, PackageModeFollowsTheOrderShown) {
    pickOrder(17);
    EXPECT_TRUE(w->ckPPrice->isChecked());
    EXPECT_TRUE(w->lblCalcPkg->isVisible());
    EXPECT_EQ(w->lblCalcPkg->text(), "£540.00");
    pickOrder(1);
    EXPECT_FALSE(w->ckPPrice->isChecked());
    EXPECT_TRUE(w->lblFinalTotal->isVisible());
}

TEST_F(PurchaseOrderTest, ApprovingPostsExactlyOneLedgerRow) {
    qint64 key = makeOrder("APP/1", {{"100", "1", "0"}, {"10", "2", "0.5"}},
                           {"1008abc", 103, 2, 10, 17.5, QVariant()});
    pickOrder(key);
    EXPECT_EQ(w->lblFinalTotal->text(), "£116.33"); // 110 less 10% plus 17.5%
    const int before = count("Transaction");
    msgs->answer(true);
    w->Status->pickKey("1");
    ASSERT_EQ(msgs->messages.size(), 1u);
    EXPECT_EQ(msgs->messages[0].text,
              "Option (A) indicates processing this Purchase Order has being Approved?");
    EXPECT_EQ(msgs->messages[0].title, "No Account no setup for this Supplier");
    ASSERT_EQ(count("Transaction"), before + 1);
    RowSet t = gConn().select("SELECT * FROM `Transaction` ORDER BY `id` DESC LIMIT 1");
    EXPECT_EQ(t.at(0, "AccountHolder").toDouble(), 103);
    EXPECT_EQ(t.at(0, "Ref").toDouble(), double(key));
    EXPECT_EQ(t.at(0, "TypeRef").toDouble(), 1008);
    EXPECT_EQ(t.at(0, "Item").toString(), "Stock Purchase for suppliers Ref  APP/1");
    EXPECT_EQ(t.at(0, "Cinout").toString(), "-116.3300");
    EXPECT_EQ(t.at(0, "DCinout").toInt(), 0);
    EXPECT_EQ(t.at(0, "Type").toString(), "Stock Purchase");
    EXPECT_EQ(t.at(0, "Date").toDateTime(), QDateTime(QDate::currentDate(), QTime(0, 0)));
    EXPECT_EQ(t.at(0, "CostPool").toInt(), 2020);
    // The header and every line carry the status, stamped in one go.
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toInt(),
              1);
    EXPECT_EQ(count("Order Details", "`Order ID` = ? AND `Parts Status` = 1", {key}), 2);
    EXPECT_EQ(w->DataGrid1->model().text(0, 9), "1");
}

TEST_F(PurchaseOrderTest, DecliningApprovalFallsBackToStatus2) {
    qint64 key = makeOrder("APP/2", {{"100", "1", "0"}});
    pickOrder(key);
    const int before = count("Transaction");
    msgs->answer(false);
    w->Status->pickKey("1");
    EXPECT_EQ(count("Transaction"), before);
    EXPECT_EQ(w->Status->BoundText(), "2");
    EXPECT_EQ(one("SELECT `Status` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toInt(),
              2);
    EXPECT_EQ(count("Order Details", "`Order ID` = ? AND `Parts Status` = 2", {key}), 1);
}

TEST_F(PurchaseOrderTest, PackageApprovalPostsThePackageTotal) {
    qint64 key = makeOrder("PKG/APP", {{"100", "1", "0"}}, {"1008", 103, 2, 0, 20, 450});
    pickOrder(key);
    ASSERT_TRUE(w->ckPPrice->isChecked());
    msgs->answer(true);
    w->Status->pickKey("1");
    EXPECT_EQ(one("SELECT `Cinout` FROM `Transaction` WHERE `Ref` = ?", {key}).toString(),
              "-540.0000");
    EXPECT_EQ(
        one("SELECT `Grand Total` FROM `Order Information` WHERE `Quote ID` = ?", {key}).toString(),
        "540.0000");
}

TEST_F(PurchaseOrderTest, GridEditsSaveTheLineAndTheDiscountNeverDrifts) {
    qint64 key = makeOrder("GRID/1", {{"10", "3", "0.1"}});
    pickOrder(key);
    EXPECT_EQ(w->DataGrid1->model().text(0, 7), "10"); // shown as a percentage
    const QVariant line = w->DataGrid1->model().value(0, 0);
    ASSERT_TRUE(w->DataGrid1->editCell(0, 6, "5"));
    settle();
    EXPECT_EQ(one("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {line}).toInt(), 5);
    EXPECT_DOUBLE_EQ(
        one("SELECT `Discount` FROM `Order Details` WHERE `ID` = ?", {line}).toDouble(), 0.1);
    EXPECT_EQ(w->DataGrid1->model().text(0, 8), "45.00");
    EXPECT_EQ(w->lblSubTotal->text(), "£45.00");
    ASSERT_TRUE(w->DataGrid1->editCell(0, 5, "20"));
    settle();
    EXPECT_DOUBLE_EQ(
        one("SELECT `Discount` FROM `Order Details` WHERE `ID` = ?", {line}).toDouble(), 0.1);
    ASSERT_TRUE(w->DataGrid1->editCell(0, 7, "25"));
    settle();
    EXPECT_DOUBLE_EQ(
        one("SELECT `Discount` FROM `Order Details` WHERE `ID` = ?", {line}).toDouble(), 0.25);
    EXPECT_EQ(w->lblSubTotal->text(), "£75.00");

    // Bad input is refused naming the field and the text; the line keeps its values.
    EXPECT_FALSE(w->DataGrid1->editCell(0, 6, "abc"));
    EXPECT_EQ(msgs->last(), "Quantity: \"abc\" is not a whole number.");
    EXPECT_FALSE(w->DataGrid1->editCell(0, 5, "12,50"));
    EXPECT_EQ(msgs->last(), "Unit Price: \"12,50\" is not an amount of money.");
    EXPECT_FALSE(w->DataGrid1->editCell(0, 7, "ten"));
    EXPECT_EQ(msgs->last(), "Discount: \"ten\" is not a number.");
    EXPECT_EQ(one("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {line}).toInt(), 5);
    EXPECT_EQ(one("SELECT `Unit Price` FROM `Order Details` WHERE `ID` = ?", {line}).toString(),
              "20.0000");
}

TEST_F(PurchaseOrderTest, ALineTypedOnANewOrderFirstCreatesTheHeader) {
    w->Command4_Click();
    // Without a reference nothing is created.
    EXPECT_FALSE(w->DataGrid1->editCell(0, 3, "HEN-1042"));
    EXPECT_EQ(msgs->last(), "Suppliers Reference cannot be empty");
    typeRef("LINE/FIRST");
    w->Status->setBoundText("2");
    const int before = count("Order Information");
    ASSERT_TRUE(w->DataGrid1->editCell(0, 3, "HEN-1042"));
    settle();
    EXPECT_EQ(count("Order Information"), before + 1);
    const qint64 key = w->orderKey();
    ASSERT_GT(key, 0);
    EXPECT_EQ(count("Order Details", "`Order ID` = ? AND `Part Id` = 'HEN-1042'", {key}), 1);
    EXPECT_EQ(w->DataGrid1->rowCount(), 1);
}

TEST_F(PurchaseOrderTest, DeleteAsksRemovesLinesAndHeaderTogether) {
    w->Command9_Click(); // nothing selected
    EXPECT_EQ(msgs->texts().size(), 1);
    EXPECT_TRUE(msgs->last().startsWith("No order is selected"));
    const int orders = count("Order Information"), lines = count("Order Details");
    EXPECT_EQ(orders, 40);

    pickOrder(25);
    msgs->clear();
    msgs->answer(false);
    w->Command9_Click();
    ASSERT_EQ(msgs->texts().size(), 1);
    EXPECT_TRUE(msgs->last().startsWith("Are you sure? This deletes order 25"));
    EXPECT_EQ(msgs->messages[0].title, "Delete record");
    EXPECT_EQ(count("Order Information"), orders);

    msgs->clear();
    msgs->answer(true);
    w->Command9_Click();
    ASSERT_EQ(msgs->texts().size(), 2);
    EXPECT_TRUE(msgs->texts()[0].startsWith("Are you sure?"));
    EXPECT_EQ(msgs->texts()[1], "Record deleted successfully");
    EXPECT_EQ(msgs->messages[1].title, "Deleted Record");
    EXPECT_EQ(count("Order Information"), orders - 1);
    EXPECT_EQ(count("Order Details", "`Order ID` = 25"), 0);
    EXPECT_EQ(count("Order Details"), lines - 11);
    EXPECT_EQ(w->CustRef->listModel().rowOfText("O'NEILL/26/0429"), -1);
    EXPECT_EQ(w->CustomerName->text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);
}

TEST_F(PurchaseOrderTest, PreviousShowsTheLastOrderAndNewClears) {
    w->Command3_Click();
    EXPECT_EQ(w->orderKey(), 40);
    EXPECT_GT(w->DataGrid1->rowCount(), 0);
    w->Command4_Click();
    EXPECT_EQ(w->CustRef->Text(), "");
    EXPECT_EQ(w->CustomerName->text(), "");
    EXPECT_EQ(w->DataGrid1->rowCount(), 0);
    gConn().execute("DELETE FROM `Order Details`");
    gConn().execute("DELETE FROM `Order Information`");
    w->Command3_Click(); // an empty table changes nothing
    EXPECT_EQ(w->CustRef->Text(), "");
}

TEST_F(PurchaseOrderTest, PrintChecksTheSupplierAndTheReference) {
    w->Command5_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please click the Start button"});
    w->AccountNo->setText("ACC-1"); // does not begin with a digit
    msgs->clear();
    w->Command5_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please click the Start button"});
    w->AccountNo->setText("1008");
    msgs->clear();
    w->Command5_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Please select a Suppliers Reference"});
}

namespace {
// Double clicks the line's Unit Price: the line details dialog it opens.
frmOrderDetails* openLineDetails(frmPurchaseOrder* w, int row) {
    w->DataGrid1->setCurrentCell(row, 5);
    w->DataGrid1_DblClick();
    frmOrderDetails* d = nullptr;
    for (QWidget* x : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<frmOrderDetails*>(x))
            d = found;
    return d;
}
} // namespace

TEST_F(PurchaseOrderTest, TheLineDetailsDialogWritesItsLineBack) {
    qint64 key = makeOrder("MORE/1", {{"10", "3", "0.1"}});
    pickOrder(key);
    const QVariant line = w->DataGrid1->model().value(0, 0);
    frmOrderDetails* d = openLineDetails(w.get(), 0);
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(d->windowTitle(), "More Info....");
    EXPECT_EQ(d->txtUnitPrice->text(), "10.00");
    EXPECT_EQ(d->txtQty->text(), "3");
    EXPECT_EQ(d->txtDiscount->text(), "10");
    EXPECT_EQ(d->txtExtendedPrice->text(), "27.00");
    EXPECT_FALSE(d->GoodsDel->isChecked());
    snapshot(*d, "order-details");

    // A refused value keeps the dialog and the line as they were.
    d->txtQty->setText("abc");
    d->Command1_Click();
    EXPECT_EQ(msgs->last(), "Quantity: \"abc\" is not a whole number.");
    EXPECT_TRUE(d->isVisible());
    d->txtQty->setText("3");
    d->txtDesc->setPlainText(QString(256, u'x'));
    d->Command1_Click();
    EXPECT_EQ(msgs->last(),
              "Description is too long: it can hold 255 characters and 256 were typed.");
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(one("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {line}).toInt(), 3);

    d->txtQty->setText("4");
    d->txtDesc->clear();
    d->txtDueDate->setText("05/03/2026");
    d->GoodsDel->setChecked(true);
    d->txtGoodaDelNotes->setPlainText("Left with reception");
    d->Command1_Click();
    settle();
    RowSet r = gConn().select("SELECT * FROM `Order Details` WHERE `ID` = ?", {line});
    EXPECT_EQ(r.at(0, "Quantity").toInt(), 4);
    EXPECT_TRUE(r.at(0, "Description").isNull());
    EXPECT_EQ(r.at(0, "DueDate").toDate(), QDate(2026, 3, 5));
    EXPECT_EQ(r.at(0, "GoodsDel").toInt(), 1);
    EXPECT_EQ(r.at(0, "GoodsDelNotes").toString(), "Left with reception");
    EXPECT_DOUBLE_EQ(r.at(0, "Discount").toDouble(), 0.1);
    EXPECT_EQ(w->DataGrid1->model().text(0, 8), "36.00"); // the reloaded grid
}

TEST_F(PurchaseOrderTest, DoubleClicksNeedAReference) {
    int opened = 0;
    frmPurchaseOrder::openers().partFinder = [&](OrderHub&, const QString&) { ++opened; };
    frmPurchaseOrder::openers().partNotFound = [&](OrderHub&, const QString&) { opened += 100; };
    w->DataGrid1->setCurrentCell(0, 3);
    w->DataGrid1_DblClick(); // no reference: nothing
    EXPECT_EQ(opened, 0);
    pickOrder(1);
    w->DataGrid1->setCurrentCell(0, 3);
    w->DataGrid1_DblClick(); // a known code: the finder
    EXPECT_EQ(opened, 1);
    gConn().execute(
        "UPDATE `Order Details` SET `Part Id` = 'NOT-IN-CATALOGUE' WHERE `Order ID` = 1");
    w->Disp_DataList();
    w->DataGrid1->setCurrentCell(0, 3);
    w->DataGrid1_DblClick(); // an unknown code: the prompt
    EXPECT_EQ(opened, 101);
    frmPurchaseOrder::openers() = {};
}

// ---- everyday safety --------------------------------------------------------

TEST_F(PurchaseOrderTest, TotalsFollowLinesRemovedOrChangedInTheDetailsDialog) {
    qint64 key = makeOrder("STALE/1", {{"100", "1", "0"}, {"50", "1", "0"}},
                           {"1008", 103, 2, 0, 0, QVariant()});
    pickOrder(key);
    EXPECT_EQ(w->lblFinalTotal->text(), "£150.00");
    ASSERT_TRUE(w->DataGrid1->model().removeRow(1));
    EXPECT_EQ(w->lblFinalTotal->text(), "£100.00");
    w->Command8_Click();
    EXPECT_EQ(header("Grand Total", key), "100.0000");

    // The line details dialog changes the quantity: the totals follow.
    frmOrderDetails* d = openLineDetails(w.get(), 0);
    ASSERT_NE(d, nullptr);
    d->txtQty->setText("3");
    d->Command1_Click();
    settle();
    EXPECT_EQ(w->lblFinalTotal->text(), "£300.00");
    w->Command8_Click();
    EXPECT_EQ(header("Grand Total", key), "300.0000");
}

TEST_F(PurchaseOrderTest, AReferenceOfAnotherOrderNeverTakesItOver) {
    const QString order1Name = header("Customer Name", 1);
    const int orders = count("Order Information");
    w->Command4_Click();
    typeRef("PEN/24/0535");
    EXPECT_EQ(w->orderKey(), 0); // still the new order
    EXPECT_EQ(w->windowTitle(), kTitle + "new order, not saved");
    w->Status->setBoundText("2");
    w->CustomerName->setText("Somebody Else Ltd");

    // Cancel writes nothing.
    msgs->choose(MessageService::Answer::Cancel);
    w->Command8_Click();
    EXPECT_EQ(
        msgs->texts(),
        QStringList{"The reference PEN/24/0535 is already used by order 1. Open that order (Yes), "
                    "save this as a new order with the same reference (No), or go back (Cancel)?"});
    EXPECT_EQ(count("Order Information"), orders);
    EXPECT_EQ(header("Customer Name", 1), order1Name);
    EXPECT_EQ(w->CustomerName->text(), "Somebody Else Ltd");

    // No inserts a new order with the same reference; order 1 is untouched.
    msgs->clear();
    msgs->choose(MessageService::Answer::No);
    w->Command8_Click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    const qint64 key = w->orderKey();
    EXPECT_GT(key, 40);
    EXPECT_EQ(count("Order Information"), orders + 1);
    EXPECT_EQ(header("Customer Ref", key), "PEN/24/0535");
    EXPECT_EQ(header("Customer Name", key), "Somebody Else Ltd");
    EXPECT_EQ(header("Customer Name", 1), order1Name);
    EXPECT_EQ(w->windowTitle(), kTitle + QStringLiteral("order %1").arg(key));
    // Saving it again asks nothing more.
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});

    // Yes shows the other order as stored, writing nothing.
    w->Command4_Click();
    typeRef("PEN/24/0535");
    w->Status->setBoundText("2");
    w->CustomerName->setText("Not saved");
    msgs->clear();
    msgs->choose(MessageService::Answer::Yes);
    w->Command8_Click();
    EXPECT_EQ(msgs->texts().size(), 1);
    EXPECT_EQ(w->orderKey(), 1);
    EXPECT_EQ(w->CustomerName->text(), order1Name);
    EXPECT_EQ(w->DataGrid1->rowCount(), 2);
    EXPECT_EQ(count("Order Information"), orders + 1);
}

TEST_F(PurchaseOrderTest, CorrectingAReferenceRenamesTheOrderOnScreen) {
    int printed = 0;
    qint64 printedKey = -1;
    frmPurchaseOrder::openers().print = [&](OrderHub& hub) {
        ++printed;
        printedKey = qint64(Val(hub.custRef()->BoundText()));
    };
    pickOrder(25);
    EXPECT_EQ(w->windowTitle(), kTitle + "order 25");
    const int orders = count("Order Information");
    typeRef("O'NEILL/26/0430");
    EXPECT_EQ(w->orderKey(), 25);
    EXPECT_EQ(w->windowTitle(), kTitle + "order 25");
    w->Command5_Click(); // Print acts on the order on screen
    EXPECT_EQ(printed, 1);
    EXPECT_EQ(printedKey, 25);
    w->Command8_Click();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(count("Order Information"), orders);
    EXPECT_EQ(header("Customer Ref", 25), "O'NEILL/26/0430");
    EXPECT_EQ(w->CustRef->listModel().rowOfText("O'NEILL/26/0429"), -1);
    EXPECT_GE(w->CustRef->listModel().rowOfText("O'NEILL/26/0430"), 0);
    EXPECT_EQ(w->orderKey(), 25);

    // Typing another order's reference over it still leaves order 25 on screen: Delete removes 25.
    typeRef("PEN/24/0535");
    EXPECT_EQ(w->orderKey(), 25);
    msgs->answer(true);
    w->Command9_Click();
    EXPECT_EQ(count("Order Information", "`Quote ID` = 25"), 0);
    EXPECT_EQ(count("Order Information", "`Quote ID` = 1"), 1);
    frmPurchaseOrder::openers() = {};
}

TEST_F(PurchaseOrderTest, ARefusedApprovalWritesNothing) {
    qint64 key = makeOrder("APP/DATE", {{"100", "1", "0"}});
    pickOrder(key);
    const int before = count("Transaction");
    w->QuotedDate->setText("31/02/2026");
    msgs->answer(true);
    w->Status->pickKey("1");
    EXPECT_EQ(msgs->last(), "Date Entered: \"31/02/2026\" is not a date (dd/mm/yyyy).");
    EXPECT_EQ(count("Transaction"), before);
    EXPECT_EQ(header("Status", key), "2");
    EXPECT_EQ(count("Order Details", "`Order ID` = ? AND `Parts Status` = 1", {key}), 0);
    EXPECT_EQ(w->Status->BoundText(), "2");         // the stored status, not the refused one
    EXPECT_EQ(w->QuotedDate->text(), "31/02/2026"); // left for the user to correct
}

TEST_F(PurchaseOrderTest, ApprovalFailingAtItsLastStatementLeavesNoLedgerRow) {
    qint64 key = makeOrder("APP/LOCK", {{"100", "1", "0"}});
    pickOrder(key);
    w->CustomerName->setText("Changed before approval");
    const int before = count("Transaction");
    // Another workstation holds the order's lines, so the status stamp cannot finish.
    OtherWorkstation other;
    other.db.begin();
    other.db.select("SELECT * FROM `Order Details` WHERE `Order ID` = ? FOR UPDATE", {key});
    gConn().execute("SET SESSION innodb_lock_wait_timeout = 1");
    msgs->answer(true);
    w->Status->pickKey("1");
    gConn().execute("SET SESSION innodb_lock_wait_timeout = 50");
    other.db.rollback();
    EXPECT_FALSE(msgs->texts().contains("Information saved successfully"));
    ASSERT_FALSE(msgs->messages.empty());
    EXPECT_EQ(msgs->messages.back().kind, RecordingMessages::Message::Error);
    EXPECT_EQ(count("Transaction"), before);
    EXPECT_EQ(header("Status", key), "2");
    EXPECT_EQ(header("Customer Name", key), "");
    // The window shows the order as stored.
    EXPECT_EQ(w->Status->BoundText(), "2");
    EXPECT_EQ(w->CustomerName->text(), "");
}

// "Approved" chosen without a pick (typed, then Save) is still an approval:
// asked, posted once, or not stored at all.
TEST_F(PurchaseOrderTest, SavingWithApprovedTypedIsAnApproval) {
    qint64 key = makeOrder("APP/TYPED", {{"100", "1", "0"}});
    pickOrder(key);
    w->Status->setText("Approved");
    ASSERT_EQ(w->Status->BoundText(), "1");
    msgs->answer(false);
    w->Command8_Click();
    EXPECT_EQ(count("Transaction", "`Ref` = ?", {key}), 0);
    EXPECT_NE(header("Status", key), "1");
    w->Status->setText("Approved");
    msgs->answer(true);
    w->Command8_Click();
    EXPECT_EQ(count("Transaction", "`Ref` = ?", {key}), 1);
    EXPECT_EQ(header("Status", key), "1");
    // Saving the approved order again posts nothing more.
    w->Command8_Click();
    EXPECT_EQ(count("Transaction", "`Ref` = ?", {key}), 1);
}

TEST_F(PurchaseOrderTest, OneApprovalOnePosting) {
    qint64 key = makeOrder("APP/TWICE", {{"100", "1", "0"}});
    pickOrder(key);
    msgs->answer(true);
    const QVariant q0 = gConn().select("SHOW SESSION STATUS LIKE 'Questions'").rows[0][1];
    w->Status->pickKey("1");
    const QVariant q1 = gConn().select("SHOW SESSION STATUS LIKE 'Questions'").rows[0][1];
    std::cout << "statements per approval: " << (q1.toLongLong() - q0.toLongLong() - 1) << "\n";
    EXPECT_EQ(count("Transaction", "`Ref` = ?", {key}), 1);
    msgs->clear();
    w->Status->pickKey("4");
    w->Status->pickKey("1");
    EXPECT_EQ(
        msgs->texts(),
        QStringList{
            QStringLiteral("Order %1 is already approved. Nothing more was posted.").arg(key)});
    EXPECT_EQ(count("Transaction", "`Ref` = ?", {key}), 1);
    EXPECT_EQ(header("Status", key), "1");

    // No account number: told so, and the stored status stays as it was.
    qint64 other = makeOrder("APP/NOACC", {{"100", "1", "0"}});
    pickOrder(other);
    w->AccountNo->clear();
    msgs->clear();
    w->Status->pickKey("1");
    EXPECT_EQ(msgs->texts(), QStringList{"Supplier must have an Account No"});
    EXPECT_EQ(count("Transaction", "`Ref` = ?", {other}), 0);
    EXPECT_EQ(header("Status", other), "2");
    EXPECT_EQ(w->Status->BoundText(), "2");
}

TEST_F(PurchaseOrderTest, TheStoredTotalFollowsThePackageTick) {
    qint64 key = makeOrder("PKG/UNTICK", {{"100", "1", "0"}}, {"1008", 103, 2, 0, 17.5, 200});
    pickOrder(key);
    ASSERT_TRUE(w->ckPPrice->isChecked());
    QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
    ASSERT_FALSE(w->ckPPrice->isChecked());
    w->Command8_Click();
    EXPECT_EQ(header("Grand Total", key), "117.5000");
    EXPECT_TRUE(
        one("SELECT `package price` IS NULL FROM `Order Information` WHERE `Quote ID` = ?", {key})
            .toBool());
    pickOrder(key);
    EXPECT_FALSE(w->ckPPrice->isChecked()); // loads as it was saved

    // Ticked with no package price: refused, nothing stored.
    QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(),
              QStringList{"Pkg Price is ticked but no package price is entered. Enter the package "
                          "price, or untick Pkg Price."});
    EXPECT_EQ(header("Grand Total", key), "117.5000");
}

// Out of package mode the order keeps no package price: text left in the
// package price box is refused when it is no amount, and an amount left there
// is said not to be kept. In package mode an amount is stored as typed.
TEST_F(PurchaseOrderTest, APackagePriceOutOfPackageModeIsNeverDroppedSilently) {
    const qint64 key =
        makeOrder("PKG/TEXT", {{"100", "1", "0"}}, {"1008", 103, 2, 0, 17.5, QVariant()});
    pickOrder(key);
    ASSERT_FALSE(w->ckPPrice->isChecked());
    auto typeUnticked = [&](const QString& text) {
        QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
        w->PackagePrice->selectAll();
        w->PackagePrice->insert(text); // as typed, whatever the keyboard
        QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
        ASSERT_FALSE(w->ckPPrice->isChecked());
        ASSERT_EQ(w->PackagePrice->text(), text);
        msgs->clear();
    };
    auto stored = [&] {
        const RowSet rs =
            gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = ?", {key});
        QStringList row;
        for (const QVariant& v : rs.rows.at(0))
            row << (v.isNull() ? QStringLiteral("NULL") : v.toString());
        return row;
    };
    const auto before = stored();
    w->CustomerName->setText("Typed before the save");
    for (const QString& text :
         {QStringLiteral("abc"), QStringLiteral("12,50"), QStringLiteral("1e9999"),
          QStringLiteral("--5"), QStringLiteral("5-"), QStringLiteral("NaN"),
          QStringLiteral("1.\u0665")}) {
        typeUnticked(text);
        w->Command8_Click();
        EXPECT_EQ(
            msgs->texts(),
            QStringList{QStringLiteral("Pkg Price: \"%1\" is not an amount of money.").arg(text)});
        EXPECT_EQ(stored(), before) << text.toStdString();
        EXPECT_EQ(w->PackagePrice->text(), text);
    }
    // A status chosen from the list saves the header too.
    typeUnticked(QStringLiteral("abc"));
    w->Status->pickKey(QStringLiteral("3"));
    EXPECT_EQ(msgs->texts(), QStringList{"Pkg Price: \"abc\" is not an amount of money."});
    EXPECT_EQ(stored(), before);

    // An amount: the order is saved without it, and the save says so.
    typeUnticked(QStringLiteral("12.50"));
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(),
              (QStringList{"Pkg Price is not ticked, so the package price 12.50 was not kept.",
                           "Information saved successfully"}));
    EXPECT_EQ(header("Customer Name", key), "Typed before the save");
    EXPECT_TRUE(
        one("SELECT `package price` IS NULL FROM `Order Information` WHERE `Quote ID` = ?", {key})
            .toBool());
    EXPECT_EQ(header("Grand Total", key), "117.5000");
    EXPECT_EQ(w->PackagePrice->text(), ""); // as stored
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});

    // Ticked, the amount typed is the order's package price.
    QTest::mouseClick(w->ckPPrice, Qt::LeftButton);
    QTest::keyClicks(w->PackagePrice, "12.50");
    msgs->clear();
    w->Command8_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Information saved successfully"});
    EXPECT_EQ(header("package price", key), "12.5000");
    EXPECT_EQ(header("Grand Total", key), "14.6900");
}

TEST_F(PurchaseOrderTest, ATypedStatusThatIsNoStatusIsRefused) {
    pickOrder(1);
    w->Status->lineEdit()->selectAll();
    QTest::keyClicks(w->Status->lineEdit(), "Shipped maybe");
    w->Command8_Click();
    EXPECT_EQ(
        msgs->texts(),
        QStringList{"PO Status: \"Shipped maybe\" is not a status. Choose one from the list."});
    EXPECT_EQ(header("Status", 1), "4");
}

TEST_F(PurchaseOrderTest, HeaderEditsSurviveALineEdit) {
    qint64 key = makeOrder("KEEP/1", {{"10", "3", "0"}}, {"1008", 103, 2, 0, 20, QVariant()});
    pickOrder(key);
    w->CustomerName->setText("Typed, not saved");
    w->ShippedTo->setText("Branch surgery");
    w->Discount->setText("10");
    ASSERT_TRUE(w->DataGrid1->editCell(0, 5, "20"));
    settle();
    EXPECT_EQ(w->CustomerName->text(), "Typed, not saved");
    EXPECT_EQ(w->ShippedTo->text(), "Branch surgery");
    EXPECT_EQ(w->Discount->text(), "10");
    EXPECT_EQ(w->lblSubTotal->text(), "£60.00");
    EXPECT_EQ(w->lblFinalTotal->text(), "£64.80"); // 60 less 10% plus 20%
    EXPECT_TRUE(w->headerChanged());
}

TEST_F(PurchaseOrderTest, AKnownCodeTypedIntoANewLineFillsIt) {
    pickOrder(1);
    const int row = w->DataGrid1->rowCount();
    ASSERT_TRUE(w->DataGrid1->editCell(row, 3, "hen-4480"));
    settle();
    RowSet l = gConn().select(
        "SELECT * FROM `Order Details` WHERE `Order ID` = 1 ORDER BY `ID` DESC LIMIT 1");
    EXPECT_EQ(l.at(0, "Product ID").toInt(), 1);
    EXPECT_EQ(l.at(0, "Part Id").toString(), "HEN-4480");
    EXPECT_EQ(l.at(0, "Quantity").toInt(), 1);
    EXPECT_EQ(l.at(0, "Unit Price").toString(), "31.9500");
    EXPECT_EQ(l.at(0, "Description").toString(),
              "Universal nano-hybrid composite syringe 4g shade A2");
    EXPECT_EQ(w->DataGrid1->model().text(row, 8), "31.95");
}

TEST_F(PurchaseOrderTest, AWindowOpenedWithoutTheDatabaseReadsItsListsAtTheFirstAction) {
    w.reset();
    gConn().close();
    w = std::make_unique<frmPurchaseOrder>();
    w->show();
    EXPECT_EQ(w->CustRef->count(), 0);
    QTest::mouseClick(w->Command7, Qt::LeftButton); // Find
    EXPECT_EQ(w->CustRef->count(), 40);
    EXPECT_EQ(w->Status->count(), 6);
}

TEST_F(PurchaseOrderTest, ExitOffersToSaveUnsavedHeaderEdits) {
    pickOrder(1);
    w->CustomerName->setText("Renamed supplier");
    msgs->choose(MessageService::Answer::Cancel);
    w->Command6_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Save the changes to order 1?"});
    EXPECT_TRUE(gConn().isOpen()); // still running
    msgs->choose(MessageService::Answer::Cancel);
    w->close();
    EXPECT_TRUE(w->isVisible());

    msgs->clear();
    msgs->choose(MessageService::Answer::Yes);
    w->Command6_Click();
    EXPECT_EQ(msgs->texts(), QStringList{"Save the changes to order 1?"});
    EXPECT_FALSE(gConn().isOpen()); // ended
    EXPECT_EQ(header("Customer Name", 1), "Renamed supplier");
}

// ---- two workstations on one order -----------------------------------------
// The window on gConn is workstation B; `a` is workstation A on a connection of its own.
