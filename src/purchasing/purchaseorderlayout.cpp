// The purchase order window's controls, their layout, menus and handlers.
#include "app/dialogs.h"
#include "app/guard.h"
#include "bound/formcontrols.h"
#include "purchasing/frmpurchaseorder.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace zel {

using namespace form;

void frmPurchaseOrder::buildUi() {
    auto* central = new QWidget(this);
    setCentralWidget(central);

    // Supplier
    buildSupplierBlock(central);
    Command1 = makeButton(Frame1, "Command1", QStringLiteral("Start"));
    supplierHeading->addWidget(Command1);

    // Reference, status and date
    {
        QGridLayout* g = buildReferenceSelector(central);
        buildPurchaserAndDate(Frame3);
        g->addWidget(Label9, 2, 0);
        g->addWidget(QuotedDate, 2, 1);
        g->addWidget(Label10, 3, 1);
    }

    buildAddresses(central);
    buildLines(central);
    buildTotalsBlock(central);
    buildButtons(central);

    auto* top = new QHBoxLayout;
    top->addWidget(Frame1, 3);
    auto* right = new QVBoxLayout;
    right->addWidget(Frame3);
    right->addWidget(Frame2);
    right->addStretch();
    top->addLayout(right, 3);
    top->addWidget(Frame5);
    auto* main = new QVBoxLayout(central);
    main->addLayout(top);
    main->addWidget(Label22);
    main->addWidget(DataGrid1, 1);
    main->addWidget(Frame4);

    // Where the window says what an action did (what an approval posted).
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    buildMenu();
    connectHandlers();
    nameAndOrderControls();
    resize(1100, 760);
}

void frmPurchaseOrder::buildAddresses(QWidget* central) {
    Frame2 = new QGroupBox(central);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    SalesRep->setToolTip(QStringLiteral("Click to choose the purchaser"));
    Label7 = makeLabel(Frame2, "Label7", QStringLiteral("Ship to:"));
    ShippedTo = makeBox(Frame2, "ShippedTo", accessibleOf(Label7));
    Label8 = makeLabel(Frame2, "Label8",
                       QStringLiteral("Double click to choose shippinmg address....."));
    txtShipto_ID = makeBox(Frame2, "txtShipto_ID", QStringLiteral("Ship to number"));
    txtShipto_ID->setReadOnly(true);
    txtShipto_ID->setMaximumWidth(70);
    txtShipto_ID->setToolTip(QStringLiteral("Ship-to record number"));
    Command2 = makeButton(Frame2, "Command2", QStringLiteral("Inv"));
    InvoiceTo = makeBox(Frame2, "InvoiceTo", QStringLiteral("Invoice to number"));
    InvoiceTo->setReadOnly(true);
    InvoiceTo->setMaximumWidth(70);
    InvoiceTo->setToolTip(QStringLiteral("Invoice-to record number"));
    {
        auto* g = new QGridLayout(Frame2);
        g->addWidget(Label6, 0, 0);
        auto* rep = new QHBoxLayout;
        rep->addWidget(SalesRep);
        rep->addWidget(lblFullName, 1);
        g->addLayout(rep, 0, 1, 1, 2);
        g->addWidget(Label7, 1, 0);
        g->addWidget(ShippedTo, 1, 1);
        g->addWidget(txtShipto_ID, 1, 2);
        g->addWidget(Label8, 2, 1, 1, 2);
        g->addWidget(Command2, 3, 0);
        auto* inv = new QHBoxLayout;
        inv->addWidget(InvoiceTo);
        inv->addStretch();
        g->addLayout(inv, 3, 1, 1, 2);
        g->setColumnStretch(1, 1);
    }
}

void frmPurchaseOrder::buildLines(QWidget* central) {
    Label22 = makeLabel(
        central, "Label22",
        QStringLiteral("Double click product code to add part. or Unit Price for more info......"));
    DataGrid1 = new DataGrid(central);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setAccessibleName(QStringLiteral("Order lines"));
    // A double click opens the part finder or the line details; typing edits.
    DataGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed |
                               QAbstractItemView::SelectedClicked);
    // Room for four lines: the window still fits a small screen with its status bar.
    DataGrid1->setMinimumHeight(120);
    // The delete question names the line by its product code and description.
    DataGrid1->setRowDescriber([this](int row) {
        return (DataGrid1->model().text(row, colPartId) + u' ' +
                DataGrid1->model().text(row, colDescription))
            .trimmed();
    });
    connect(DataGrid1, &DataGrid::AfterDelete, this, [this] { guarded([&] { ReCalc(); }); });
    linePrices_ = std::make_unique<LinePrices>([this] { return orderKey(); },
                                               [this] { return AccountNo->text(); });
    linePrices_->attach(DataGrid1->model(), colProductID, colUnitPrice);
    // By keyboard: Enter (or F4, Ctrl+Enter) does what a double click does,
    // the Menu key or a right click offers the same; Tab leaves the grid and
    // Ctrl+Tab or the arrows move inside it.
    DataGrid1->setEnterOpens(true);
    DataGrid1->setTabKeyNavigation(false);
    DataGrid1->setContextActions([this](QMenu& menu, int row, int) {
        auto openAt = [this, row](int column) {
            guarded([&] {
                ensureLists();
                DataGrid1->setCurrentCell(row, column);
                DataGrid1_DblClick();
            });
        };
        QAction* part = menu.addAction(QStringLiteral("Add Part..."));
        part->setObjectName(QStringLiteral("actAddPart"));
        part->setEnabled(!CustRef->Text().isEmpty());
        connect(part, &QAction::triggered, this, [openAt] { openAt(colPartId); });
        QAction* info = menu.addAction(QStringLiteral("More Info...."));
        info->setObjectName(QStringLiteral("actMoreInfo"));
        info->setEnabled(!CustRef->Text().isEmpty() && row < DataGrid1->rowCount());
        connect(info, &QAction::triggered, this, [openAt] { openAt(colUnitPrice); });
    });
}

void frmPurchaseOrder::buildButtons(QWidget* central) {
    Frame5 = new QGroupBox(central);
    Frame5->setObjectName(QStringLiteral("Frame5"));
    Command3 = makeButton(Frame5, "Command3", QStringLiteral("Previuos"));
    Command4 = makeButton(Frame5, "Command4", QStringLiteral("New PO"));
    Command7 = makeButton(Frame5, "Command7", QStringLiteral("Find"));
    Command8 = makeButton(Frame5, "Command8", QStringLiteral("Save"));
    Command5 = makeButton(Frame5, "Command5", QStringLiteral("Print"));
    Command9 = makeButton(Frame5, "Command9", QStringLiteral("Delete"));
    cmdEmail = makeButton(Frame5, "cmdEmail", QStringLiteral("&Email..."));
    Command6 = makeButton(Frame5, "Command6", QStringLiteral("EXIT"));
    {
        auto* v = new QVBoxLayout(Frame5);
        for (QPushButton* b :
             {Command3, Command4, Command7, Command8, Command5, cmdEmail, Command9})
            v->addWidget(b);
        v->addStretch();
        v->addWidget(Command6);
    }
}

void frmPurchaseOrder::buildMenu() {
    mnUtils = menuBar()->addMenu(QStringLiteral("Utils"));
    mnUtils->setObjectName(QStringLiteral("mnUtils"));
    mnPOInstr = mnUtils->addAction(QStringLiteral("PO Instructions"));
    mnPOInstr->setObjectName(QStringLiteral("mnPOInstr"));
    mnAddress = mnUtils->addAction(QStringLiteral("Edit Customer/Supplier Address"));
    mnAddress->setObjectName(QStringLiteral("mnAddress"));
    mnStaff = mnUtils->addAction(QStringLiteral("Edit PO Staff"));
    mnStaff->setObjectName(QStringLiteral("mnStaff"));
    mnStatus = mnUtils->addAction(QStringLiteral("Edit PO Status"));
    mnStatus->setObjectName(QStringLiteral("mnStatus"));
    mnDeliveries = mnUtils->addAction(QStringLiteral("Outstanding &Deliveries..."));
    mnDeliveries->setObjectName(QStringLiteral("mnDeliveries"));
}

void frmPurchaseOrder::connectHandlers() {
    // Handlers, each behind the guard. An action first reads the lists if
    // the window could not read them when it opened.
    using W = frmPurchaseOrder;
    handleEach<W, QPushButton>(&QPushButton::clicked,
                               {{Command1, &W::Command1_Click},
                                {Command2, &W::Command2_Click},
                                {Command3, &W::Command3_Click},
                                {Command4, &W::Command4_Click},
                                {Command5, &W::Command5_Click},
                                {Command6, &W::Command6_Click},
                                {Command7, &W::Command7_Click},
                                {Command8, &W::Command8_Click},
                                {Command9, &W::Command9_Click},
                                {cmdEmail, &W::cmdEmail_Click}},
                               true);
    // Typing in the totals boxes recalculates without reading the lists.
    auto onEdit = [this](auto* sender, auto signal, void (frmPurchaseOrder::*handler)()) {
        connect(sender, signal, this, [this, handler] { guarded([&] { (this->*handler)(); }); });
    };
    auto menu = [this](QAction* a, std::function<void(OrderHub&)> Openers::*which) {
        connect(a, &QAction::triggered, this, [this, which] { open(openers().*which); });
    };
    menu(mnPOInstr, &Openers::poInstructions);
    menu(mnAddress, &Openers::editSuppliers);
    menu(mnStaff, &Openers::editPurchasers);
    menu(mnStatus, &Openers::editStatuses);
    menu(mnDeliveries, &Openers::deliveries);
    onEdit(Discount, &QLineEdit::textChanged, &frmPurchaseOrder::Discount_Change);
    onEdit(VAT, &QLineEdit::textChanged, &frmPurchaseOrder::VAT_Change);
    onEdit(PackagePrice, &QLineEdit::textChanged, &frmPurchaseOrder::PackagePrice_Change);
    onEdit(ckPPrice, &QCheckBox::clicked, &frmPurchaseOrder::PackagePriceFlg);
    connect(DataGrid1, &DataGrid::AfterColEdit, this,
            [this](int column) { guarded([&] { DataGrid1_AfterColEdit(column); }); });
    handleEach<W, DataGrid>(&DataGrid::DblClick, {{DataGrid1, &W::DataGrid1_DblClick}}, true);
    // The totals follow every line removed; a written cell is followed up by AfterColEdit.
    connect(&DataGrid1->model(), &GridModel::cellWritten, this,
            [this](int row, int) { lastEditRow_ = row; });
    connect(&DataGrid1->model(), &QAbstractItemModel::rowsRemoved, this, [this] {
        if (!loading_)
            guarded([&] { ReCalc(); });
    });
    SalesRep->installEventFilter(this);
    ShippedTo->installEventFilter(this);
    QuotedDate->installEventFilter(this);
}

void frmPurchaseOrder::nameAndOrderControls() {
    // Labels name the box beside them.
    for (auto [label, box] :
         std::initializer_list<std::pair<QLabel*, QWidget*>>{{Label11, CustRef},
                                                             {Label12, Status},
                                                             {Label9, QuotedDate},
                                                             {Label6, SalesRep},
                                                             {Label7, ShippedTo},
                                                             {Label2, AccountNo},
                                                             {Label3, ContactName},
                                                             {Label4, Position_Department},
                                                             {Label5, Telephone},
                                                             {Label13, Discount},
                                                             {Label15, VAT},
                                                             {Label17, ValVal},
                                                             {Label22, DataGrid1}})
        label->setBuddy(box);
    // Alt+O goes to the status and Alt+C to the lines, where Tab would take many steps.
    Label12->setText(QStringLiteral("P&O Status:"));
    Label22->setText(
        Label22->text().replace(QStringLiteral("product code"), QStringLiteral("product &code")));

    // Tab follows the screen: reference and status, the supplier, the
    // purchaser and addresses, the lines, the totals, then the buttons.
    const QList<QWidget*> chain{
        CustRef,      Status,   QuotedDate, Command1,     CustomerShortname,
        CustomerName, Street,   Street2,    Town,         Postcode,
        AccountNo,    Title,    Initial,    ContactName,  Position_Department,
        Telephone,    SalesRep, ShippedTo,  Command2,     DataGrid1,
        Discount,     VAT,      ckPPrice,   PackagePrice, Command3,
        Command4,     Command7, Command8,   Command5,     cmdEmail,
        Command9,     Command6};
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

} // namespace zel
