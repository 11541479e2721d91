// How the windows behave on a desktop: dialogs owned by their window,
// sizes that fit and are remembered, keyboard letters, focus and the names a
// screen reader reads.
#include "app/ergonomicstest.h"

TEST_F(ErgonomicsTest, DialogBelongsToTheWindowThatOpenedIt) {
    QWidget* picker = openPicker();
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(picker->parentWidget(), w.get());
    EXPECT_TRUE(picker->isWindow());
    EXPECT_EQ(picker->windowType(), Qt::Dialog);
    EXPECT_FALSE(picker->isModal());
    EXPECT_EQ(QAccessible::queryAccessibleInterface(picker)->role(), QAccessible::Dialog);
    // Centred on its window.
    if (test::underWine())
        GTEST_SKIP() << "on the test display, which has no window manager, Wine settles a new "
                        "window's place itself after it is shown";
    EXPECT_LT((picker->frameGeometry().center() - w->frameGeometry().center()).manhattanLength(),
              40);
}

TEST_F(ErgonomicsTest, EscapeClosesADialogAndReturnPressesItsDefaultButton) {
    QPointer<QWidget> picker = openPicker();
    ASSERT_TRUE(picker);
    auto* close = picker->findChild<QPushButton*>(QStringLiteral("Command1"));
    ASSERT_NE(close, nullptr);
    EXPECT_TRUE(close->isDefault());
    QTest::keyClick(picker, Qt::Key_Escape);
    settle();
    EXPECT_TRUE(picker.isNull());

    picker = openPicker();
    ASSERT_TRUE(picker);
    QTest::keyClick(picker, Qt::Key_Return);
    settle();
    EXPECT_TRUE(picker.isNull());
}

TEST_F(ErgonomicsTest, ButtonsAndMenusHaveLettersAndKeepTheirNames) {
    EXPECT_EQ(w->Command8->text(), "&Save");
    EXPECT_EQ(w->Command4->text(), "&New PO");
    EXPECT_EQ(w->Command7->text(), "&Find");
    EXPECT_EQ(w->Command5->text(), "&Print");
    EXPECT_EQ(w->Command9->text(), "&Delete");
    EXPECT_EQ(w->mnUtils->menuAction()->text(), "&Utils");
    EXPECT_EQ(w->Command8->accessibleName(), "Save");
    EXPECT_EQ(w->Command4->objectName(), "Command4");
    // Letters are not shared inside one window.
    QSet<QChar> letters;
    for (auto* b : w->findChildren<QAbstractButton*>()) {
        const int amp = b->text().indexOf(u'&');
        if (amp < 0)
            continue;
        const QChar c = b->text().at(amp + 1).toUpper();
        EXPECT_FALSE(letters.contains(c)) << b->text().toStdString();
        letters.insert(c);
    }
}

TEST_F(ErgonomicsTest, AltLetterIsNotTypedIntoTheReference) {
    QLineEdit* ref = w->CustRef->lineEdit();
    ref->setFocus();
    const QString before = ref->text();
    QTest::keyClick(ref, Qt::Key_Q, Qt::AltModifier);
    EXPECT_EQ(ref->text(), before);
}

TEST_F(ErgonomicsTest, ControlNOpensANewOrderWithTheFocusOnTheReference) {
    settle();
    EXPECT_TRUE(w->CustRef->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == w->CustRef);
    w->Command8->setFocus();
    QTest::keyClick(w->Command8, Qt::Key_N, Qt::ControlModifier);
    settle();
    QWidget* f = QApplication::focusWidget();
    EXPECT_TRUE(f == w->CustRef || w->CustRef->isAncestorOf(f))
        << (f ? f->objectName().toStdString() : "none");
}

TEST_F(ErgonomicsTest, ReadOnlyBoxesAreNotTabStops) {
    for (auto* e : w->findChildren<QLineEdit*>())
        if (e->isReadOnly() && !qobject_cast<QComboBox*>(e->parentWidget())) {
            EXPECT_FALSE(e->focusPolicy() & Qt::TabFocus) << e->objectName().toStdString();
        }
}

TEST(WindowGeometry, FitsTheSmallScreenWithATaskbar) {
    // 1366x768 less a 40 pixel taskbar.
    const QRect avail(0, 0, 1366, 728);
    const QRect r = fittedGeometry(QSize(1100, 760), QSize(900, 600), avail);
    EXPECT_TRUE(avail.contains(r.adjusted(0, -32, 0, 0))) << r.height();
    EXPECT_EQ(r.width(), 1100);
    // Centred on its window but never off the screen's edge.
    const QRect off =
        fittedGeometry(QSize(400, 300), QSize(100, 100), avail, QRect(1200, 600, 200, 150));
    EXPECT_TRUE(avail.contains(off));
}

TEST_F(ErgonomicsTest, TheWindowFitsASmallScreen) {
    const QSize min = w->minimumSizeHint();
    EXPECT_LE(min.width(), 1366 - 16);
    EXPECT_LE(min.height(), 728 - 40);
}

TEST_F(ErgonomicsTest, ADialogComesBackWhereItWasAndOnScreen) {
    QPointer<QWidget> picker = openPicker();
    ASSERT_TRUE(picker);
    picker->move(60, 50);
    const QPoint where = picker->pos();
    picker->close();
    settle();
    picker = openPicker();
    ASSERT_TRUE(picker);
    EXPECT_EQ(picker->pos(), where);
    // Far off a screen that has since got smaller: brought back on it.
    picker->move(5000, 4000);
    picker->close();
    settle();
    picker = openPicker();
    ASSERT_TRUE(picker);
    EXPECT_TRUE(picker->screen()->availableGeometry().intersects(picker->frameGeometry()));
}

TEST_F(ErgonomicsTest, EveryWindowNamesItsControls) {
    QStringList faults;
    walkNames(QAccessible::queryAccessibleInterface(w.get()), faults);
    QWidget* picker = openPicker();
    ASSERT_TRUE(picker);
    walkNames(QAccessible::queryAccessibleInterface(picker), faults);
    // A drop-down keeps its label's name after a pick.
    const QString before =
        QAccessible::queryAccessibleInterface(w->CustRef)->text(QAccessible::Name);
    if (w->CustRef->count() > 0)
        w->CustRef->setCurrentIndex(w->CustRef->count() - 1);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(w->CustRef)->text(QAccessible::Name), before);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    test::snapshot(*w, QStringLiteral("ergonomics-order"));
}

// What a double click opens, a key opens too; F1 changes nothing.
TEST_F(ErgonomicsTest, DoubleClickActionsHaveKeys) {
    int purchaser = 0, shipTo = 0;
    QStringList parts;
    auto& o = frmPurchaseOrder::openers();
    o.purchaserPicker = [&](OrderHub&) { ++purchaser; };
    o.shipToPicker = [&](OrderHub&) { ++shipTo; };
    o.partFinder = [&](OrderHub&, const QString& code) { parts << QStringLiteral("find:") + code; };
    o.partNotFound = [&](OrderHub&, const QString& code) {
        parts << QStringLiteral("unknown:") + code;
    };
    w->CustRef->pickKey(QStringLiteral("1"));
    ASSERT_GT(w->DataGrid1->rowCount(), 0);

    const QString rep = w->SalesRep->text();
    for (auto [key, mods] : {std::pair{Qt::Key_Return, Qt::NoModifier},
                             {Qt::Key_Space, Qt::NoModifier},
                             {Qt::Key_F4, Qt::NoModifier},
                             {Qt::Key_Down, Qt::AltModifier}})
        QTest::keyClick(w->SalesRep, key, mods);
    EXPECT_EQ(purchaser, 4);
    EXPECT_EQ(w->SalesRep->text(), rep); // the space went to the list, not the box
    QTest::keyClick(w->ShippedTo, Qt::Key_Return);
    QTest::keyClick(w->ShippedTo, Qt::Key_F4);
    EXPECT_EQ(shipTo, 2);
    w->QuotedDate->clear();
    QTest::keyClick(w->QuotedDate, Qt::Key_F4);
    EXPECT_EQ(w->QuotedDate->text(), todayText());

    // In the grid: Enter on the product code opens the part finder, F4 and
    // Ctrl+Enter on the unit price the line's details.
    const QString code = w->DataGrid1->model().text(0, 3);
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(0, 3);
    QTest::keyClick(w->DataGrid1, Qt::Key_Return);
    ASSERT_EQ(parts.size(), 1);
    EXPECT_TRUE(parts[0].endsWith(u':' + code)) << parts[0].toStdString();
    EXPECT_FALSE(w->DataGrid1->isEditing());
    for (auto mods : {Qt::NoModifier, Qt::ControlModifier}) {
        w->DataGrid1->setCurrentCell(0, 5);
        QTest::keyClick(w->DataGrid1, mods ? Qt::Key_Return : Qt::Key_F4, mods);
        settle();
        auto* details =
            qobject_cast<frmOrderDetails*>(dialogs().find(QStringLiteral("frmOrderDetails")));
        ASSERT_NE(details, nullptr);
        EXPECT_EQ(details->txtPartId->text(), code);
        details->close();
        settle();
    }

    // F1 opens nothing, asks nothing and keeps the order.
    msgs->clear();
    const auto before = QApplication::topLevelWidgets().size();
    for (QWidget* target : {static_cast<QWidget*>(w->DataGrid1), static_cast<QWidget*>(w->SalesRep),
                            static_cast<QWidget*>(w->CustRef->lineEdit())})
        QTest::keyClick(target, Qt::Key_F1);
    settle();
    EXPECT_EQ(w->orderKey(), 1);
    EXPECT_EQ(purchaser, 4);
    EXPECT_EQ(parts.size(), 1);
    EXPECT_TRUE(msgs->messages.empty());
    EXPECT_EQ(QApplication::topLevelWidgets().size(), before);
    o = {};
}

TEST_F(ErgonomicsTest, TheGridsContextMenuOffersWhatDoubleClickDoes) {
    QStringList parts;
    frmPurchaseOrder::openers().partFinder = [&](OrderHub&, const QString& c) { parts << c; };
    frmPurchaseOrder::openers().partNotFound = [&](OrderHub&, const QString& c) { parts << c; };
    w->CustRef->pickKey(QStringLiteral("1"));
    ASSERT_GT(w->DataGrid1->rowCount(), 0);
    const int last = w->DataGrid1->rowCount() - 1;

    // The Menu key: the current cell's line.
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(last, 4);
    const QStringList offered = contextMenu(w->DataGrid1, QStringLiteral("More Info...."));
    EXPECT_EQ(offered, (QStringList{"Add Part...", "More Info....", "Delete line"}));
    auto* details =
        qobject_cast<frmOrderDetails*>(dialogs().find(QStringLiteral("frmOrderDetails")));
    ASSERT_NE(details, nullptr);
    EXPECT_EQ(details->txtID->text(), w->DataGrid1->model().text(last, 0));
    details->close();
    settle();

    // A right click: the line under the mouse, whichever cell was current.
    w->DataGrid1->setCurrentCell(last, 6);
    contextMenu(w->DataGrid1, QStringLiteral("Add Part..."), w->DataGrid1->model().index(0, 4));
    EXPECT_EQ(parts, QStringList{w->DataGrid1->model().text(0, 3)});
    frmPurchaseOrder::openers() = {};
}

// A new order as a new user starts one, all by keyboard: reference, Start,
// a supplier; then Enter on the empty line's product code opens the part
// finder, and Enter there with no part chosen. Nothing typed or picked goes.
TEST_F(ErgonomicsTest, TabFollowsTheScreen) {
    w->CustRef->setFocus();
    settle();
    QStringList chain{focusName()};
    for (int i = 0; i < 40 && (chain.size() == 1 || chain.back() != chain.front()); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        chain << focusName();
    }
    const QStringList expected{
        "CustRef",      "Status",   "QuotedDate", "Command1",    "CustomerShortname",
        "CustomerName", "Street",   "Street2",    "Town",        "Postcode",
        "AccountNo",    "Title",    "Initial",    "ContactName", "Position_Department",
        "Telephone",    "SalesRep", "ShippedTo",  "Command2",    "DataGrid1",
        "Discount",     "VAT",      "ckPPrice",   "Command3",    "Command4",
        "Command7",     "Command8", "Command5",   "cmdEmail",    "Command9",
        "Command6",     "CustRef"};
    EXPECT_EQ(chain, expected);

    // Inside the grid Ctrl+Tab and the arrows move; Tab leaves it.
    w->CustRef->pickKey(QStringLiteral("1"));
    w->DataGrid1->setFocus();
    w->DataGrid1->setCurrentCell(0, 3);
    QTest::keyClick(w->DataGrid1, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->DataGrid1->currentColumn(), 4);
    QTest::keyClick(w->DataGrid1, Qt::Key_Right);
    EXPECT_EQ(w->DataGrid1->currentColumn(), 5);
    QTest::keyClick(w->DataGrid1, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w->DataGrid1->currentColumn(), 4);
    EXPECT_EQ(focusName(), "DataGrid1");
    QTest::keyClick(w->DataGrid1, Qt::Key_Tab);
    EXPECT_EQ(focusName(), "Discount");
    // Letters reach the status and the lines directly.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
    EXPECT_EQ(focusName(), "Status");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_C, Qt::AltModifier);
    EXPECT_EQ(focusName(), "DataGrid1");
}

// After an approval the status bar says what went to the ledger; a delete
// question names the order and answers No on Enter.
TEST_F(ErgonomicsTest, ApprovalAndDeleteSayWhatTheyDo) {
    const qint64 key =
        one("SELECT MIN(`Quote ID`) FROM `Order Information` WHERE `Account No` > 0 AND "
            "COALESCE(`Status`, 0) <> 1 AND `Customer Ref` <> '' AND `Quote ID` NOT IN "
            "(SELECT `Ref` FROM `Transaction`)")
            .toLongLong();
    ASSERT_GT(key, 0);
    w->CustRef->pickKey(QString::number(key));
    msgs->answer(true);
    w->Status->pickKey(QStringLiteral("1"));
    const QVariant stored = one("SELECT `Cinout` FROM `Transaction` WHERE `Ref` = ?", {key});
    ASSERT_FALSE(stored.isNull());
    EXPECT_EQ(w->statusBar()->currentMessage(),
              QStringLiteral("Posted %1 to the ledger for order %2")
                  .arg(currencyText(*Money::fromDecimalText(stored.toString())))
                  .arg(key));

    const QString ref = w->CustRef->Text();
    const int lines = count("Order Details", "`Order ID` = ?", {key});
    msgs->clear();
    w->Command9_Click();
    ASSERT_EQ(msgs->messages.size(), 1u);
    const auto& q = msgs->messages[0];
    EXPECT_TRUE(q.defaultNo);
    EXPECT_TRUE(q.text.startsWith("Are you sure?"));
    EXPECT_TRUE(q.text.contains(QStringLiteral("order %1 (%2)").arg(key).arg(ref)))
        << q.text.toStdString();
    if (lines > 1) {
        EXPECT_TRUE(q.text.contains(QStringLiteral("%1 lines").arg(lines))) << q.text.toStdString();
    }
    EXPECT_EQ(count("Order Information", "`Quote ID` = ?", {key}), 1);
}

TEST_F(ErgonomicsTest, ThePrintPreviewFitsASmallScreen) {
    const report::Document doc = onePage();
    ReportPreview preview(doc);
    const QSize min = preview.minimumSizeHint();
    EXPECT_LE(min.width(), 1366 - 16);
    EXPECT_LE(min.height(), 728 - 40);
    // Even at its smallest every tool is on the bar, none hidden behind an
    // overflow arrow, and the page has room.
    preview.show();
    preview.resize(min.expandedTo(preview.minimumSize()));
    settle();
    auto* bar = preview.findChild<QToolBar*>();
    ASSERT_NE(bar, nullptr);
    for (QAction* a : bar->actions()) {
        QWidget* tool = bar->widgetForAction(a);
        if (a->isSeparator() || !tool)
            continue;
        EXPECT_TRUE(tool->isVisible() && bar->rect().contains(tool->geometry()))
            << a->text().toStdString() << " at " << preview.width();
    }
    EXPECT_GE(preview.view()->height(), 200);
}

// The walk over every window of the program: the order windows, each picker
// and editor, the finder, the catalogue dialogs, a line's details and the
// preview; `check` gives the faults it finds in each.
QStringList ErgonomicsTest::everyWindow(const std::function<QStringList(QWidget*)>& check) {
    w->CustRef->pickKey(QStringLiteral("1"));
    QStringList faults = check(w.get());
    auto dialog = [&](const QString& kind, const std::function<void()>& open) {
        open();
        settle();
        QWidget* d = dialogs().find(kind);
        faults << (d ? check(d) : QStringList{kind + QStringLiteral(": not opened")});
        if (d)
            d->close();
        settle();
    };
    using namespace refdata;
    dialog("frmSupplierEntry", [&] { openSupplierPicker(*w); });
    for (auto* open :
         {&openShipToPicker, &openInvoiceToPicker, &openPurchaserPicker, &openSupplierEditor,
          &openPurchaserEditor, &openStatusEditor, &openPOInstructions}) {
        const auto before = QApplication::topLevelWidgets();
        (*open)(*w);
        settle();
        for (QWidget* top : QApplication::topLevelWidgets())
            if (!before.contains(top) && top->isVisible()) {
                faults << check(top);
                top->close();
            }
        // Dialogs parented to the window are not top-level widgets.
        for (QWidget* d : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (d->isWindow() && d->isVisible()) {
                faults << check(d);
                d->close();
            }
        settle();
    }
    auto* finder = new frmFindRecord(*w);
    finder->setAttribute(Qt::WA_DeleteOnClose);
    finder->show();
    settle();
    faults << check(finder);
    finder->close();
    dialog("frmFindPart", [&] { openPartFinder(*w, QString()); });
    dialog("frmNotFoundPart", [&] { openPartNotFound(*w, QStringLiteral("NO-SUCH-PART")); });
    dialog("frmAddPart",
           [] { dialogs().show<frmAddPart>("frmAddPart", [] { return new frmAddPart; }); });
    w->DataGrid1->setCurrentCell(0, 5);
    dialog("frmOrderDetails", [&] { w->DataGrid1_DblClick(); });
    const report::Document doc = onePage();
    dialog("report:Purchase Order", [&] { showReport(doc); });
    {
        frmGoodsIn goods;
        goods.show();
        settle();
        faults << check(&goods);
        goods.hide();
    }
    faults.removeDuplicates();
    return faults;
}

TEST_F(ErgonomicsTest, EveryWindowOfTheProgramNamesItsControls) {
    const QStringList faults = everyWindow(namingFaults);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
}

namespace {

// What a screen reader finds of a drop-down: a list holding one item per
// entry, named by the entry's text, the current entry selected.
QStringList dropDownFaults(QComboBox* combo) {
    const QString where = combo->window()->objectName() + u'.' + combo->objectName();
    QAccessibleInterface* box = QAccessible::queryAccessibleInterface(combo);
    if (!box || box->role() != QAccessible::ComboBox)
        return {where + QStringLiteral(": not a drop-down to a screen reader")};
    QAccessibleInterface* list = nullptr;
    for (int i = 0; i < box->childCount(); ++i)
        if (QAccessibleInterface* c = box->child(i); c && c->role() == QAccessible::List)
            list = c;
    if (!list)
        return {where + QStringLiteral(": no list of entries")};
    if (list->childCount() != combo->count())
        return {where + QStringLiteral(": %1 items for %2 entries")
                            .arg(list->childCount())
                            .arg(combo->count())};
    QStringList faults;
    for (int i = 0; i < combo->count(); ++i) {
        QAccessibleInterface* item = list->child(i);
        if (!item || item->role() != QAccessible::ListItem ||
            item->text(QAccessible::Name) != combo->itemText(i))
            faults << where +
                          QStringLiteral(": item %1 is not \"%2\"").arg(i).arg(combo->itemText(i));
        else if (item->state().selected != (i == combo->currentIndex()))
            faults << where + QStringLiteral(": item %1 (\"%2\") %3 selected")
                                  .arg(i)
                                  .arg(combo->itemText(i), i == combo->currentIndex()
                                                               ? QStringLiteral("is not")
                                                               : QStringLiteral("is"));
    }
    return faults;
}

QStringList dropDownsFaults(QWidget* window) {
    QStringList faults;
    for (QComboBox* combo : window->findChildren<QComboBox*>())
        faults << dropDownFaults(combo);
    return faults;
}

} // namespace

TEST_F(ErgonomicsTest, EveryDropDownShowsItsEntriesToAScreenReader) {
    QStringList faults = everyWindow(dropDownsFaults);
    // Entries read again from the server as the user types, and a pick.
    w->CustRef->setFocus();
    w->CustRef->lineEdit()->selectAll();
    QTest::keyClicks(w->CustRef->lineEdit(), QStringLiteral("PEN"));
    settle();
    faults << dropDownFaults(w->CustRef);
    frmFindPart* parts = openPartFinder(*w, QString());
    settle();
    QTest::keyClicks(parts->theDesc->lineEdit(), QStringLiteral("syringe"));
    settle();
    faults << dropDownFaults(parts->theDesc);
    ASSERT_GT(parts->theDesc->count(), 0);
    parts->theDesc->pickKey(parts->theDesc->listModel().key(parts->theDesc->count() - 1));
    faults << dropDownFaults(parts->theDesc);
    w->Status->pickKey(QStringLiteral("2"));
    faults << dropDownFaults(w->Status);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
}

// Save as PDF by keyboard alone: Ctrl+S, Enter on the proposed name; it says where it went.
TEST_F(ErgonomicsTest, ThePreviewSavesAPdfByKeyboard) {
    const report::Document doc = onePage();
    ReportPreview* preview = showReport(doc);
    settle();
    QApplication::setActiveWindow(preview);
    ASSERT_EQ(QApplication::activeWindow(), preview);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("order.pdf"));
    bool asked = false;
    QTimer::singleShot(0, preview, [&] {
        if (auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            asked = true;
            box->selectFile(path);
            static_cast<QDialog*>(box)->accept();
        }
    });
    QTest::keyClick(preview, Qt::Key_S, Qt::ControlModifier);
    settle();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(QFileInfo(path).size() > 0);
    EXPECT_TRUE(msgs->last().endsWith(QDir::toNativeSeparators(path)))
        << msgs->last().toStdString();
    QTest::keyClick(preview, Qt::Key_Escape);
    settle();
    EXPECT_EQ(dialogs().find(QStringLiteral("report:Purchase Order")), nullptr);
}
