#include "refdata/frmpoinstr.h"
#include "app/guard.h"
#include "app/messages.h"
#include "connection/database.h"
#include "data/schema.h"
#include "refdata/boxvalues.h"
#include "refdata/formparts.h"
#include "values/convert.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace zel {

using namespace refdata;

const QString frmPOInstr::kItem = QStringLiteral("POSuppliersAdditionalText");

frmPOInstr::frmPOInstr(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmPOInstr"));
    setWindowTitle(QStringLiteral("PO Instructions to Suppliers"));

    Label1 = makeHeading(this, "Label1",
                         QStringLiteral("Edit Purchase Order Schedule Suppliers Instructions"));
    Label2 = makeLabel(this, "Label2", QStringLiteral("Edit Purchase Order Instructions"));
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setMaximumWidth(130);
    Text1 = new QPlainTextEdit(this);
    nameControl(Text1, "Text1", Label2->text());
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setTabChangesFocus(true);
    Label2->setBuddy(Text1);
    Label3 = makeLabel(this, "Label3",
                       QStringLiteral("Leave blank if you do not wish to give any instruction"));
    Command1 = makeButton(this, "Command1", QStringLiteral("Close"));

    auto* grid = new QGridLayout;
    grid->addWidget(Label2, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(Label3, 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(0, 1);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addSpacing(6);
    v->addLayout(grid, 1);
    v->addWidget(Command1);
    resize(640, 360);

    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
    guarded([&] { Form_Load(); });
}

void frmPOInstr::Form_Load() {
    const QVariant text = gConn().scalar(
        QStringLiteral("SELECT `TextValue` FROM `tblGlobalSysConfig` WHERE `Item` = ?"), {kItem});
    Text1->setPlainText(text.toString());
}

bool frmPOInstr::SaveData() {
    Database& db = gConn();
    try {
        const QVariantList values =
            columnValues(db, schema::GlobalSysConfig,
                         {{QStringLiteral("TextValue"), Text1->toPlainText(),
                           QStringLiteral("PO Instructions")}});
        // One statement: the row is created on first use, and is never half-written.
        db.execute(
            QStringLiteral(
                "INSERT INTO `tblGlobalSysConfig` (`Item`, `TextValue`, `NumberValue`) "
                "VALUES (?, ?, -33) "
                "ON DUPLICATE KEY UPDATE `TextValue` = VALUES(`TextValue`), `NumberValue` = -33"),
            {kItem, values[0]});
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return false;
    } catch (const DbError& e) {
        messages().error(e.userMessage());
        return false;
    }
    return true;
}

void frmPOInstr::Command1_Click() {
    if (SaveData())
        close();
}

} // namespace zel
