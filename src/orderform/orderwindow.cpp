#include "orderform/orderwindow.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "connection/database.h"
#include "data/statuses.h"
#include "values/val.h"

namespace zel {

using namespace form;

OrderWindow::OrderWindow(const QString& title, QWidget* parent) : HubWindow(parent), title_(title) {
    setWindowTitle(title);
}

QGridLayout* OrderWindow::buildReferenceSelector(QWidget* parent) {
    Frame3 = new QGroupBox(parent);
    Frame3->setObjectName(QStringLiteral("Frame3"));
    Label11 = makeLabel(Frame3, "Label11", QStringLiteral("Suppliers Reference:"));
    CustRef = new DataCombo(Frame3);
    CustRef->setObjectName(QStringLiteral("CustRef"));
    CustRef->setAccessibleName(accessibleOf(Label11));
    Label12 = makeLabel(Frame3, "Label12", QStringLiteral("PO Status:"));
    Status = new DataCombo(Frame3);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setAccessibleName(accessibleOf(Label12));
    auto* g = new QGridLayout(Frame3);
    g->addWidget(Label11, 0, 0);
    g->addWidget(CustRef, 0, 1);
    g->addWidget(Label12, 1, 0);
    g->addWidget(Status, 1, 1);
    g->setColumnStretch(1, 1);

    connect(CustRef, &DataCombo::Click, this, [this](int area) {
        guarded([&] {
            beforeAction();
            CustRef_Click(area);
        });
    });
    connect(Status, &DataCombo::Click, this, [this](int area) {
        guarded([&] {
            beforeAction();
            Status_Click(area);
        });
    });
    // Editing the reference renames the order on screen; it never switches orders.
    orderform::keepOrderWhileTyping(*CustRef);
    connect(CustRef, &QComboBox::currentIndexChanged, this, [this] { showWhichOrder(); });
    return g;
}

void OrderWindow::buildPurchaserAndDate(QWidget* parent) {
    Label6 = makeLabel(parent, "Label6", QStringLiteral("Purchaser:"));
    SalesRep = makeBox(parent, "SalesRep", accessibleOf(Label6));
    SalesRep->setMaximumWidth(90);
    lblFullName = makeLabel(parent, "lblFullName", QString());
    Label9 = makeLabel(parent, "Label9", QStringLiteral("Date Entered:"));
    QuotedDate = makeBox(parent, "QuotedDate", accessibleOf(Label9));
    Label10 = makeLabel(parent, "Label10", QStringLiteral("Double click for todays date.."));
}

void OrderWindow::Form_Load() {
    InitForm(true);
    showWhichOrder();
    rememberHeader();
    // Without a connection the window opens empty and quiet; the first action
    // that needs the database says why it cannot be reached.
    if (!gConn().isOpen())
        return;
    guarded([&] {
        cmbLoadList();
        showLines();
        Disp_MainData();
    });
}

void OrderWindow::InitForm(bool clearRef) {
    for (QLineEdit* e :
         {CustomerShortname, CustomerName, Street, Street2, Town, Postcode, SalesRep, QuotedDate})
        e->clear();
    if (clearRef)
        CustRef->setText(QString());
    Status->setText(QString());
    clearContact();
    Discount->setText(QStringLiteral("0"));
    VAT->clear();
    ValVal->clear();
    for (QLabel* l : {lblSubTotal, lblDiscountValue, lblFinalTotal, lblCalcPkg})
        l->clear();
    PackagePrice->clear();
    lblFullName->clear();
    txtCustID->clear();
}

void OrderWindow::cmbLoadList() {
    cmbLoadList1();
    cmbLoadList2();
    listsLoaded_ = true;
}

void OrderWindow::cmbLoadList1() {
    orderform::listRefs(*CustRef);
}

void OrderWindow::cmbLoadList2() {
    Status->loadList(statuses::listStatement(), {}, QStringLiteral("Status Description"),
                     QStringLiteral("ID"));
}

void OrderWindow::ensureLists() {
    if (listsLoaded_)
        return;
    try {
        cmbLoadList();
    } catch (const DbError&) {
        // The action itself says why the database cannot be reached, if it needs it.
    }
}

void OrderWindow::CustRef_Click(int area) {
    if (area != DataCombo::List)
        return;
    showLines();
    Disp_MainData();
}

qint64 OrderWindow::orderKey() const {
    return qint64(Val(CustRef->BoundText()));
}

void OrderWindow::showWhichOrder() {
    const qint64 key = orderKey();
    setWindowTitle(key != 0 ? QStringLiteral("%1 \u2014 order %2").arg(title_).arg(key)
                            : QStringLiteral("%1 \u2014 new order, not saved").arg(title_));
}

void OrderWindow::open(const std::function<void(OrderHub&)>& opener) {
    if (opener)
        guarded([&] { opener(*this); });
}

Money OrderWindow::getSubTotal() {
    return orders::subTotal(orderKey());
}

void OrderWindow::ReCalc() {
    showTotals(getSubTotal());
}

RowSet OrderWindow::showStoredHeader() {
    InitForm(false);
    const RowSet rs = orders::header(orderKey());
    if (rs.isEmpty()) {
        // No order: nothing is shown in package mode.
        ckPPrice->setChecked(false);
        PackagePriceFlg();
        return rs;
    }
    showSupplier(rs);
    showHeaderColumn(SalesRep, rs, QStringLiteral("Sales Rep"));
    showHeaderColumn(QuotedDate, rs, QStringLiteral("Quoted Date"));
    if (!rs.at(0, "Quote ID").isNull())
        CustRef->setBoundText(rs.at(0, "Quote ID").toString());
    if (!rs.at(0, "Status").isNull())
        Status->setBoundText(rs.at(0, "Status").toString());
    if (!rs.at(0, "Name").isNull())
        lblFullName->setText(rs.at(0, "Name").toString());
    showHeaderColumn(PackagePrice, rs, QStringLiteral("package price"));
    return rs;
}

void OrderWindow::showPackageMode() {
    // The package mode follows the order shown, never the one before it.
    ckPPrice->setChecked(Val(PackagePrice->text()) > 0);
    PackagePriceFlg();
}

QList<orders::HeaderField> OrderWindow::supplierFields() const {
    return {
        {QStringLiteral("Customer Shortname"), CustomerShortname->text(),
         QStringLiteral("Supplier short name")},
        {QStringLiteral("Customer Name"), CustomerName->text(), QStringLiteral("Supplier name")},
        {QStringLiteral("Street"), Street->text(), QStringLiteral("Street")},
        {QStringLiteral("Street2"), Street2->text(), QStringLiteral("Street2")},
        {QStringLiteral("Town"), Town->text(), QStringLiteral("Town")},
        {QStringLiteral("County/Postcode"), Postcode->text(), QStringLiteral("Postcode")},
    };
}

QList<orders::HeaderField> OrderWindow::purchaserFields() const {
    return {
        {QStringLiteral("Sales Rep"), SalesRep->text(), QStringLiteral("Purchaser")},
        {QStringLiteral("Name"), lblFullName->text(), QStringLiteral("Purchaser name")},
    };
}

QList<orders::HeaderField> OrderWindow::contactFields() const {
    return {
        {QStringLiteral("Account No"), AccountNo->text(), QStringLiteral("Account")},
        {QStringLiteral("Title"), Title->text(), QStringLiteral("Title")},
        {QStringLiteral("Initial"), Initial->text(), QStringLiteral("Initial")},
        {QStringLiteral("Contact Name"), ContactName->text(), QStringLiteral("Contact Name")},
        {QStringLiteral("Position/Department"), Position_Department->text(),
         QStringLiteral("Position")},
        {QStringLiteral("Telephone"), Telephone->text(), QStringLiteral("Telephone")},
    };
}

void OrderWindow::deleteShownOrder() {
    orderform::deleteOrder(*CustRef, [this] {
        cmbLoadList1();
        Disp_DataList();
        Disp_MainData();
    });
}

void OrderWindow::printShown(const std::function<void(OrderHub&)>& print,
                             const QString& noAccount) {
    if (Val(AccountNo->text()) == 0) {
        messages().info(noAccount);
        return;
    }
    if (CustRef->Text().isEmpty()) {
        messages().info(QStringLiteral("Please select a Suppliers Reference"));
        return;
    }
    open(print);
}

} // namespace zel
