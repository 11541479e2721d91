#include "app/hubwindow.h"
#include "app/database.h"
#include "app/dialogs.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace zel {

HubWindow::HubWindow(QWidget* parent) : QMainWindow(parent) {}

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
