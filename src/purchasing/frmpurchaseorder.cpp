#include "purchasing/frmpurchaseorder.h"
#include "app/dialogs.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "data/approval.h"
#include "data/schema.h"
#include "data/statuses.h"
#include "purchasing/frmorderdetails.h"
#include "values/convert.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QAction>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QStatusBar>
#include <QVBoxLayout>

namespace zel {

using namespace form;

frmPurchaseOrder::Openers& frmPurchaseOrder::openers() {
    static Openers o;
    return o;
}

frmPurchaseOrder::frmPurchaseOrder(QWidget* parent)
    : OrderWindow(QStringLiteral("Purchase Ordering"), parent) {
    setObjectName(QStringLiteral("frmPurchaseOrder"));
    buildUi();
    Form_Load();
}

bool frmPurchaseOrder::eventFilter(QObject* watched, QEvent* event) {
    // The keys that do what a click or double click on these boxes does:
    // Enter or F4, and for the purchaser also Space and Alt+Down as on a list.
    if (event->type() == QEvent::KeyPress &&
        (watched == SalesRep || watched == ShippedTo || watched == QuotedDate)) {
        const auto* k = static_cast<QKeyEvent*>(event);
        const auto mods = k->modifiers() & ~Qt::KeypadModifier;
        const bool plain = mods == Qt::NoModifier;
        bool opens = plain && (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter ||
                               k->key() == Qt::Key_F4);
        if (watched == SalesRep)
            opens = opens || (plain && k->key() == Qt::Key_Space) ||
                    (mods == Qt::AltModifier && k->key() == Qt::Key_Down);
        if (opens) {
            guarded([&] {
                ensureLists();
                if (watched == SalesRep)
                    SalesRep_Click();
                else if (watched == ShippedTo)
                    ShippedTo_DblClick();
                else
                    QuotedDate_DblClick();
            });
            return true;
        }
    }
    if (watched == SalesRep && event->type() == QEvent::MouseButtonPress)
        guarded([&] { SalesRep_Click(); });
    else if (watched == ShippedTo && event->type() == QEvent::MouseButtonDblClick)
        guarded([&] { ShippedTo_DblClick(); });
    else if (watched == QuotedDate && event->type() == QEvent::MouseButtonDblClick)
        guarded([&] { QuotedDate_DblClick(); });
    return HubWindow::eventFilter(watched, event);
}

// ---- load ------------------------------------------------------------------

QStringList frmPurchaseOrder::headerTexts() const {
    QStringList texts{CustRef->Text(), Status->Text()};
    for (const orders::HeaderField& f : headerFields())
        if (f.column != QLatin1String("Grand Total"))
            texts << f.text;
    return texts;
}

void frmPurchaseOrder::rememberHeader() {
    savedHeader_ = headerTexts();
}

bool frmPurchaseOrder::headerChanged() const {
    return headerTexts() != savedHeader_;
}

void frmPurchaseOrder::showStored() {
    // A new order has nothing stored to show: what was typed stays for the next try.
    if (orderKey() == 0)
        return;
    try {
        loadLines();
        Disp_MainData();
    } catch (const DbError&) {
        // Already told of the failure; the next action reconnects.
        showStoredStatus();
    }
}

void frmPurchaseOrder::showStoredStatus() {
    QVariant stored;
    if (orderKey() != 0) {
        try {
            stored = orders::storedStatus(orderKey());
        } catch (const DbError&) {
        }
    }
    const bool wasLoading = std::exchange(loading_, true);
    if (stored.isNull())
        Status->setText(QString());
    else
        Status->setBoundText(stored.toString());
    loading_ = wasLoading;
}

void frmPurchaseOrder::InitForm(bool clearRef) {
    const bool wasLoading = std::exchange(loading_, true);
    OrderWindow::InitForm(clearRef);
    for (QLineEdit* e : {ShippedTo, txtShipto_ID, InvoiceTo})
        e->clear();
    loading_ = wasLoading;
}

void frmPurchaseOrder::Disp_DataList() {
    // A dialog changed the lines: the totals follow them.
    loadLines();
    if (!loading_)
        ReCalc();
}

void frmPurchaseOrder::loadLines(bool keepCell) {
    const int row = DataGrid1->currentRow(), column = DataGrid1->currentColumn();
    DataGrid1->setEnabled(true);
    DataGrid1->bind(orders::poLinesStatement(), {orderKey()});
    GridModel& m = DataGrid1->model();
    m.setWriteTarget(schema::OrderDetails, QStringLiteral("ID"));
    m.setAllowUpdate(true);
    DataGrid1->setAllowAddNew(true, [this] { return newLineDefaults(); });
    DataGrid1->setAllowDelete(true);
    // The line discount is stored as a fraction and shown as a percentage.
    m.setColumnScale(colDiscount, 100);
    m.setReadOnlyColumn(colPartsStatus); // the status is stamped from the header
    // Shown: code to status; the key columns and what goods inward books are hidden.
    const std::pair<int, int> widths[] = {{colID, 0},
                                          {colOrderID, 0},
                                          {colProductID, 0},
                                          {colPartId, 1600},
                                          {colDescription, 4500},
                                          {colUnitPrice, 1000},
                                          {colQuantity, 900},
                                          {colDiscount, 1150},
                                          {colExtendedPrice, 1000},
                                          {colPartsStatus, 1100},
                                          {colQtyBI, 0},
                                          {colDateBI, 0},
                                          {colNotes, 0},
                                          {colLoc, 0},
                                          {colQtyOS, 0},
                                          {colGoodsDel, 0},
                                          {colGoodsDelNotes, 0},
                                          {colDueDate, 0}};
    for (auto [column, twips] : widths)
        DataGrid1->setColumnWidthTwips(column, twips);
    DataGrid1->setCaption(colExtendedPrice, QStringLiteral("Total Price"));
    DataGrid1->setCaption(colPartId, QStringLiteral("Product Code"));
    DataGrid1->setCaption(colDiscount, QStringLiteral("Discount %"));
    if (keepCell && row >= 0)
        DataGrid1->setCurrentCell(std::min(row, DataGrid1->rowCount() - 1), column);
}

namespace {
Money linesOnScreenSubTotal(GridModel& m);
} // namespace

void frmPurchaseOrder::Disp_MainData() {
    const bool wasLoading = std::exchange(loading_, true);
    struct Restore {
        bool& flag;
        bool value;
        ~Restore() { flag = value; }
    } restore{loading_, wasLoading};

    const RowSet rs = showStoredHeader();
    if (!rs.isEmpty()) {
        for (auto [box, column] : {std::pair{ShippedTo, "Shipped To"},
                                   {txtShipto_ID, "Shipto id"},
                                   {Discount, "Discount"},
                                   {VAT, "VAT"},
                                   {InvoiceTo, "InvoiceTo"}})
            showHeaderColumn(box, rs, QString::fromLatin1(column));
        showPackageMode();
        // Every caller has just read the stored lines into the grid: their sum is the stored one.
        showTotals(linesOnScreenSubTotal(DataGrid1->model()));
    }
    showWhichOrder();
    rememberHeader();
    orderform::rememberLoaded(*this, rs, headerFields());
}

// ---- header save and approval ---------------------------------------------

QList<orders::HeaderField> frmPurchaseOrder::headerFields() const {
    return supplierFields() + purchaserFields() +
           QList<orders::HeaderField>{
               {QStringLiteral("Shipped To"), ShippedTo->text(), QStringLiteral("Ship to")},
               {QStringLiteral("Shipto id"), txtShipto_ID->text(),
                QStringLiteral("Ship to number")},
               {QStringLiteral("Quoted Date"), QuotedDate->text(), QStringLiteral("Date Entered")},
               {QStringLiteral("Status"), Status->BoundText(), QStringLiteral("PO Status")},
           } +
           contactFields() +
           QList<orders::HeaderField>{
               {QStringLiteral("Discount"), Discount->text(), QStringLiteral("Discount")},
               {QStringLiteral("VAT"), VAT->text(), QStringLiteral("VAT")},
               // Out of package mode the order has no package price, so it loads as it was saved.
               {QStringLiteral("package price"),
                ckPPrice->isChecked() ? PackagePrice->text() : QString(),
                QStringLiteral("Pkg Price")},
               {QStringLiteral("CUSTOMER ID"), txtCustID->text(),
                QStringLiteral("Supplier number")},
               {QStringLiteral("InvoiceTo"), InvoiceTo->text(), QStringLiteral("Invoice to")},
               // The total as shown: the package total in package mode, else the final total.
               {QStringLiteral("Grand Total"),
                ckPPrice->isChecked() ? lblCalcPkg->text() : lblFinalTotal->text(),
                QStringLiteral("Total")},
           };
}

frmPurchaseOrder::SaveResult frmPurchaseOrder::SaveMainData() {
    if (!packageReady())
        return SaveResult::Stopped;
    // The totals as the stored lines give them now.
    ReCalc();
    const SaveResult r = orderform::saveHeader(
        *this, *Status, headerFields(), [this] { cmbLoadList1(); }, lastSaveError_);
    if (r == SaveResult::Saved) {
        rememberHeader();
        showWhichOrder();
        tellPackagePriceNotKept();
    }
    return r;
}

bool frmPurchaseOrder::packageReady() {
    if (ckPPrice->isChecked() && PackagePrice->text().trimmed().isEmpty()) {
        messages().info(
            QStringLiteral("Pkg Price is ticked but no package price is entered. Enter the package "
                           "price, or untick Pkg Price."));
        return false;
    }
    // Out of package mode the box is not saved, but what was typed there is
    // checked as in package mode: text that is no amount is refused, not dropped.
    if (!ckPPrice->isChecked() && !PackagePrice->text().trimmed().isEmpty()) {
        try {
            schema::columnValue(schema::OrderInformation, QStringLiteral("package price"),
                                PackagePrice->text(), QStringLiteral("Pkg Price"));
        } catch (const ConversionError& e) {
            messages().info(e.message());
            return false;
        }
    }
    return true;
}

void frmPurchaseOrder::tellPackagePriceNotKept() {
    if (ckPPrice->isChecked() || PackagePrice->text().trimmed().isEmpty())
        return;
    messages().info(QStringLiteral("Pkg Price is not ticked, so the package price %1 was not kept.")
                        .arg(PackagePrice->text()));
    // The box shows what is stored.
    PackagePrice->clear();
}

qint64 frmPurchaseOrder::getid() {
    return orders::findOrderByRef(CustRef->Text());
}

void frmPurchaseOrder::Status_Click(int area) {
    if (area != DataCombo::List)
        return;
    const bool approving = statuses::isApproved(Status->BoundText());
    if (approving) {
        // An approval that cannot be posted leaves the order as stored.
        const QString title = QStringLiteral("No Account no setup for this Supplier");
        if (AccountNo->text().isEmpty()) {
            messages().info(QStringLiteral("Supplier must have an Account No"), title);
            showStoredStatus();
            return;
        }
        if (CustRef->Text().isEmpty()) {
            messages().info(QStringLiteral("Please provide a Suppliers Ref"), title);
            showStoredStatus();
            return;
        }
    }
    if (!packageReady()) {
        showStoredStatus();
        return;
    }
    ReCalc();
    const SaveResult checked = orderform::checkHeader(*this, *Status);
    if (checked == SaveResult::Opened)
        return;
    if (checked != SaveResult::Saved) {
        showStoredStatus();
        return;
    }
    bool approve = false, alreadyPosted = false;
    if (approving) {
        if (orderKey() != 0 && approval::isPosted(orderKey()))
            alreadyPosted = true;
        else if (messages().question(
                     QStringLiteral(
                         "Option (A) indicates processing this Purchase Order has being Approved?"),
                     QStringLiteral("No Account no setup for this Supplier")))
            approve = true;
        else
            Status->setBoundText(QString::number(statuses::kDeclined));
    }
    // The header, the ledger row and the status on every line: all or nothing.
    approval::Result approved;
    const auto stamp = orderform::stampLines(*Status);
    const SaveResult r = orderform::writeHeader(
        *this, headerFields(), [this] { cmbLoadList1(); }, lastSaveError_,
        [&](qint64 key) {
            if (!approve) {
                stamp(key);
                return;
            }
            // Under the header's lock: another workstation may have approved it meanwhile.
            approved = approval::approve({key, Val(txtShipto_ID->text()), Val(AccountNo->text()),
                                          CustRef->Text(), QDate::currentDate()});
            if (approved.outcome == approval::Outcome::AlreadyPosted)
                alreadyPosted = true;
        });
    if (r == SaveResult::Failed) {
        messages().error(lastSaveError_);
        showStored();
        return;
    }
    if (r != SaveResult::Saved) {
        showStoredStatus();
        return;
    }
    rememberHeader();
    showWhichOrder();
    tellPackagePriceNotKept();
    loadLines();
    // Says what went to the ledger, as the ledger row holds it.
    if (approved.outcome == approval::Outcome::Posted)
        statusBar()->showMessage(QStringLiteral("Posted %1 to the ledger for order %2")
                                     .arg(currencyText(approved.posted))
                                     .arg(orderKey()));
    if (alreadyPosted)
        messages().info(QStringLiteral("Order %1 is already approved. Nothing more was posted.")
                            .arg(orderKey()));
}

// ---- lines and totals -----------------------------------------------------

std::optional<QVariantMap> frmPurchaseOrder::newLineDefaults() {
    // A line typed on a new order first creates the order.
    if (orderKey() == 0 && !SaveRow())
        return std::nullopt;
    return QVariantMap{{QStringLiteral("Order ID"), orderKey()}};
}

bool frmPurchaseOrder::SaveRow() {
    if (orderKey() == 0 && CustRef->Text().isEmpty()) {
        messages().info(QStringLiteral("Suppliers Reference cannot be empty"));
        return false;
    }
    if (orderKey() == 0) {
        SaveResult r = SaveMainData();
        if (r == SaveResult::Failed)
            messages().error(lastSaveError_);
        if (r != SaveResult::Saved)
            return false;
    }
    // The line's own values were written by the grid when edited; it belongs
    // to the order on screen.
    const QVariant lineKey = DataGrid1->value(colID);
    if (!lineKey.isNull())
        orders::adoptLine(orderKey(), lineKey);
    return orderKey() != 0;
}

void frmPurchaseOrder::DataGrid1_AfterColEdit(int column) {
    if (column == colProductID) {
        SaveRow();
    } else if (column == colPartId) {
        // A known code typed into an empty line brings its catalogue entry.
        const QVariant line = DataGrid1->model().value(lastEditRow_, colID);
        const QString code = DataGrid1->model().text(lastEditRow_, colPartId);
        const QVariant status =
            Status->BoundText().isEmpty() ? QVariant() : QVariant(Val(Status->BoundText()));
        if (!line.isNull() && !code.isEmpty() && orders::fillLineFromCatalogue(line, code, status))
            loadLines(true);
    } else if (column == colUnitPrice || column == colQuantity || column == colDiscount) {
        // The lines and totals follow; the header boxes keep what the user typed.
        if (SaveRow())
            loadLines(true);
    }
    ReCalc();
}

bool frmPurchaseOrder::isPartFound(const QString& code) {
    return orders::isKnownPart(code);
}

void frmPurchaseOrder::DataGrid1_DblClick() {
    if (CustRef->Text().isEmpty())
        return;
    const int column = DataGrid1->currentColumn();
    if (column == colPartId) {
        const QString code = DataGrid1->text(colPartId);
        if (!code.isEmpty() && !isPartFound(code)) {
            if (openers().partNotFound)
                openers().partNotFound(*this, code);
        } else if (openers().partFinder) {
            openers().partFinder(*this, code);
        }
    } else if (column == colUnitPrice && DataGrid1->currentRow() >= 0 &&
               DataGrid1->currentRow() < DataGrid1->rowCount()) {
        auto* dialog = dialogs().show<frmOrderDetails>(
            QStringLiteral("frmOrderDetails"), [this] { return new frmOrderDetails(*this); });
        PopulatefrmOrderDetails(*dialog);
    }
}

void frmPurchaseOrder::PopulatefrmOrderDetails(frmOrderDetails& d) {
    d.txtPartId->setText(DataGrid1->text(colPartId));
    d.txtID->setText(DataGrid1->text(colID));
    d.txtOrderID->setText(DataGrid1->text(colOrderID));
    d.txtDesc->setPlainText(DataGrid1->text(colDescription));
    d.txtUnitPrice->setText(DataGrid1->text(colUnitPrice));
    d.txtQty->setText(DataGrid1->text(colQuantity));
    d.txtDiscount->setText(DataGrid1->text(colDiscount));
    d.txtExtendedPrice->setText(DataGrid1->text(colExtendedPrice));
    d.GoodsDel->setChecked(Val(DataGrid1->text(colGoodsDel)) != 0);
    d.txtGoodaDelNotes->setPlainText(DataGrid1->text(colGoodsDelNotes));
    d.txtDueDate->setText(DataGrid1->text(colDueDate));
    const int row = DataGrid1->currentRow();
    d.showLastPrices(linePrices_->history(DataGrid1->value(colProductID).toLongLong()),
                     row >= 0 && row < DataGrid1->rowCount() ? linePrices_->priceOf(row)
                                                             : std::nullopt);
}

namespace {

// The sub-total of the lines in the grid, as orders::subTotal sums the stored
// ones: a keystroke in a totals box recomputes without asking the server.
// The sum is kept beside the model until its rows change.
Money linesOnScreenSubTotal(GridModel& m) {
    struct Kept : QObject {
        explicit Kept(GridModel& model) : QObject(&model) {
            setObjectName(QStringLiteral("linesSubTotal"));
            const auto forget = [this] { valid = false; };
            connect(&model, &QAbstractItemModel::modelReset, this, forget);
            connect(&model, &QAbstractItemModel::dataChanged, this, forget);
            connect(&model, &QAbstractItemModel::rowsInserted, this, forget);
            connect(&model, &QAbstractItemModel::rowsRemoved, this, forget);
            connect(&model, &QAbstractItemModel::layoutChanged, this, forget);
        }
        bool valid = false;
        Money sum;
    };
    auto* kept = static_cast<Kept*>(
        m.findChild<QObject*>(QStringLiteral("linesSubTotal"), Qt::FindDirectChildrenOnly));
    if (!kept)
        kept = new Kept(m);
    if (!kept->valid) {
        Money sum;
        for (const auto& row : m.rowSet().rows) {
            using namespace orders::poline;
            if (row[colUnitPrice].isNull() || row[colQuantity].isNull() ||
                row[colDiscount].isNull())
                continue;
            sum += Money::fromDouble(row[colUnitPrice].toDouble() * row[colQuantity].toDouble() *
                                     (1.0 - row[colDiscount].toDouble()));
        }
        kept->sum = sum;
        kept->valid = true;
    }
    return kept->sum;
}

} // namespace

void frmPurchaseOrder::Discount_Change() {
    if (!loading_)
        showTotals(linesOnScreenSubTotal(DataGrid1->model()));
}

void frmPurchaseOrder::VAT_Change() {
    if (!loading_)
        showTotals(linesOnScreenSubTotal(DataGrid1->model()));
}

void frmPurchaseOrder::PackagePrice_Change() {
    if (!loading_)
        showTotals(linesOnScreenSubTotal(DataGrid1->model()));
}

// ---- buttons --------------------------------------------------------------

void frmPurchaseOrder::Command1_Click() {
    open(openers().supplierPicker);
}

void frmPurchaseOrder::Command2_Click() {
    open(openers().invoiceToPicker);
}

void frmPurchaseOrder::Command3_Click() {
    // Another workstation may have added the last order since the list was read.
    cmbLoadList1();
    const qint64 last = orders::lastOrder();
    if (last == 0)
        return;
    CustRef->setBoundText(QString::number(last));
    loadLines();
    Disp_MainData();
}

void frmPurchaseOrder::Command4_Click() {
    InitForm(true);
    loadLines();
    Disp_MainData();
}

void frmPurchaseOrder::Command5_Click() {
    printShown(openers().print, QStringLiteral("Please click the Start button"));
}

void frmPurchaseOrder::Command6_Click() {
    if (!confirmLeave())
        return;
    leaving_ = true;
    Form_Unload();
}

bool frmPurchaseOrder::confirmLeave() {
    if (leaving_ || !headerChanged())
        return true;
    const QString which = orderKey() != 0 ? QString::number(orderKey()) : CustRef->Text();
    const QString question = which.isEmpty()
                                 ? QStringLiteral("Save the changes to the new order?")
                                 : QStringLiteral("Save the changes to order %1?").arg(which);
    switch (messages().ask(question, QStringLiteral("Purchase Ordering"),
                           MessageService::Answer::Yes)) {
    case MessageService::Answer::Yes: {
        const SaveResult r = SaveMainData();
        if (r == SaveResult::Failed) {
            messages().error(lastSaveError_);
            showStored();
        }
        return r == SaveResult::Saved;
    }
    case MessageService::Answer::No:
        return true;
    case MessageService::Answer::Cancel:
        break;
    }
    return false;
}

void frmPurchaseOrder::closeEvent(QCloseEvent* event) {
    bool stay = false;
    if (!guarded([&] { stay = !confirmLeave(); }))
        stay = true;
    if (stay) {
        event->ignore();
        return;
    }
    leaving_ = true;
    HubWindow::closeEvent(event);
}

void frmPurchaseOrder::Command7_Click() {
    open(openers().orderFinder);
}

void frmPurchaseOrder::Command8_Click() {
    // "Approved" that is not yet stored is an approval however it was chosen:
    // it asks, posts and stamps as a pick from the list does.
    if (statuses::isApproved(Status->BoundText())) {
        QVariant stored;
        if (orderKey() != 0)
            stored = orders::storedStatus(orderKey());
        if (!statuses::isApproved(stored)) {
            Status_Click(DataCombo::List);
            return;
        }
    }
    const SaveResult r = SaveMainData();
    orderform::reportSave(r, lastSaveError_);
    if (r == SaveResult::Failed)
        showStored();
}

void frmPurchaseOrder::Command9_Click() {
    deleteShownOrder();
}

void frmPurchaseOrder::cmdEmail_Click() {
    emailShown(openers().email, headerChanged(), QStringLiteral("Please click the Start button"));
}

void frmPurchaseOrder::QuotedDate_DblClick() {
    QuotedDate->setText(todayText());
}

void frmPurchaseOrder::SalesRep_Click() {
    open(openers().purchaserPicker);
}

void frmPurchaseOrder::ShippedTo_DblClick() {
    open(openers().shipToPicker);
}

} // namespace zel
