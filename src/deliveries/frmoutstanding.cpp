#include "deliveries/frmoutstanding.h"
#include "app/csvfile.h"
#include "app/dialogs.h"
#include "app/guard.h"
#include "app/localetext.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "bound/orderhub.h"
#include "bound/reportpreview.h"
#include "reports/designs.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace zel {

using form::makeButton;
using form::makeLabel;
using form::named;

namespace {

// Where each cell keeps what it is sorted by, and the first cell the order's key.
constexpr int kSortRole = Qt::UserRole;
constexpr int kOrderRole = Qt::UserRole + 1;
// The cell's value as a spreadsheet takes it (a date, a number; none when blank).
constexpr int kValueRole = Qt::UserRole + 2;

// Captions on screen and the column names the report and the file use.
struct Heading {
    const char* caption;
    const char* field;
};
constexpr Heading kHeadings[frmOutstanding::kColumns] = {
    {"Supplier", "Supplier"},   {"Order Ref", "Customer Ref"}, {"Date Ordered", "Quoted Date"},
    {"Due Date", "DueDate"},    {"Product Code", "Part Id"},   {"Description", "Description"},
    {"Ordered", "Quantity"},    {"Booked In", "Qty BI"},       {"Outstanding", "Qty OS"},
    {"Days Late", "Days Late"},
};

QString dateText(QDate d) {
    return d.isValid() ? shortDateText(d) : QString();
}

QString lateText(const deliveries::Line& l) {
    return QStringLiteral("Late: due %1, %2 day%3 ago")
        .arg(shortDateText(l.due))
        .arg(l.daysLate)
        .arg(l.daysLate == 1 ? QString() : QStringLiteral("s"));
}

// One line of the list as its row of cells.
QList<QStandardItem*> rowOf(const deliveries::Line& l) {
    auto cell = [](const QString& text, const QVariant& sortKey) {
        auto* item = new QStandardItem(text);
        item->setData(sortKey, kSortRole);
        item->setData(text, kValueRole);
        item->setEditable(false);
        return item;
    };
    auto number = [&](int n, bool blankZero = false) {
        QStandardItem* item = cell(blankZero && n == 0 ? QString() : QString::number(n), n);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        item->setData(blankZero && n == 0 ? QVariant() : QVariant(n), kValueRole);
        return item;
    };
    // Lines without a due date come after every dated one.
    const QDate dueKey = l.due.isValid() ? l.due : QDate(9999, 12, 31);
    QList<QStandardItem*> row = {
        cell(l.supplier, l.supplier.toCaseFolded()),
        cell(l.orderRef, l.orderRef.toCaseFolded()),
        cell(dateText(l.ordered), l.ordered),
        cell(dateText(l.due), dueKey),
        cell(l.partId, l.partId.toCaseFolded()),
        cell(l.description, l.description.toCaseFolded()),
        number(l.quantity),
        number(l.booked),
        number(l.outstanding()),
        number(l.daysLate, true),
    };
    row[frmOutstanding::colSupplier]->setData(l.order, kOrderRole);
    row[frmOutstanding::colOrdered]->setData(l.ordered.isValid() ? QVariant(l.ordered) : QVariant(),
                                             kValueRole);
    row[frmOutstanding::colDue]->setData(l.due.isValid() ? QVariant(l.due) : QVariant(),
                                         kValueRole);
    if (l.late()) {
        // Late lines stand out by colour and weight, and say so to a screen
        // reader and to the pointer.
        const QString why = lateText(l);
        for (QStandardItem* item : row) {
            item->setForeground(QColor(170, 0, 0));
            item->setToolTip(why);
            item->setData(why, Qt::AccessibleDescriptionRole);
        }
        QFont bold;
        bold.setBold(true);
        row[frmOutstanding::colDaysLate]->setFont(bold);
        row[frmOutstanding::colDue]->setFont(bold);
    }
    return row;
}

} // namespace

frmOutstanding::frmOutstanding(OrderHub& hub, QWidget* parent, std::optional<QDate> today)
    : QWidget(parent, Qt::Window), hub_(hub), today_(today.value_or(QDate::currentDate())) {
    setObjectName(QStringLiteral("frmOutstanding"));
    setWindowTitle(QStringLiteral("Outstanding Deliveries"));
    buildUi();
    guarded([&] { Refresh(); });
}

void frmOutstanding::buildUi() {
    Label1 = makeLabel(this, "Label1", QStringLiteral("&Supplier:"));
    cmbSupplier = named(new QComboBox(this), "cmbSupplier", QStringLiteral("Supplier"));
    cmbSupplier->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmbSupplier->setMinimumContentsLength(30);
    Label1->setBuddy(cmbSupplier);
    lblCount = makeLabel(this, "lblCount", QString());

    model_ = new QStandardItemModel(0, kColumns, this);
    for (int c = 0; c < kColumns; ++c)
        model_->setHeaderData(c, Qt::Horizontal, QString::fromLatin1(kHeadings[c].caption));
    shown_ = new QSortFilterProxyModel(this);
    shown_->setSourceModel(model_);
    shown_->setSortRole(kSortRole);
    shown_->setFilterKeyColumn(colSupplier);

    lstLines = named(new QTableView(this), "lstLines", QStringLiteral("Outstanding lines"));
    lstLines->setModel(shown_);
    lstLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstLines->setSelectionMode(QAbstractItemView::SingleSelection);
    lstLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstLines->setTabKeyNavigation(false);
    lstLines->setSortingEnabled(true);
    lstLines->sortByColumn(colDue, Qt::AscendingOrder);
    lstLines->verticalHeader()->hide();
    lstLines->horizontalHeader()->setSectionResizeMode(colDescription, QHeaderView::Stretch);
    lstLines->installEventFilter(this);

    cmdOpen = makeButton(this, "cmdOpen", QStringLiteral("&Open Order"));
    cmdPrint = makeButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdSaveCsv = named(new QPushButton(QStringLiteral("Save as &CSV..."), this), "cmdSaveCsv",
                       QStringLiteral("Save as CSV"));
    cmdSaveCsv->setToolTip(QStringLiteral("Save the lines listed as a spreadsheet file"));
    askSavePath = [this](const QString& proposed) {
        QFileDialog dialog(this, QStringLiteral("Save as CSV"), proposed,
                           QStringLiteral("CSV files (*.csv)"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        // A name typed without an ending gets .csv, and replacing a file is asked first.
        dialog.setDefaultSuffix(QStringLiteral("csv"));
        dialog.selectFile(proposed);
        return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
    };
    cmdRefresh = makeButton(this, "cmdRefresh", QStringLiteral("&Refresh"));
    cmdClose = makeButton(this, "cmdClose", QStringLiteral("Close"));

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(cmbSupplier);
    top->addStretch();
    top->addWidget(lblCount);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdOpen);
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdSaveCsv);
    buttons->addWidget(cmdRefresh);
    buttons->addStretch();
    buttons->addWidget(cmdClose);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(lstLines, 1);
    v->addLayout(buttons);
    resize(1100, 520);

    connect(cmbSupplier, &QComboBox::activated, this,
            [this] { chooseSupplier(cmbSupplier->currentData().toString()); });
    connect(lstLines, &QTableView::doubleClicked, this,
            [this](const QModelIndex& i) { guarded([&] { openRow(i.row()); }); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { guarded([&] { cmdOpen_Click(); }); });
    connect(cmdPrint, &QPushButton::clicked, this, [this] { guarded([&] { cmdPrint_Click(); }); });
    connect(cmdSaveCsv, &QPushButton::clicked, this,
            [this] { guarded([&] { cmdSaveCsv_Click(); }); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { guarded([&] { Refresh(); }); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

void frmOutstanding::Refresh() {
    const QString chosen = cmbSupplier->currentData().toString();
    fill(deliveries::outstanding(today_));
    chooseSupplier(cmbSupplier->findData(chosen) >= 0 ? chosen : QString());
}

void frmOutstanding::fill(const QList<deliveries::Line>& lines) {
    model_->removeRows(0, model_->rowCount());
    QStringList suppliers;
    for (const deliveries::Line& l : lines) {
        model_->appendRow(rowOf(l));
        if (!l.supplier.isEmpty())
            suppliers << l.supplier;
    }
    suppliers.removeDuplicates();
    suppliers.sort(Qt::CaseInsensitive);
    cmbSupplier->clear();
    cmbSupplier->addItem(QStringLiteral("(All suppliers)"), QString());
    for (const QString& s : suppliers)
        cmbSupplier->addItem(s, s);
    lstLines->resizeColumnsToContents();
    lstLines->horizontalHeader()->setSectionResizeMode(colDescription, QHeaderView::Stretch);
}

void frmOutstanding::chooseSupplier(const QString& supplier) {
    cmbSupplier->setCurrentIndex(std::max(0, cmbSupplier->findData(supplier)));
    shown_->setFilterRegularExpression(supplier.isEmpty()
                                           ? QRegularExpression()
                                           : QRegularExpression(QRegularExpression::anchoredPattern(
                                                 QRegularExpression::escape(supplier))));
    if (shownCount() > 0 && !lstLines->currentIndex().isValid())
        lstLines->setCurrentIndex(shown_->index(0, 0));
    showCount();
}

void frmOutstanding::showCount() {
    int late = 0;
    for (int r = 0; r < shownCount(); ++r)
        late += shown_->index(r, colDaysLate).data(kSortRole).toInt() > 0 ? 1 : 0;
    const int n = shownCount();
    lblCount->setText(QStringLiteral("%1 line%2 outstanding, %3 late")
                          .arg(n)
                          .arg(n == 1 ? QString() : QStringLiteral("s"))
                          .arg(late));
}

int frmOutstanding::shownCount() const {
    return shown_->rowCount();
}

QString frmOutstanding::shownText(int row, int column) const {
    return shown_->index(row, column).data().toString();
}

void frmOutstanding::openRow(int row) {
    if (row < 0 || row >= shownCount())
        return;
    const QString key = shown_->index(row, colSupplier).data(kOrderRole).toString();
    DataCombo* ref = hub_.custRef();
    // An order another workstation added since the hub listed its orders.
    if (ref->listModel().rowOfKey(key) < 0)
        ref->refresh();
    ref->setBoundText(key);
    hub_.CustRef_Click(DataCombo::List);
    hub_.hubWidget()->raise();
    hub_.hubWidget()->activateWindow();
}

void frmOutstanding::cmdOpen_Click() {
    openRow(lstLines->currentIndex().row());
}

RowSet frmOutstanding::shownRows() const {
    RowSet rs;
    for (const Heading& h : kHeadings)
        rs.columns << QString::fromLatin1(h.field);
    for (int r = 0; r < shownCount(); ++r) {
        QVector<QVariant> row;
        for (int c = 0; c < kColumns; ++c)
            row << shownText(r, c);
        rs.rows << row;
    }
    return rs;
}

report::Document frmOutstanding::printout() const {
    report::Design d = reports::rptOutstanding();
    const QString supplier = cmbSupplier->currentData().toString();
    d.setCaption(QStringLiteral("lblFilter"), supplier.isEmpty()
                                                  ? QStringLiteral("All suppliers")
                                                  : QStringLiteral("Supplier: ") + supplier);
    d.setCaption(QStringLiteral("lblCount"), lblCount->text());
    report::ReportData data;
    data.rows = shownRows();
    data.kinds.fill(Kind::Text, kColumns);
    return report::layout(d, data, today_);
}

void frmOutstanding::cmdPrint_Click() {
    if (shownCount() == 0) {
        messages().info(QStringLiteral("There are no outstanding deliveries to print."));
        return;
    }
    showReport(printout());
}

void frmOutstanding::cmdSaveCsv_Click() {
    if (shownCount() == 0) {
        messages().info(QStringLiteral("There are no outstanding deliveries to save."));
        return;
    }
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    const QString path =
        askSavePath(QDir(folder).filePath(QStringLiteral("Outstanding deliveries.csv")));
    if (!path.isEmpty())
        saveListAs(path);
}

bool frmOutstanding::saveListAs(const QString& path) {
    if (shownCount() == 0) {
        messages().info(QStringLiteral("There are no outstanding deliveries to save."));
        return false;
    }
    QStringList header;
    for (int c = 0; c < kColumns; ++c)
        header << model_->headerData(c, Qt::Horizontal).toString();
    QList<QStringList> rows;
    for (int r = 0; r < shownCount(); ++r) {
        QStringList row;
        for (int c = 0; c < kColumns; ++c)
            row << csv::field(shown_->index(r, c).data(kValueRole));
        rows << row;
    }
    try {
        csv::save(path, header, rows);
    } catch (const std::runtime_error& e) {
        messages().error(QString::fromStdString(e.what()));
        return false;
    }
    const QString where = QDir::toNativeSeparators(path);
    messages().info(
        rows.size() == 1
            ? QStringLiteral("The line listed was saved as %1").arg(where)
            : QStringLiteral("The %1 lines listed were saved as %2").arg(rows.size()).arg(where));
    return true;
}

void frmOutstanding::cmdClose_Click() {
    close();
}

bool frmOutstanding::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lstLines && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded([&] { cmdOpen_Click(); });
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

namespace deliveries {
void openOutstanding(OrderHub& hub) {
    dialogs().show<frmOutstanding>(QStringLiteral("frmOutstanding"),
                                   [&] { return new frmOutstanding(hub); });
}
} // namespace deliveries

} // namespace zel
