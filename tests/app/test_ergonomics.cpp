// How the windows behave on a desktop: dialogs owned by their window,
// sizes that fit and are remembered, keyboard letters, focus and the names a
// screen reader reads.
#include "app/dialogs.h"
#include "purchasing/frmpurchaseorder.h"
#include "refdata/openers.h"
#include "support/testdb.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

using namespace zel;
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
    std::unique_ptr<frmPurchaseOrder> w;
};

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
                             role == QAccessible::Table;
        QString caption;
        if (auto* b = qobject_cast<QAbstractButton*>(widget))
            caption = plainCaption(b->text());
        if (auto* l = qobject_cast<QLabel*>(widget))
            caption = l->text();
        if (control && name.isEmpty())
            faults << QStringLiteral("%1: empty name").arg(widget->objectName());
        if (!caption.isEmpty() && caption != widget->objectName() && name == widget->objectName())
            faults << QStringLiteral("%1: named by its object name, not \"%2\"").arg(name, caption);
    }
    for (int i = 0; i < iface->childCount(); ++i)
        walkNames(iface->child(i), faults);
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
        if (e->isReadOnly() && !qobject_cast<QComboBox*>(e->parentWidget()))
            EXPECT_FALSE(e->focusPolicy() & Qt::TabFocus) << e->objectName().toStdString();
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
