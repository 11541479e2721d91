#include "catalogue/frmnotfoundpart.h"
#include "app/dialogs.h"
#include "app/guard.h"
#include "catalogue/controls.h"
#include "catalogue/frmaddpart.h"
#include "catalogue/frmfindpart.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zel {

using catalogue::named;

frmNotFoundPart::frmNotFoundPart(OrderHub& hub, const QString& code, QWidget* parent)
    : QWidget(parent, Qt::Window), hub_(hub), code_(code) {
    setObjectName(QStringLiteral("frmNotFoundPart"));
    setWindowTitle(QStringLiteral("Part Not Found"));

    Text1 = named(new QPlainTextEdit(this), "Text1");
    Text1->setPlainText(QStringLiteral("Part Number Entered Does Not Exist. Do You Wish To:\r\n\r\n"
                                       "A) SEARCH By Product/Desc\r\nB) ONE Off\r\n"
                                       "C) ADD New One To Master File\r\nD) Cancel\r\n"));
    Text1->setReadOnly(true);
    Text1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text1->setMinimumHeight(130);
    Frame1 = named(new QGroupBox(this), "Frame1");
    Command1 = named(new QPushButton(QStringLiteral("SEARCH"), Frame1), "Command1",
                     QStringLiteral("SEARCH"));
    Command2 =
        named(new QPushButton(QStringLiteral("ONE"), Frame1), "Command2", QStringLiteral("ONE"));
    Command3 =
        named(new QPushButton(QStringLiteral("ADD"), Frame1), "Command3", QStringLiteral("ADD"));
    Command4 = named(new QPushButton(QStringLiteral("CANCEL"), Frame1), "Command4",
                     QStringLiteral("CANCEL"));
    auto* row = new QHBoxLayout(Frame1);
    for (QPushButton* b : {Command1, Command2, Command3, Command4})
        row->addWidget(b);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Text1, 1);
    v->addWidget(Frame1);
    resize(420, 240);

    auto on = [this](QPushButton* b, void (frmNotFoundPart::*handler)()) {
        connect(b, &QPushButton::clicked, this,
                [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    on(Command1, &frmNotFoundPart::Command1_Click);
    on(Command2, &frmNotFoundPart::Command2_Click);
    on(Command3, &frmNotFoundPart::Command3_Click);
    on(Command4, &frmNotFoundPart::Command4_Click);
}

void frmNotFoundPart::Command1_Click() {
    dialogs().show<frmFindPart>(QStringLiteral("frmFindPart"),
                                [this] { return new frmFindPart(hub_); });
}

void frmNotFoundPart::Command2_Click() {
    close();
}

void frmNotFoundPart::Command3_Click() {
    auto* entry =
        dialogs().show<frmAddPart>(QStringLiteral("frmAddPart"), [] { return new frmAddPart; });
    entry->ProductName->setText(code_);
}

void frmNotFoundPart::Command4_Click() {
    close();
}

} // namespace zel
