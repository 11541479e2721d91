#include "goodsin/frmgoodsin.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "connection/rowsetfile.h"
#include "data/schema.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QProcess>
#include <QStatusBar>
#include <QVBoxLayout>

namespace zel {

using namespace form;

frmGoodsIn::Openers& frmGoodsIn::openers() {
    static Openers o;
    return o;
}

frmGoodsIn::frmGoodsIn(QWidget* parent) : OrderWindow(QStringLiteral("Good In"), parent) {
    setObjectName(QStringLiteral("frmGoodsIn"));
    buildUi();
    Form_Load();
}

void frmGoodsIn::buildUi() {
    auto* central = new QWidget(this);
    setCentralWidget(central);
    buildSupplierBlock(central);
    buildReferenceSelector(central);
    buildPurchaserFrame(central);
    // Buttons
    Command10 = makeButton(central, "Command10", QStringLiteral("Find"));
    Command3 = makeButton(central, "Command3", QStringLiteral("Save"));
    Command5 = makeButton(central, "Command5", QStringLiteral("Print"));
    Command4 = makeButton(central, "Command4", QStringLiteral("Delete"));
    Command6 = makeButton(central, "Command6", QStringLiteral("EXIT"));
    Command11 = makeButton(central, "Command11", QStringLiteral("&Outstanding"));
    Command11->setToolTip(QStringLiteral("Order lines still to be delivered"));

    buildLines(central);
    buildTotalsBlock(central);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {Command10, Command3, Command5, Command4, Command11})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(Command6);

    auto* right = new QVBoxLayout;
    right->addWidget(Frame3);
    right->addWidget(Frame2);
    right->addStretch();
    auto* top = new QHBoxLayout;
    top->addWidget(Frame1, 3);
    top->addLayout(right, 3);
    top->addLayout(buttons);
    auto* main = new QVBoxLayout(central);
    main->addLayout(top);
    auto* scan = new QHBoxLayout;
    scan->addWidget(lblScan);
    scan->addWidget(txtScan, 1);
    scan->addSpacing(24);
    scan->addWidget(Label7);
    scan->addStretch();
    main->addLayout(scan);
    main->addWidget(DataGrid1, 1);
    main->addWidget(Frame4);

    connectHandlers();
    // Says what a scan booked in, without a box to close.
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    resize(1100, 760);
}

void frmGoodsIn::buildPurchaserFrame(QWidget* central) {
    // Purchaser and date
    Frame2 = new QGroupBox(central);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    buildPurchaserAndDate(Frame2);
    QuotedDate->setMaximumWidth(120);
    {
        auto* g = new QGridLayout(Frame2);
        g->addWidget(Label6, 0, 0);
        auto* rep = new QHBoxLayout;
        rep->addWidget(SalesRep);
        rep->addWidget(lblFullName, 1);
        g->addLayout(rep, 0, 1);
        g->addWidget(Label9, 1, 0);
        g->addWidget(QuotedDate, 1, 1);
        g->addWidget(Label10, 2, 1);
        g->setColumnStretch(1, 1);
    }
}

void frmGoodsIn::buildLines(QWidget* central) {
    // Lines
    Label7 =
        makeLabel(central, "Label7", QStringLiteral("Double-click to launch Stock Control..."));
    DataGrid1 = new DataGrid(central);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setAccessibleName(QStringLiteral("Order lines"));
    // A double click hands the line to stock control and opens no editor; a
    // cell is edited by typing, F2 or Enter.
    DataGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    DataGrid1->setEditOnEnter(true);
    // The delete question names the line by its part code and description.
    DataGrid1->setRowDescriber([this](int row) { return describeLine(row); });
    // Booking in more than was ordered is asked first.
    DataGrid1->model().setWriteQuestion([this](int row, int column, const QVariant& stored) {
        return overBookingQuestion(row, column, stored);
    });
    DataGrid1->setMinimumHeight(180);

    // Booking in by part code: a scanner types the code and Enter here.
    lblScan = makeLabel(central, "lblScan", QStringLiteral("Scan or type a part &code:"));
    txtScan = makeBox(central, "txtScan", QStringLiteral("Scan or type a part code"));
    lblScan->setBuddy(txtScan);
    // Tab follows the screen: the box, then the lines under it.
    setTabOrder(txtScan, DataGrid1);
    txtScan->setMaximumWidth(260);
    txtScan->setPlaceholderText(QStringLiteral("IMP-100, or 3*IMP-100 for three"));
    txtScan->setToolTip(
        QStringLiteral("Enter books one more of the line with this part code in; 3*code books "
                       "three"));
}

void frmGoodsIn::connectHandlers() {
    // Handlers, each behind the guard.
    handleEach<frmGoodsIn, QPushButton>(&QPushButton::clicked,
                                        {{Command3, &frmGoodsIn::Command3_Click},
                                         {Command4, &frmGoodsIn::Command4_Click},
                                         {Command5, &frmGoodsIn::Command5_Click},
                                         {Command6, &frmGoodsIn::Command6_Click},
                                         {Command10, &frmGoodsIn::Command10_Click},
                                         {Command11, &frmGoodsIn::Command11_Click}},
                                        false);
    connect(DataGrid1, &DataGrid::AfterColEdit, this,
            [this](int column) { guarded([&] { DataGrid1_AfterColEdit(column); }); });
    handleEach<frmGoodsIn, DataGrid>(&DataGrid::DblClick,
                                     {{DataGrid1, &frmGoodsIn::DataGrid1_DblClick}}, false);
    handleEach<frmGoodsIn, QLineEdit>(&QLineEdit::returnPressed,
                                      {{txtScan, &frmGoodsIn::txtScan_Enter}}, false);
    // A deleted line no longer counts in the totals.
    connect(DataGrid1, &DataGrid::AfterDelete, this, [this] { guarded([&] { ReCalc(); }); });
    connect(&DataGrid1->model(), &GridModel::cellWritten, this,
            [this](int row, int) { lastEditRow_ = row; });
}

void frmGoodsIn::Disp_MainData() {
    const RowSet rs = showStoredHeader();
    if (!rs.isEmpty()) {
        // The order's own discount and VAT rate belong to the purchase order
        // window; here the totals are those of the lines.
        showPackageMode();
        ReCalc();
    }
    orderform::rememberLoaded(*this, rs, headerFields());
}

void frmGoodsIn::Disp_DataList() {
    DataGrid1->setEnabled(true);
    try {
        DataGrid1->bind(orders::goodsInLinesStatement(), {orderKey()});
    } catch (const DbError&) {
        // The header load that follows reports the failure; the grid never
        // shows the lines of another order meanwhile.
        DataGrid1->model().clear();
        return;
    }
    GridModel& m = DataGrid1->model();
    m.setWriteTarget(schema::OrderDetails, QStringLiteral("ID"));
    DataGrid1->setAllowUpdate(true);
    DataGrid1->setAllowAddNew(true, [this] { return newLineDefaults(); });
    DataGrid1->setAllowDelete(true);
    // The line discount is stored as a fraction and shown and typed as a
    // percentage, as in the purchase order window.
    m.setColumnScale(colDiscount, 100);
    DataGrid1->setCaption(colDiscount, QStringLiteral("Discount %"));
    for (int c : {colID, colOrderID, colProductID, colPartsStatus, colLoc})
        DataGrid1->setColumnWidthTwips(c, 0);
    // Narrow number columns, so what is outstanding shows without scrolling.
    const std::pair<int, int> widths[] = {
        {colPartId, 1400}, {colDescription, 3600}, {colUnitPrice, 950}, {colQuantity, 850},
        {colQtyBI, 750},   {colDateBI, 1150},      {colDiscount, 1100}, {colExtendedPrice, 1450},
        {colNotes, 1800},  {colQtyOS, 750},        {colGoodsDel, 900},  {colGoodsDelNotes, 2400},
        {colDueDate, 1150}};
    for (auto [column, twips] : widths)
        DataGrid1->setColumnWidthTwips(column, twips);
}

std::optional<QVariantMap> frmGoodsIn::newLineDefaults() {
    // A line typed into the grid belongs to the order on screen.
    if (orderKey() == 0) {
        messages().info(QStringLiteral("Please select a Suppliers Reference"));
        return std::nullopt;
    }
    return QVariantMap{{QStringLiteral("Order ID"), orderKey()}};
}

// ---- the grid --------------------------------------------------------------

void frmGoodsIn::DataGrid1_AfterColEdit(int column) {
    if (column != colQtyBI)
        return;
    // The outstanding quantity follows what was booked in.
    const int row = lastEditRow_;
    const QVariant qty = DataGrid1->model().value(row, colQuantity);
    const QVariant booked = DataGrid1->model().value(row, colQtyBI);
    DataGrid1->model().setShownValue(row, colQtyOS,
                                     qty.isNull() || booked.isNull()
                                         ? QVariant()
                                         : QVariant(qty.toLongLong() - booked.toLongLong()));
}

QString frmGoodsIn::describeLine(int row) const {
    const GridModel& m = DataGrid1->model();
    return (m.text(row, colPartId) + u' ' + m.text(row, colDescription)).trimmed();
}

QString frmGoodsIn::overBookingQuestion(int row, int column, const QVariant& booked) const {
    const QVariant ordered = DataGrid1->model().value(row, colQuantity);
    if (column != colQtyBI || booked.isNull() || ordered.isNull() ||
        Val(booked.toString()) <= Val(ordered.toString()))
        return {};
    return QStringLiteral("Book in %1 on line %2, %3? Only %4 were ordered.")
        .arg(booked.toString())
        .arg(row + 1)
        .arg(describeLine(row), ordered.toString());
}

void frmGoodsIn::DataGrid1_DblClick() {
    // Hands the line's part code to the practice's stock control program and
    // goes on at once; a missing setting or a program that cannot be started
    // changes nothing here.
    const int row = DataGrid1->currentRow();
    if (row < 0 || row >= DataGrid1->rowCount())
        return;
    const std::optional<QString> program = readSetting(QStringLiteral("StockControl"));
    if (!program || program->trimmed().isEmpty())
        return;
    QProcess::startDetached(*program, {DataGrid1->text(colPartId)});
}

// ---- header save and status ------------------------------------------------

QList<orders::HeaderField> frmGoodsIn::headerFields() const {
    return supplierFields() + purchaserFields() +
           QList<orders::HeaderField>{
               {QStringLiteral("Quoted Date"), QuotedDate->text(), QStringLiteral("Date Entered")},
               {QStringLiteral("Status"),
                Status->Text().isEmpty() ? QString() : Status->BoundText(),
                QStringLiteral("PO Status")},
           } +
           contactFields() +
           QList<orders::HeaderField>{
               {QStringLiteral("CUSTOMER ID"), txtCustID->text(),
                QStringLiteral("Supplier number")},
           };
}

frmGoodsIn::SaveResult frmGoodsIn::SaveMainData() {
    return orderform::saveHeader(
        *this, *Status, headerFields(), [this] { cmbLoadList1(); }, lastSaveError_);
}

void frmGoodsIn::Status_Click(int area) {
    if (area != DataCombo::List)
        return;
    // The header and the status on every line are written together or not at all.
    const SaveResult r = orderform::saveHeader(
        *this, *Status, headerFields(), [this] { cmbLoadList1(); }, lastSaveError_,
        orderform::stampLines(*Status));
    if (r == SaveResult::Failed)
        messages().error(lastSaveError_);
    if (r != SaveResult::Saved)
        return;
    Disp_DataList();
}

// ---- buttons ---------------------------------------------------------------

void frmGoodsIn::Command3_Click() {
    const SaveResult r = SaveMainData();
    orderform::reportSave(r, lastSaveError_);
}

void frmGoodsIn::Command4_Click() {
    deleteShownOrder();
}

void frmGoodsIn::Command5_Click() {
    printShown(openers().print, QStringLiteral("Please select a Suppliers Reference"));
}

void frmGoodsIn::Command6_Click() {
    Form_Unload();
}

void frmGoodsIn::Command10_Click() {
    open(openers().orderFinder);
}

void frmGoodsIn::Command11_Click() {
    open(openers().deliveries);
}

} // namespace zel
