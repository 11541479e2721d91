#include "refdata/pickers.h"
#include "app/guard.h"
#include "bound/orderhub.h"
#include "refdata/formparts.h"
#include "values/val.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace zel {

using namespace refdata;

namespace {

const QString kNameColumn = QStringLiteral("Customer Name");

} // namespace

QString AddressPicker::sqlCustomerAddress(const QString& filter) {
    return QStringLiteral("SELECT *, `Employee Data`.`Employee ID` AS `Customer ID`, `Employee "
                          "Data`.`Previous Surname` AS `Customer Shortname`, "
                          "`Employee Data`.`Payroll ID` AS `Account No`, `Employee Data`.Forenames "
                          "AS `Customer Name`, "
                          "`Employee Data`.Address1 AS Street, `Employee Data`.Address2 AS "
                          "Street2, `Employee Data`.Town, "
                          "`Employee Data`.County AS `County/Postcode`, `Employee Data`.`Post "
                          "Code` AS Postcode2, "
                          "`Employee Data`.Country, `Employee Data`.Fax, `Employee "
                          "Data`.`Telephone No` AS Telephone, "
                          "`Employee Data`.Type "
                          "From `Employee Data` ") +
           filter;
}

AddressPicker::AddressPicker(OrderHub& hub, Design design, QWidget* parent)
    : QWidget(parent, Qt::Window), hub_(&hub), hubWidget_(hub.hubWidget()),
      design_(std::move(design)) {
    setObjectName(QString::fromLatin1(design_.name));
    setWindowTitle(design_.caption);

    cmbFindSupplier = new DataCombo(this);
    nameControl(cmbFindSupplier, "cmbFindSupplier");
    // The entries in name order, each keeping its own row and key.
    cmbFindSupplier->model()->sort(0);
    struct Row {
        QLabel*& label;
        const char* labelName;
        QString caption;
        QLineEdit*& box;
        const char* boxName;
    };
    const Row rows[] = {
        {Label1, "Label1", design_.nameLabel, CustomerName, "CustomerName"},
        {Label2, "Label2", QStringLiteral("Street:"), Street, "Street"},
        {Label3, "Label3", QStringLiteral("Street2:"), Street2, "Street2"},
        {Label4, "Label4", QStringLiteral("Town:"), Town, "Town"},
        {Label5, "Label5", QStringLiteral("Supplier Shortcode:"), CustomerShortcode,
         "CustomerShortcode"},
        {Label6, "Label6", QStringLiteral("SUPPIER ID:"), CUSTOMERID, "CUSTOMERID"},
        {Label7, "Label7", QStringLiteral("Account No:"), AccountNo, "AccountNo"},
        {Label8, "Label8", QStringLiteral("Postcode:"), postcode2, "postcode2"},
        {Label9, "Label9", QStringLiteral("Telephone:"), Telephone, "Telephone"},
    };
    auto* grid = new QGridLayout;
    int r = 0;
    for (const Row& row : rows) {
        row.label = makeLabel(this, row.labelName, row.caption);
        row.box = makeBox(this, row.boxName, accessibleOf(row.label));
        row.label->setBuddy(row.box);
        grid->addWidget(row.label, r, 0);
        grid->addWidget(row.box, r, 1);
        ++r;
    }
    grid->setColumnStretch(1, 1);
    Command1 = makeButton(this, "Command1", QStringLiteral("Close"));

    auto* v = new QVBoxLayout(this);
    v->addWidget(cmbFindSupplier);
    v->addSpacing(6);
    v->addLayout(grid);
    v->addStretch();
    v->addWidget(Command1);
    resize(460, 400);

    connect(cmbFindSupplier, &DataCombo::Click, this,
            [this](int area) { guarded([&] { cmbFindSupplier_Click(area); }); });
    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
}

OrderHub* AddressPicker::hub() const {
    return hubWidget_ ? hub_ : nullptr;
}

void AddressPicker::Form_Load() {
    InitForm();
    cmbLoadData();
}

void AddressPicker::InitForm() {
    for (QLineEdit* e : {CustomerName, Street, Street2, Town, CustomerShortcode, CUSTOMERID,
                         AccountNo, postcode2, Telephone})
        e->clear();
    cmbFindSupplier->setText(QString());
}

void AddressPicker::cmbLoadData() {
    cmbFindSupplier->loadList(sqlCustomerAddress(design_.filter), {}, kNameColumn,
                              design_.keyColumn);
}

void AddressPicker::cmbFindSupplier_Click(int area) {
    if (area == DataCombo::List)
        Disp_Data();
}

QString AddressPicker::selectedKeyNumber() const {
    return plainNumber(Val(cmbFindSupplier->BoundText()));
}

void AddressPicker::Disp_Data() {
    for (QLineEdit* e : {CustomerName, Street, Street2, Town, postcode2, CustomerShortcode,
                         CUSTOMERID, AccountNo, Telephone})
        e->clear();
    const double key = Val(cmbFindSupplier->BoundText());
    if (key == 0)
        return;
    RowSet rs =
        gConn().select(sqlCustomerAddress(design_.filter) + design_.keyFilter, {plainNumber(key)});
    if (rs.isEmpty())
        return;
    auto put = [&](QLineEdit* box, const char* column) {
        box->setText(rs.at(0, QString::fromLatin1(column)).toString());
    };
    put(CustomerName, "Customer Name");
    put(Street, "Street");
    put(Street2, "Street2");
    put(Town, "Town");
    put(postcode2, "postcode2");
    put(CustomerShortcode, "Customer Shortname");
    put(CUSTOMERID, "CUSTOMER ID");
    put(AccountNo, "Account No");
    put(Telephone, "Telephone");
}

// ---- the three pickers -----------------------------------------------------

frmSupplierEntry::frmSupplierEntry(OrderHub& hub, QWidget* parent)
    : AddressPicker(hub,
                    {"frmSupplierEntry", QStringLiteral("Suppliers Entry Form"),
                     QStringLiteral("Supplier Name:"),
                     QStringLiteral("WHERE (`Employee Data`.`Previous Surname` Is Not Null) AND "
                                    "(`Employee Data`.Type='Supplier')"),
                     QStringLiteral("Customer ID"),
                     QStringLiteral(" AND (`Employee Data`.`Employee ID` = ?)")},
                    parent) {
    guarded([&] { Form_Load(); });
}

void frmSupplierEntry::Command1_Click() {
    if (OrderHub* h = hub()) {
        h->setControlText(QStringLiteral("CustomerShortname"), CustomerShortcode->text());
        h->setControlText(QStringLiteral("CustomerName"), CustomerName->text());
        h->setControlText(QStringLiteral("Street"), Street->text());
        h->setControlText(QStringLiteral("Street2"), Street2->text());
        h->setControlText(QStringLiteral("Town"), Town->text());
        h->setControlText(QStringLiteral("Postcode"), postcode2->text());
        h->setControlText(QStringLiteral("txtCustID"), CUSTOMERID->text());
        h->setControlText(QStringLiteral("AccountNo"), AccountNo->text());
        h->setControlText(QStringLiteral("Telephone"), Telephone->text());
    }
    close();
}

frmShipTo::frmShipTo(OrderHub& hub, QWidget* parent)
    : AddressPicker(
          hub,
          {"frmShipTo", QStringLiteral("Shipped To Entry"), QStringLiteral("Company Name:"),
           QStringLiteral("WHERE (`Employee Data`.Type='Practice')"), QStringLiteral("Account No"),
           QStringLiteral(" AND (`Employee Data`.`Payroll ID` = ?)")},
          parent) {
    guarded([&] { Form_Load(); });
}

void frmShipTo::Command1_Click() {
    if (OrderHub* h = hub()) {
        h->setControlText(QStringLiteral("txtShipto_ID"), selectedKeyNumber());
        h->setControlText(QStringLiteral("ShippedTo"), CustomerName->text());
    }
    close();
}

frmInvoiceTo::frmInvoiceTo(OrderHub& hub, QWidget* parent)
    : AddressPicker(
          hub,
          {"frmInvoiceTo", QStringLiteral("Invoice To Details"), QStringLiteral("Company Name:"),
           QStringLiteral("WHERE (`Employee Data`.Type='Practice')"), QStringLiteral("Customer ID"),
           QStringLiteral(" AND (`Employee Data`.`Employee ID` = ?)")},
          parent) {
    guarded([&] { Form_Load(); });
}

void frmInvoiceTo::Form_Load() {
    AddressPicker::Form_Load();
    if (OrderHub* h = hub())
        cmbFindSupplier->setBoundText(h->controlText(QStringLiteral("InvoiceTo")));
    Disp_Data();
}

void frmInvoiceTo::Command1_Click() {
    if (OrderHub* h = hub())
        h->setControlText(QStringLiteral("InvoiceTo"), selectedKeyNumber());
    close();
}

} // namespace zel
