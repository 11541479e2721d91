#include "app/hubwindow.h"
#include "app/dialogs.h"
#include "connection/database.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QTimer>

namespace zel {

HubWindow::HubWindow(QWidget* parent) : QMainWindow(parent) {
    installDesktopConduct();
}

void HubWindow::setVisible(bool visible) {
    if (visible && !prepared_)
        prepareForDesktop();
    QMainWindow::setVisible(visible);
    if (visible)
        QTimer::singleShot(0, this, [this] { focusReference(); });
}

void HubWindow::prepareForDesktop() {
    prepared_ = true;
    rememberGeometry(this, QString::fromLatin1(metaObject()->className()));
    assignMnemonics(this);
    quietReadOnlyBoxes(this);
    // A new order is typed from its reference.
    for (auto* b : findChildren<QPushButton*>())
        if (plainCaption(b->text()) == QLatin1String("New PO"))
            connect(b, &QPushButton::clicked, this, [this] { focusReference(); });
}

void HubWindow::focusReference() {
    if (auto* ref = findChild<QWidget*>(QStringLiteral("CustRef")); ref && ref->isEnabled())
        ref->setFocus(Qt::OtherFocusReason);
}

void HubWindow::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    if (gConn().isOpen())
        gConn().close();
    dialogs().closeAll();
    QCoreApplication::quit();
}

void HubWindow::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

} // namespace zel
