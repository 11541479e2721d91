#pragma once
// The fixture and helpers of the tests of how the windows behave on a desktop.
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
inline QString captionOf(QWidget* w) {
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
inline void walkNames(QAccessibleInterface* iface, QStringList& faults) {
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

inline QStringList namingFaults(QWidget* w) {
    QStringList faults;
    if (!w)
        return {QStringLiteral("window not opened")};
    walkNames(QAccessible::queryAccessibleInterface(w), faults);
    return faults;
}

// Opens the context menu of the grid's current cell as the Menu key does, or
// of the cell at `cell` as a right click does, and picks the entry `choose`;
// returns the entries offered.
inline QStringList contextMenu(DataGrid* grid, const QString& choose, QModelIndex cell = {}) {
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
inline report::Document onePage() {
    report::Document doc;
    doc.caption = QStringLiteral("Purchase Order");
    doc.pageSize = QPageSize(QPageSize::A4);
    doc.pages = {report::Page{1, {}}};
    return doc;
}

// The name of the control with the focus (a drop-down's inner edit box by its drop-down).
inline QString focusName() {
    QWidget* f = QApplication::focusWidget();
    while (f && f->objectName().isEmpty())
        f = f->parentWidget();
    return f ? f->objectName() : QStringLiteral("(none)");
}
