#include "orderform/orderblocks.h"
#include "bound/formcontrols.h"
#include "data/orders.h"
#include "data/schema.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QGridLayout>

namespace zel {

using namespace form;

void SupplierBlock::buildSupplierBlock(QWidget* parent) {
    Frame1 = new QGroupBox(parent);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Label1 = makeLabel(Frame1, "Label1", QStringLiteral("Supplier"));
    QFont bold = Label1->font();
    bold.setBold(true);
    Label1->setFont(bold);
    CustomerShortname = makeBox(Frame1, "CustomerShortname", QStringLiteral("Supplier short name"));
    CustomerName = makeBox(Frame1, "CustomerName", QStringLiteral("Supplier name"));
    Street = makeBox(Frame1, "Street", QStringLiteral("Street"));
    Street2 = makeBox(Frame1, "Street2", QStringLiteral("Street 2"));
    Town = makeBox(Frame1, "Town", QStringLiteral("Town"));
    Postcode = makeBox(Frame1, "Postcode", QStringLiteral("County / Postcode"));
    Label2 = makeLabel(Frame1, "Label2", QStringLiteral("Account:"));
    AccountNo = makeBox(Frame1, "AccountNo", accessibleOf(Label2));
    Label3 = makeLabel(Frame1, "Label3", QStringLiteral("Contact Name:"));
    Title = makeBox(Frame1, "Title", QStringLiteral("Contact title"));
    Initial = makeBox(Frame1, "Initial", QStringLiteral("Contact initial"));
    ContactName = makeBox(Frame1, "ContactName", accessibleOf(Label3));
    Label4 = makeLabel(Frame1, "Label4", QStringLiteral("Position:"));
    Position_Department = makeBox(Frame1, "Position_Department", accessibleOf(Label4));
    Label5 = makeLabel(Frame1, "Label5", QStringLiteral("Telephone:"));
    Telephone = makeBox(Frame1, "Telephone", accessibleOf(Label5));
    txtCustID = makeBox(Frame1, "txtCustID", QStringLiteral("Supplier number"));
    txtCustID->setReadOnly(true);
    txtCustID->setToolTip(QStringLiteral("Supplier record number"));
    txtCustID->setMaximumWidth(70);
    CustomerShortname->setPlaceholderText(QStringLiteral("Short name"));
    CustomerName->setPlaceholderText(QStringLiteral("Name"));
    Street->setPlaceholderText(QStringLiteral("Street"));
    Street2->setPlaceholderText(QStringLiteral("Street"));
    Town->setPlaceholderText(QStringLiteral("Town"));
    Postcode->setPlaceholderText(QStringLiteral("County / Postcode"));
    Title->setPlaceholderText(QStringLiteral("Title"));
    Initial->setPlaceholderText(QStringLiteral("Init."));
    Title->setMaximumWidth(60);
    Initial->setMaximumWidth(40);

    auto* g = new QGridLayout(Frame1);
    supplierHeading = new QHBoxLayout;
    supplierHeading->addWidget(Label1);
    supplierHeading->addStretch();
    supplierHeading->addWidget(txtCustID);
    g->addLayout(supplierHeading, 0, 0, 1, 2);
    int row = 1;
    for (QLineEdit* e : {CustomerShortname, CustomerName, Street, Street2, Town, Postcode})
        g->addWidget(e, row++, 0, 1, 2);
    g->addWidget(Label2, 7, 0);
    g->addWidget(AccountNo, 7, 1);
    g->addWidget(Label3, 8, 0);
    auto* contact = new QHBoxLayout;
    contact->addWidget(Title);
    contact->addWidget(Initial);
    contact->addWidget(ContactName, 1);
    g->addLayout(contact, 8, 1);
    g->addWidget(Label4, 9, 0);
    g->addWidget(Position_Department, 9, 1);
    g->addWidget(Label5, 10, 0);
    g->addWidget(Telephone, 10, 1);
    g->setColumnStretch(1, 1);
}

void SupplierBlock::clearContact() {
    for (QLineEdit* e : {AccountNo, Title, Initial, ContactName, Position_Department, Telephone})
        e->clear();
}

void showHeaderColumn(QLineEdit* box, const RowSet& header, const QString& column) {
    const QVariant& v = header.at(0, column);
    if (!v.isNull())
        box->setText(displayText(
            schema::columnKind(schema::OrderInformation, column).value_or(Kind::Text), v));
}

void SupplierBlock::showSupplier(const RowSet& header) {
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {CustomerShortname, "Customer Shortname"},
        {CustomerName, "Customer Name"},
        {Street, "Street"},
        {Street2, "Street2"},
        {Town, "Town"},
        {Postcode, "County/Postcode"},
        {AccountNo, "Account No"},
        {Title, "Title"},
        {Initial, "Initial"},
        {ContactName, "Contact Name"},
        {Position_Department, "Position/Department"},
        {Telephone, "Telephone"},
        {txtCustID, "CUSTOMER ID"}};
    for (const auto& [box, column] : boxes)
        showHeaderColumn(box, header, QString::fromLatin1(column));
}

void TotalsBlock::buildTotalsBlock(QWidget* parent) {
    Frame4 = new QGroupBox(parent);
    Frame4->setObjectName(QStringLiteral("Frame4"));
    Label13 = makeLabel(Frame4, "Label13", QStringLiteral("Discount:"));
    Discount = makeBox(Frame4, "Discount", accessibleOf(Label13));
    Label14 = makeLabel(Frame4, "Label14", QStringLiteral("%"));
    Label15 = makeLabel(Frame4, "Label15", QStringLiteral("VAT:"));
    VAT = makeBox(Frame4, "VAT", accessibleOf(Label15));
    VAT->setText(QStringLiteral("17.5"));
    Label16 = makeLabel(Frame4, "Label16", QStringLiteral("%"));
    Label17 = makeLabel(Frame4, "Label17", QStringLiteral("VAT Value:"));
    ValVal = makeBox(Frame4, "ValVal", accessibleOf(Label17));
    ValVal->setReadOnly(true);
    Label18 = makeLabel(Frame4, "Label18", QStringLiteral("Subtotal:"));
    lblSubTotal = makeLabel(Frame4, "lblSubTotal", QString());
    Label19 = makeLabel(Frame4, "Label19", QStringLiteral("Disc Value:"));
    lblDiscountValue = makeLabel(Frame4, "lblDiscountValue", QString());
    Label20 = makeLabel(Frame4, "Label20", QStringLiteral("Total:"));
    lblFinalTotal = makeLabel(Frame4, "lblFinalTotal", QString());
    ckPPrice = new QCheckBox(QStringLiteral("Pkg Price:"), Frame4);
    ckPPrice->setObjectName(QStringLiteral("ckPPrice"));
    PackagePrice = makeBox(Frame4, "PackagePrice", QStringLiteral("Package price"));
    Label21 = makeLabel(Frame4, "Label21", QStringLiteral("Total Package"));
    lblCalcPkg = makeLabel(Frame4, "lblCalcPkg", QString());
    for (QLineEdit* e : {Discount, VAT, ValVal, PackagePrice}) {
        e->setMaximumWidth(110);
        e->setAlignment(Qt::AlignRight);
    }
    QFont bold = lblFinalTotal->font();
    bold.setBold(true);
    for (QLabel* l : {lblSubTotal, lblDiscountValue, lblFinalTotal, lblCalcPkg}) {
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setMinimumWidth(110);
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
    }
    lblFinalTotal->setFont(bold);
    lblCalcPkg->setFont(bold);

    auto* g = new QGridLayout(Frame4);
    const QList<std::tuple<QWidget*, int, int>> places = {
        {Label13, 0, 0}, {Discount, 0, 1},      {Label14, 0, 2},  {Label15, 1, 0},
        {VAT, 1, 1},     {Label16, 1, 2},       {Label17, 2, 0},  {ValVal, 2, 1},
        {Label18, 0, 4}, {lblSubTotal, 0, 5},   {Label19, 1, 4},  {lblDiscountValue, 1, 5},
        {Label20, 2, 4}, {lblFinalTotal, 2, 5}, {ckPPrice, 0, 7}, {PackagePrice, 0, 8},
        {Label21, 1, 7}, {lblCalcPkg, 1, 8}};
    for (const auto& [w, r, c] : places)
        g->addWidget(w, r, c);
    g->setColumnMinimumWidth(3, 24);
    g->setColumnMinimumWidth(6, 24);
    g->setColumnStretch(9, 1);
}

void TotalsBlock::showTotals(Money S) {
    const orders::Totals t = orders::computeTotals(S.toDouble(), Val(Discount->text()),
                                                   Val(VAT->text()), Val(PackagePrice->text()));
    lblSubTotal->setText(currencyText(S));
    lblDiscountValue->setText(currencyText(Money::fromDouble(t.discountValue)));
    lblFinalTotal->setText(currencyText(Money::fromDouble(t.finalTotal)));
    ValVal->setText(currencyText(Money::fromDouble(t.vatValue)));
    lblCalcPkg->setText(currencyText(Money::fromDouble(t.packageTotal), 2));
}

void TotalsBlock::PackagePriceFlg() {
    const bool package = ckPPrice->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{Label18, Label19, Label20, lblSubTotal,
                                                      lblDiscountValue, lblFinalTotal})
        w->setVisible(!package);
    for (QWidget* w : std::initializer_list<QWidget*>{Label21, PackagePrice, lblCalcPkg})
        w->setVisible(package);
}

} // namespace zel
