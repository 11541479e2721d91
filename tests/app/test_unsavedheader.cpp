// Dialogs that write order lines never take what was typed into the order's
// header: the part finder, the part-not-found prompt and the line details.
#include "app/ergonomicstest.h"

TEST_F(ErgonomicsTest, ThePartFinderConfirmedWithNoPartKeepsTheUnsavedOrder) {
    auto& o = frmPurchaseOrder::openers();
    refdata::wireOpeners(o);
    o.partFinder = [](OrderHub& h, const QString& c) { openPartFinder(h, c); };
    auto pressIn = [](QWidget* window, Qt::Key key) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QWidget* f = QApplication::focusWidget();
        QTest::keyClick(f && f->window() == window ? f : window, key);
        settle();
    };
    QTest::keyClick(w->CustRef->lineEdit(), Qt::Key_N, Qt::ControlModifier); // New PO
    QTest::keyClicks(w->CustRef->lineEdit(), QStringLiteral("NEW/KEYS/1"));
    w->Command1->click(); // Start
    settle();
    auto* picker =
        qobject_cast<frmSupplierEntry*>(dialogs().find(QStringLiteral("frmSupplierEntry")));
    ASSERT_NE(picker, nullptr);
    picker->cmbFindSupplier->setFocus();
    QTest::keyClick(picker->cmbFindSupplier, Qt::Key_Down); // opens the list
    QAbstractItemView* list = picker->cmbFindSupplier->view();
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Return);
    settle();
    ASSERT_FALSE(picker->CustomerName->text().isEmpty());
    pressIn(picker, Qt::Key_Return); // Close hands the supplier over
    ASSERT_EQ(dialogs().find(QStringLiteral("frmSupplierEntry")), nullptr);
    ASSERT_FALSE(w->CustomerName->text().isEmpty());
    ASSERT_FALSE(w->AccountNo->text().isEmpty());

    auto boxes = [&] {
        QStringList texts{w->CustRef->Text()};
        for (QLineEdit* e : w->findChildren<QLineEdit*>())
            if (!e->objectName().isEmpty())
                texts << e->objectName() + u'=' + e->text();
        return texts;
    };
    const QStringList before = boxes();
    const int orders = count("Order Information"), lines = count("Order Details");
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(w->DataGrid1->rowCount(), 3); // the empty line
    QTest::keyClick(w->DataGrid1, Qt::Key_Return);
    settle();
    QWidget* finder = dialogs().find(QStringLiteral("frmFindPart"));
    ASSERT_NE(finder, nullptr);
    pressIn(finder, Qt::Key_Return); // OK, no part chosen
    EXPECT_EQ(dialogs().find(QStringLiteral("frmFindPart")), nullptr);
    EXPECT_EQ(boxes(), before);
    EXPECT_EQ(w->orderKey(), 0);
    EXPECT_EQ(count("Order Information"), orders);
    EXPECT_EQ(count("Order Details"), lines);
    EXPECT_TRUE(msgs->messages.empty()) << msgs->texts().join(u'\n').toStdString();
    o = {};
}

// A saved order's header edited on screen and not saved, then lines written
// by the dialogs that write them: the part finder opened from the grid, the
// part finder reached through "Add Part..." and the not-found prompt's
// SEARCH, and the line details. Each new or changed line shows with the
// totals it makes at the typed discount and VAT; every box keeps what was
// typed, on the same order, and the header is saved only when asked.
TEST_F(ErgonomicsTest, DialogsWritingLinesKeepTheUnsavedHeaderAsTyped) {
    auto& o = frmPurchaseOrder::openers();
    o.partFinder = [](OrderHub& h, const QString& c) { openPartFinder(h, c); };
    o.partNotFound = [](OrderHub& h, const QString& c) { openPartNotFound(h, c); };
    gConn().insert("INSERT INTO `Order Details` (`Order ID`, `Part Id`, `Unit Price`, `Quantity`, "
                   "`Discount`) VALUES (1, 'ONE-OFF-7', 4.5, 2, 0)");
    w->CustRef->pickKey(QStringLiteral("1"));
    const QString title = w->windowTitle();
    const RowSet stored = gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = 1");
    const int orders = count("Order Information");

    // Another order's reference typed over this one's, and every kind of box.
    auto retype = [](QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClicks(box, text);
    };
    retype(w->CustRef->lineEdit(), QStringLiteral("END/25/0279"));
    retype(w->CustomerName, QStringLiteral("Pennine Dental (Leeds) Ltd"));
    retype(w->Street, QStringLiteral("Mill 4, Calder Mills"));
    retype(w->Street2, QStringLiteral("Viaduct Road"));
    retype(w->Town, QStringLiteral("Bradford"));
    retype(w->Postcode, QStringLiteral("West Yorkshire BD1 1AA"));
    retype(w->ContactName, QStringLiteral("Jane Holroyd"));
    retype(w->Telephone, QStringLiteral("0113 496 0999"));
    retype(w->SalesRep, QStringLiteral("2001"));
    retype(w->QuotedDate, todayText(QDate(2026, 3, 5)));
    retype(w->Discount, QStringLiteral("12.5"));
    retype(w->VAT, QStringLiteral("15"));
    retype(w->Status->lineEdit(), QStringLiteral("Ordered"));
    ASSERT_EQ(w->Status->BoundText(), "3");
    ASSERT_EQ(w->orderKey(), 1);

    auto header = [&] {
        QStringList texts{w->CustRef->Text(), w->Status->Text(), w->lblFullName->text()};
        for (QLineEdit* e : w->findChildren<QLineEdit*>())
            if (!e->objectName().isEmpty() && e != w->ValVal)
                texts << e->objectName() + u'=' + e->text();
        return texts;
    };
    const QStringList typed = header();
    // The totals are those of the stored lines at the discount and VAT typed,
    // shown to the penny.
    auto expectTotalsOfStoredLines = [&] {
        const double sub =
            one("SELECT SUM(`Unit Price` * `Quantity` * (1 - `Discount`)) FROM `Order Details` "
                "WHERE `Order ID` = 1")
                .toDouble();
        EXPECT_NEAR(parseCurrency(w->lblSubTotal->text()).value_or(Money{}).toDouble(), sub, 0.006);
        EXPECT_NEAR(parseCurrency(w->lblFinalTotal->text()).value_or(Money{}).toDouble(),
                    sub * 0.875 * 1.15, 0.006);
    };
    auto expectKept = [&](const char* after) {
        SCOPED_TRACE(after);
        EXPECT_EQ(header(), typed);
        EXPECT_EQ(w->orderKey(), 1);
        EXPECT_EQ(w->windowTitle(), title);
        EXPECT_EQ(gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = 1").rows,
                  stored.rows);
        EXPECT_TRUE(msgs->messages.empty()) << msgs->texts().join(u'\n').toStdString();
        expectTotalsOfStoredLines();
    };
    auto codes = [&] {
        QStringList c;
        for (int row = 0; row < w->DataGrid1->rowCount(); ++row)
            c << w->DataGrid1->model().text(row, 3);
        return c;
    };
    auto notOnOrder = [](int skip) {
        return one("SELECT `Product Name` FROM `Products` WHERE `Product ID` NOT IN "
                   "(SELECT `Product ID` FROM `Order Details` WHERE `Order ID` = 1 AND "
                   "`Product ID` IS NOT NULL) ORDER BY `Product ID` LIMIT 1 OFFSET ?",
                   {skip})
            .toString();
    };
    const QStringList before = codes();

    // Enter on the empty line's product code: the finder, a part, OK.
    const QString first = notOnOrder(0);
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(w->DataGrid1->rowCount(), 3);
    QTest::keyClick(w->DataGrid1, Qt::Key_Return);
    settle();
    auto* finder = qobject_cast<frmFindPart*>(dialogs().find(QStringLiteral("frmFindPart")));
    ASSERT_NE(finder, nullptr);
    finder->ThePart->pickKey(first);
    ASSERT_EQ(finder->ProductName->text(), first);
    finder->Command2->click();
    settle();
    EXPECT_EQ(dialogs().find(QStringLiteral("frmFindPart")), nullptr);
    EXPECT_EQ(codes(), before + QStringList(first));
    EXPECT_EQ(count("Order Details", "`Order ID` = 1 AND `Part Id` = ?", {first}), 1);
    expectKept("the part finder");

    // "Add Part..." on the one-off line: the prompt, SEARCH, a part, OK.
    const QString second = notOnOrder(0);
    contextMenu(w->DataGrid1, QStringLiteral("Add Part..."),
                w->DataGrid1->model().index(before.indexOf("ONE-OFF-7"), 4));
    auto* prompt =
        qobject_cast<frmNotFoundPart*>(dialogs().find(QStringLiteral("frmNotFoundPart")));
    ASSERT_NE(prompt, nullptr);
    prompt->Command1->click();
    finder = qobject_cast<frmFindPart*>(dialogs().find(QStringLiteral("frmFindPart")));
    ASSERT_NE(finder, nullptr);
    finder->ThePart->pickKey(second);
    finder->Command2->click();
    settle();
    prompt->Command4->click();
    settle();
    EXPECT_EQ(codes(), before + QStringList({first, second}));
    expectKept("SEARCH from the not-found prompt");

    // The line details: a quantity changed and closed.
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(0, 5);
    QTest::keyClick(w->DataGrid1, Qt::Key_Return, Qt::ControlModifier);
    settle();
    auto* details =
        qobject_cast<frmOrderDetails*>(dialogs().find(QStringLiteral("frmOrderDetails")));
    ASSERT_NE(details, nullptr);
    const QString line = details->txtID->text();
    retype(details->txtQty, QStringLiteral("9"));
    details->Command1->click();
    settle();
    EXPECT_EQ(one("SELECT `Quantity` FROM `Order Details` WHERE `ID` = ?", {line}).toInt(), 9);
    expectKept("the line details");

    // What was typed is still there to save, to this order.
    msgs->choose(MessageService::Answer::No); // keep the reference another order has
    w->Command8->click();
    settle();
    EXPECT_EQ(msgs->last(), "Information saved successfully");
    EXPECT_EQ(count("Order Information"), orders);
    const RowSet saved = gConn().select("SELECT * FROM `Order Information` WHERE `Quote ID` = 1");
    EXPECT_EQ(saved.at(0, "Customer Ref").toString(), "END/25/0279");
    EXPECT_EQ(saved.at(0, "Town").toString(), "Bradford");
    EXPECT_EQ(saved.at(0, "Status").toInt(), 3);
    EXPECT_EQ(saved.at(0, "Discount").toDouble(), 12.5);
    EXPECT_EQ(saved.at(0, "VAT").toDouble(), 15.0);
    o = {};
}
