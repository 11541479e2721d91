#include "catalogue/frmaddpart.h"
#include "app/guard.h"
#include "app/messages.h"
#include "catalogue/controls.h"
#include "data/catalogue.h"
#include "data/schema.h"
#include "values/convert.h"
#include "values/val.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace zel {

using catalogue::named;

namespace {
QString accessibleOf(const QLabel* label) {
    QString t = label->text();
    if (t.endsWith(u':'))
        t.chop(1);
    return t;
}
} // namespace

frmAddPart::frmAddPart(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmAddPart"));
    setWindowTitle(QStringLiteral("Products Edit Entry"));

    Label1 = named(new QLabel(QStringLiteral("Products Edit Entry"), this), "Label1");
    QFont heading = Label1->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.4);
    Label1->setFont(heading);
    Label2 = named(new QLabel(QStringLiteral("Product Number:"), this), "Label2");
    Label3 = named(new QLabel(QStringLiteral("Description:"), this), "Label3");
    Label4 = named(new QLabel(QStringLiteral("Unit Price:"), this), "Label4");
    Label5 = named(new QLabel(QStringLiteral("Quote Description:"), this), "Label5");
    Label6 = named(new QLabel(QStringLiteral("Group Id:"), this), "Label6");
    ProductName = named(new QLineEdit(this), "ProductName", accessibleOf(Label2));
    ProductName->setMaxLength(50);
    EnglishName = named(new QPlainTextEdit(this), "EnglishName", accessibleOf(Label3));
    EnglishName->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    EnglishName->setFixedHeight(56);
    UnitPrice = named(new QLineEdit(this), "UnitPrice", accessibleOf(Label4));
    UnitPrice->setAlignment(Qt::AlignRight);
    UnitPrice->setMaximumWidth(110);
    QuoteDescName = named(new QPlainTextEdit(this), "QuoteDescName", accessibleOf(Label5));
    QuoteDescName->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QuoteDescName->setFixedHeight(56);
    QuoteDesc = named(new QCheckBox(QStringLiteral("QuoteDesc"), this), "QuoteDesc",
                      QStringLiteral("QuoteDesc"));
    groupId = named(new DataCombo(this), "groupId", accessibleOf(Label6));
    Command1 =
        named(new QPushButton(QStringLiteral("Save"), this), "Command1", QStringLiteral("Save"));
    Command2 =
        named(new QPushButton(QStringLiteral("Close"), this), "Command2", QStringLiteral("Close"));
    Label2->setBuddy(ProductName);
    Label3->setBuddy(EnglishName);
    Label4->setBuddy(UnitPrice);
    Label5->setBuddy(QuoteDescName);
    Label6->setBuddy(groupId);

    auto* g = new QGridLayout;
    g->addWidget(Label2, 0, 0);
    g->addWidget(ProductName, 0, 1);
    g->addWidget(Label3, 1, 0, Qt::AlignTop);
    g->addWidget(EnglishName, 1, 1);
    g->addWidget(Label4, 2, 0);
    g->addWidget(UnitPrice, 2, 1);
    g->addWidget(Label5, 3, 0, Qt::AlignTop);
    g->addWidget(QuoteDescName, 3, 1);
    g->addWidget(QuoteDesc, 4, 1);
    g->addWidget(Label6, 5, 0);
    g->addWidget(groupId, 5, 1);
    g->setColumnStretch(1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Label1, 0, Qt::AlignHCenter);
    v->addLayout(g);
    v->addStretch();
    v->addLayout(buttons);
    resize(520, 330);

    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { guarded([&] { Command2_Click(); }); });
    Form_Load();
}

void frmAddPart::Form_Load() {
    IntForm();
    guarded([&] { cmbLoadData(); });
}

void frmAddPart::IntForm() {
    ProductName->clear();
    EnglishName->clear();
    UnitPrice->clear();
    QuoteDescName->clear();
    QuoteDesc->setChecked(false);
    groupId->setText(QString());
}

void frmAddPart::cmbLoadData() {
    groupId->loadList(products::groupsStatement(), {}, QStringLiteral("desc"),
                      QStringLiteral("analcode"));
}

bool frmAddPart::SaveData() {
    const QString code = ProductName->text();
    if (code.isEmpty())
        return false;
    // Everything is converted before anything is written.
    QVariant group;
    if (!groupId->Text().isEmpty()) {
        if (groupId->BoundText().isEmpty())
            throw ConversionError(
                QStringLiteral("Group Id"), groupId->Text(),
                QStringLiteral("Group Id: \"%1\" is not a product group. Choose one from the list.")
                    .arg(groupId->Text()));
        group = qlonglong(Val(groupId->BoundText()));
    }
    const products::Product product = {
        code,
        schema::columnValue(QStringLiteral("Products"), QStringLiteral("English Name"),
                            EnglishName->toPlainText(), accessibleOf(Label3)),
        schema::columnValue(QStringLiteral("Products"), QStringLiteral("Unit Price"),
                            UnitPrice->text(), accessibleOf(Label4)),
        schema::columnValue(QStringLiteral("Products"), QStringLiteral("QuoteDescName"),
                            QuoteDescName->toPlainText(), accessibleOf(Label5)),
        QuoteDesc->isChecked(),
        group,
    };
    products::save(product);
    messages().info(QStringLiteral("Information saved successfully"));
    return true;
}

void frmAddPart::Command1_Click() {
    SaveData();
}

void frmAddPart::Command2_Click() {
    close();
}

} // namespace zel
