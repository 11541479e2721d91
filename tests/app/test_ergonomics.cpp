// How the windows behave on a desktop: dialogs owned by their window,
// sizes that fit and are remembered, keyboard letters, focus and the names a
// screen reader reads.
#include "app/dialogs.h"
#include "bound/reportpreview.h"
#include "catalogue/catalogue.h"
#include "catalogue/frmaddpart.h"
#include "catalogue/frmfindpart.h"
#include "catalogue/frmnotfoundpart.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmorderdetails.h"
#include "purchasing/frmpurchaseorder.h"
#include "refdata/openers.h"
#include "refdata/pickers.h"
#include "search/frmfindrecord.h"
#include "support/testdb.h"
#include "values/localetext.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QMenu>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>

using namespace zel;
using zel::test::count;
using zel::test::one;
using zel::test::settle;

namespace {

class ErgonomicsTest : public test::DbTest {
protected:
    void SetUp() override {
        DbTest::SetUp();
        w = std::make_unique<frmPurchaseOrder>();
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
        settle();
    }
    void TearDown() override {
        w.reset();
        DbTest::TearDown();
    }
    QWidget* openPicker() {
        refdata::openSupplierPicker(*w);
        settle();
        return dialogs().find(QStringLiteral("frmSupplierEntry"));
    }
    // Opens every window of the program in turn; the faults `check` finds in them.
    QStringList everyWindow(const std::function<QStringList(QWidget*)>& check);
    std::unique_ptr<frmPurchaseOrder> w;
};

// The caption a user sees for a control: its own text, the label it is the
// buddy of, the label to its left in its layout, or its placeholder or tip.
QString captionOf(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w); b && !b->text().isEmpty())
        return plainCaption(b->text());
    if (auto* l = qobject_cast<QLabel*>(w))
        return l->text();
    QWidget* window = w->window();
    for (auto* l : window->findChildren<QLabel*>())
        if (l->buddy() == w && !l->text().isEmpty())
            return l->text();
    if (QWidget* parent = w->parentWidget(); parent && parent->layout()) {
        for (auto* grid : parent->findChildren<QGridLayout*>()) {
            const int at = grid->indexOf(w);
            if (at < 0)
                continue;
            int row, column, rs, cs;
            grid->getItemPosition(at, &row, &column, &rs, &cs);
            if (column > 0)
                if (auto* item = grid->itemAtPosition(row, column - 1))
                    if (auto* l = qobject_cast<QLabel*>(item->widget()); l && !l->text().isEmpty())
                        return l->text();
        }
        for (auto* form : parent->findChildren<QFormLayout*>())
            if (auto* l = qobject_cast<QLabel*>(form->labelForField(w)); l && !l->text().isEmpty())
                return l->text();
    }
    if (auto* e = qobject_cast<QLineEdit*>(w); e && !e->placeholderText().isEmpty())
        return e->placeholderText();
    return w->toolTip();
}

// Every control a screen reader reaches has a name, and a captioned one is
// not read out by its internal object name.
void walkNames(QAccessibleInterface* iface, QStringList& faults) {
    if (!iface)
        return;
    auto* widget = qobject_cast<QWidget*>(iface->object());
    // Unnamed widgets are the inner parts Qt makes (a drop-down's edit box).
    if (widget && widget->isVisible() && !widget->objectName().isEmpty()) {
        const QString name = iface->text(QAccessible::Name);
        const auto role = iface->role();
        const bool control = role == QAccessible::PushButton || role == QAccessible::CheckBox ||
                             role == QAccessible::RadioButton || role == QAccessible::ComboBox ||
                             role == QAccessible::EditableText || role == QAccessible::List ||
                             role == QAccessible::Table || role == QAccessible::SpinBox ||
                             role == QAccessible::ButtonMenu || role == QAccessible::PageTabList;
        const QString caption = captionOf(widget);
        const QString where = widget->window()->objectName() + u'.' + widget->objectName();
        if (control && name.trimmed().isEmpty())
            faults << QStringLiteral("%1: empty name").arg(where);
        // "Telephone:" beside a box named Telephone is read out rightly as "Telephone".
        QString shown = caption.trimmed();
        while (shown.endsWith(u':') || shown.endsWith(u'.'))
            shown.chop(1);
        if (!shown.isEmpty() && shown != name && name == widget->objectName())
            faults
                << QStringLiteral("%1: named by its object name, not \"%2\"").arg(where, caption);
    }
    for (int i = 0; i < iface->childCount(); ++i)
        walkNames(iface->child(i), faults);
}

QStringList namingFaults(QWidget* w) {
    QStringList faults;
    if (!w)
        return {QStringLiteral("window not opened")};
    walkNames(QAccessible::queryAccessibleInterface(w), faults);
    return faults;
}

// Opens the context menu of the grid's current cell as the Menu key does, or
// of the cell at `cell` as a right click does, and picks the entry `choose`;
// returns the entries offered.
QStringList contextMenu(DataGrid* grid, const QString& choose, QModelIndex cell = {}) {
    QStringList offered;
    QTimer::singleShot(0, grid, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                offered << a->text();
        for (QAction* a : menu->actions())
            if (a->text() == choose && a->isEnabled()) {
                menu->setActiveAction(a);
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        menu->close();
    });
    if (cell.isValid()) {
        const QPoint at = grid->visualRect(cell).center();
        QContextMenuEvent e(QContextMenuEvent::Mouse, at, grid->viewport()->mapToGlobal(at));
        QApplication::sendEvent(grid->viewport(), &e);
    } else {
        const QPoint at = grid->rect().center();
        QContextMenuEvent e(QContextMenuEvent::Keyboard, at, grid->mapToGlobal(at));
        QApplication::sendEvent(grid, &e);
    }
    settle();
    return offered;
}

// A one-page document for the preview.
report::Document onePage() {
    report::Document doc;
    doc.caption = QStringLiteral("Purchase Order");
    doc.pageSize = QPageSize(QPageSize::A4);
    doc.pages = {report::Page{1, {}}};
    return doc;
}

// The name of the control with the focus (a drop-down's inner edit box by its drop-down).
QString focusName() {
    QWidget* f = QApplication::focusWidget();
    while (f && f->objectName().isEmpty())
        f = f->parentWidget();
    return f ? f->objectName() : QStringLiteral("(none)");
}

} // namespace

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
        "Command7",     "Command8", "Command5",   "Command9",    "Command6",
        "CustRef"};
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
