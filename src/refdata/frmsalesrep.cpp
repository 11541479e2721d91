#include "refdata/frmsalesrep.h"
#include "app/guard.h"
#include "bound/orderhub.h"
#include "data/orders.h"
#include "refdata/formparts.h"
#include "values/val.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace zel {

using namespace refdata;

QString frmSalesRep::dentistQuery() {
    // A dentist with a part of the name missing is listed by what is known.
    return QStringLiteral("SELECT `Employee Data`.`Employee ID` AS id, `Employee Data`.`Payroll "
                          "ID` AS `Rep Code`, "
                          "`Employee Data`.`Cost Centre`, ") +
           orders::purchaserNameSql() +
           QStringLiteral(" AS Name, `Employee Data`.Type "
                          "From `Employee Data` "
                          "WHERE (((`Employee Data`.Type)='Dentist'))");
}

frmSalesRep::frmSalesRep(OrderHub& hub, QWidget* parent)
    : QWidget(parent, Qt::Window), hub_(&hub), hubWidget_(hub.hubWidget()) {
    setObjectName(QStringLiteral("frmSalesRep"));
    setWindowTitle(QStringLiteral("Purchaser"));

    Label1 = makeHeading(this, "Label1", QStringLiteral("Purchaser Entry"));
    RepID = new DataCombo(this);
    nameControl(RepID, "RepID");
    Label2 = makeLabel(this, "Label2", QStringLiteral("ID:"));
    ID = makeBox(this, "ID", accessibleOf(Label2));
    Label3 = makeLabel(this, "Label3", QStringLiteral("Code"));
    RepCode = makeBox(this, "RepCode", accessibleOf(Label3));
    Label4 = makeLabel(this, "Label4", QStringLiteral("Name"));
    txtName = makeBox(this, "txtName", accessibleOf(Label4));
    Label5 = makeLabel(this, "Label5", QStringLiteral("Cost Centre"));
    CostCentre = makeBox(this, "CostCentre", accessibleOf(Label5));

    auto* grid = new QGridLayout;
    int r = 0;
    for (auto [label, box] :
         {std::pair{Label2, ID}, {Label3, RepCode}, {Label4, txtName}, {Label5, CostCentre}}) {
        label->setBuddy(box);
        grid->addWidget(label, r, 0);
        grid->addWidget(box, r, 1);
        ++r;
    }
    grid->setColumnStretch(1, 1);
    ID->setMaximumWidth(80);
    RepCode->setMaximumWidth(80);

    auto* v = new QVBoxLayout(this);
    v->addWidget(Label1);
    v->addWidget(RepID);
    v->addSpacing(6);
    v->addLayout(grid);
    v->addStretch();
    resize(380, 230);

    connect(RepID, &DataCombo::Click, this,
            [this](int area) { guarded([&] { RepID_Click(area); }); });
    guarded([&] { Form_Load(); });
}

void frmSalesRep::Form_Load() {
    InitForm();
    cmbLoadData();
}

void frmSalesRep::InitForm() {
    RepID->setText(QString());
    for (QLineEdit* e : {ID, RepCode, txtName, CostCentre})
        e->clear();
}

void frmSalesRep::cmbLoadData() {
    RepID->loadList(dentistQuery(), {}, QStringLiteral("Name"), QStringLiteral("Rep Code"));
}

void frmSalesRep::RepID_Click(int area) {
    if (area != DataCombo::List)
        return;
    Disp_Data();
    UpdateSaleRep();
    close();
}

void frmSalesRep::Disp_Data() {
    for (QLineEdit* e : {ID, RepCode, txtName, CostCentre})
        e->clear();
    RowSet rs = gConn().select(dentistQuery() +
                                   QStringLiteral(" AND `Employee Data`.`Payroll ID` = ? LIMIT 1"),
                               {plainNumber(Val(RepID->BoundText()))});
    if (rs.isEmpty())
        return;
    ID->setText(rs.at(0, QStringLiteral("ID")).toString());
    RepCode->setText(rs.at(0, QStringLiteral("Rep Code")).toString());
    txtName->setText(rs.at(0, QStringLiteral("Name")).toString());
    CostCentre->setText(rs.at(0, QStringLiteral("Cost Centre")).toString());
}

void frmSalesRep::UpdateSaleRep() {
    if (!hubWidget_)
        return;
    hub_->setControlText(QStringLiteral("SalesRep"), RepCode->text());
    hub_->setControlText(QStringLiteral("lblFullName"), txtName->text());
}

} // namespace zel
