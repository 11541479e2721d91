#include "purchasing/frmorderdetails.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "bound/orderhub.h"
#include "connection/database.h"
#include "data/orderlines.h"
#include "data/schema.h"
#include "values/convert.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QFrame>
#include <QGridLayout>
#include <QVBoxLayout>

namespace zel {

using form::named;

namespace {
QFrame* rule(QWidget* parent) {
    auto* f = new QFrame(parent);
    f->setFrameShape(QFrame::HLine);
    f->setFrameShadow(QFrame::Sunken);
    return f;
}
} // namespace

frmOrderDetails::frmOrderDetails(OrderHub& hub, QWidget* parent)
    : QWidget(parent, Qt::Window), hub_(hub) {
    setObjectName(QStringLiteral("frmOrderDetails"));
    setWindowTitle(QStringLiteral("More Info...."));

    Label3 = named(new QLabel(QStringLiteral("Product Code"), this), "Label3");
    Label4 = named(new QLabel(QStringLiteral("Description"), this), "Label4");
    Label5 = named(new QLabel(QStringLiteral("Unit Price"), this), "Label5");
    Label6 = named(new QLabel(QStringLiteral("Quantity"), this), "Label6");
    Label7 = named(new QLabel(QStringLiteral("Discount %"), this), "Label7");
    Label8 = named(new QLabel(QStringLiteral("Total Price"), this), "Label8");
    Label2 = named(new QLabel(QStringLiteral("Due Date:"), this), "Label2");
    Label1 = named(new QLabel(QStringLiteral("Notes:"), this), "Label1");
    txtPartId = named(new QLineEdit(this), "txtPartId", QStringLiteral("Product Code"));
    txtPartId->setReadOnly(true);
    txtDesc = named(new QPlainTextEdit(this), "txtDesc", QStringLiteral("Description"));
    txtDesc->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtDesc->setFixedHeight(60);
    txtUnitPrice = named(new QLineEdit(this), "txtUnitPrice", QStringLiteral("Unit Price"));
    txtQty = named(new QLineEdit(this), "txtQty", QStringLiteral("Quantity"));
    txtDiscount = named(new QLineEdit(this), "txtDiscount", QStringLiteral("Discount"));
    txtExtendedPrice =
        named(new QLineEdit(this), "txtExtendedPrice", QStringLiteral("Total Price"));
    txtExtendedPrice->setReadOnly(true);
    txtDueDate = named(new QLineEdit(this), "txtDueDate", QStringLiteral("Due Date"));
    txtDueDate->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    GoodsDel = named(new QCheckBox(QStringLiteral("Goods been delivered"), this), "GoodsDel",
                     QStringLiteral("Goods been delivered"));
    txtGoodaDelNotes = named(new QPlainTextEdit(this), "txtGoodaDelNotes", QStringLiteral("Notes"));
    txtGoodaDelNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtID = named(new QLineEdit(this), "txtID");
    txtID->hide();
    txtOrderID = named(new QLineEdit(this), "txtOrderID");
    txtOrderID->hide();
    Command1 =
        named(new QPushButton(QStringLiteral("Close"), this), "Command1", QStringLiteral("Close"));
    for (QLineEdit* e : {txtUnitPrice, txtQty, txtDiscount, txtExtendedPrice})
        e->setAlignment(Qt::AlignRight);
    Label9 = named(new QLabel(QStringLiteral("&Last prices paid:"), this), "Label9");
    txtLastPrices =
        named(new QPlainTextEdit(this), "txtLastPrices", QStringLiteral("Last prices paid"));
    txtLastPrices->setReadOnly(true);
    txtLastPrices->setFixedHeight(txtLastPrices->fontMetrics().lineSpacing() * 4 + 12);
    Label9->setBuddy(txtLastPrices);
    lblPriceMark = named(new QLabel(this), "lblPriceMark", QStringLiteral("Price check"));
    lblPriceMark->setStyleSheet(QStringLiteral("color: #8c1e00; font-weight: bold;"));
    lblPriceMark->setWordWrap(true);

    auto* top = new QGridLayout;
    QLabel* heads[] = {Label3, Label4, Label5, Label6, Label7, Label8};
    QWidget* boxes[] = {txtPartId, txtDesc, txtUnitPrice, txtQty, txtDiscount, txtExtendedPrice};
    for (int i = 0; i < 6; ++i) {
        top->addWidget(heads[i], 0, i);
        top->addWidget(boxes[i], 1, i, Qt::AlignTop);
    }
    top->setColumnStretch(1, 3);
    auto* due = new QHBoxLayout;
    due->addStretch();
    due->addWidget(Label2);
    due->addWidget(txtDueDate);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addLayout(due);
    v->addWidget(Label9);
    v->addWidget(txtLastPrices);
    v->addWidget(lblPriceMark);
    v->addWidget(rule(this));
    v->addWidget(GoodsDel);
    v->addWidget(Label1);
    v->addWidget(txtGoodaDelNotes, 1);
    v->addWidget(rule(this));
    v->addWidget(Command1);
    resize(820, 440);

    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
    connect(txtUnitPrice, &QLineEdit::textChanged, this,
            [this](const QString& text) { showPriceMark(parseCurrency(text)); });
    InitForm();
}

void frmOrderDetails::InitForm() {
    for (QLineEdit* e : {txtPartId, txtID, txtOrderID, txtUnitPrice, txtQty, txtDiscount,
                         txtExtendedPrice, txtDueDate})
        e->clear();
    txtDesc->clear();
    txtGoodaDelNotes->clear();
    GoodsDel->setChecked(false);
    paid_.clear();
    txtLastPrices->clear();
    lblPriceMark->clear();
}

void frmOrderDetails::showLastPrices(const QList<prices::Paid>& paid, std::optional<Money> price) {
    paid_ = paid;
    txtLastPrices->setPlainText(prices::describe(paid).join(u'\n'));
    showPriceMark(price);
}

void frmOrderDetails::showPriceMark(std::optional<Money> price) {
    const QString mark = price ? prices::markText(*price, paid_) : QString();
    lblPriceMark->setText(mark);
    lblPriceMark->setVisible(!mark.isEmpty());
    // A screen reader hears the mark with the price box itself.
    txtUnitPrice->setAccessibleDescription(mark);
    txtUnitPrice->setToolTip(mark);
}

bool frmOrderDetails::UpdateEntry() {
    const qlonglong id = qlonglong(Val(txtID->text()));
    if (id == 0)
        return true;
    try {
        // Everything is converted before anything is written. The discount
        // is typed as a percentage and stored as a fraction.
        QVariant discount =
            schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Discount"),
                                txtDiscount->text(), QStringLiteral("Discount"));
        if (!discount.isNull())
            discount = Val(discount.toString()) / 100.0;
        orderlines::Edit edit;
        edit.id = id;
        edit.description =
            schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Description"),
                                txtDesc->toPlainText(), QStringLiteral("Description"));
        edit.unitPrice =
            schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Unit Price"),
                                txtUnitPrice->text(), QStringLiteral("Unit Price"));
        edit.quantity =
            schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("Quantity"),
                                txtQty->text(), QStringLiteral("Quantity"));
        edit.discount = discount;
        edit.deliveryNotes =
            schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("GoodsDelNotes"),
                                txtGoodaDelNotes->toPlainText(), QStringLiteral("Notes"));
        edit.delivered = GoodsDel->isChecked();
        edit.dueDate =
            schema::columnValue(QStringLiteral("Order Details"), QStringLiteral("DueDate"),
                                txtDueDate->text(), QStringLiteral("Due Date"));
        orderlines::update(edit);
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return false;
    }
    return true;
}

void frmOrderDetails::Command1_Click() {
    // A refused value keeps the dialog open with what was typed.
    if (!UpdateEntry())
        return;
    hub_.Disp_DataList();
    close();
}

} // namespace zel
