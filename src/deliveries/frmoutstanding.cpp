#include "deliveries/frmoutstanding.h"
#include "app/csvsaving.h"
#include "app/dialogs.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "bound/orderhub.h"
#include "bound/reportpreview.h"
#include "reports/designs.h"
#include "values/csvfile.h"
#include "values/localetext.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <algorithm>

namespace zel {

using form::makeButton;
using form::makeLabel;
using form::named;

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

    model_ = new OutstandingModel(today_, this);

    lstLines = named(new QTableView(this), "lstLines", QStringLiteral("Outstanding lines"));
    lstLines->setModel(model_);
    lstLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstLines->setSelectionMode(QAbstractItemView::SingleSelection);
    lstLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstLines->setTabKeyNavigation(false);
    lstLines->setSortingEnabled(true);
    lstLines->sortByColumn(colDue, Qt::AscendingOrder);
    // Widths from the first rows on screen, not from every line.
    lstLines->horizontalHeader()->setResizeContentsPrecision(50);
    lstLines->verticalHeader()->hide();
    lstLines->horizontalHeader()->setSectionResizeMode(colDescription, QHeaderView::Stretch);
    lstLines->installEventFilter(this);
    // Sorting reads the list afresh: the line that was current stays so
    // when it is among the lines read, else the first line is.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex i = lstLines->currentIndex();
        currentLine_ = i.isValid() ? model_->lineAt(i.row()).line : 0;
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        const int row = std::max(0, model_->rowOfLine(currentLine_));
        if (row < model_->rowCount())
            lstLines->setCurrentIndex(model_->index(row, 0));
    });

    cmdOpen = makeButton(this, "cmdOpen", QStringLiteral("&Open Order"));
    cmdPrint = makeButton(this, "cmdPrint", QStringLiteral("&Print"));
    cmdSaveCsv = named(new QPushButton(QStringLiteral("Save as &CSV..."), this), "cmdSaveCsv",
                       QStringLiteral("Save as CSV"));
    cmdSaveCsv->setToolTip(QStringLiteral("Save the lines listed as a spreadsheet file"));
    askSavePath = [this](const QString& proposed) { return csvsaving::askPath(this, proposed); };
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
    model_->reload();
    cmbSupplier->clear();
    cmbSupplier->addItem(QStringLiteral("(All suppliers)"), QString());
    for (const QString& s : model_->suppliers())
        cmbSupplier->addItem(s, s);
    cmbSupplier->setCurrentIndex(std::max(0, cmbSupplier->findData(model_->supplier())));
    lstLines->resizeColumnsToContents();
    lstLines->horizontalHeader()->setSectionResizeMode(colDescription, QHeaderView::Stretch);
    showCount();
}

void frmOutstanding::chooseSupplier(const QString& supplier) {
    cmbSupplier->setCurrentIndex(std::max(0, cmbSupplier->findData(supplier)));
    model_->setSupplier(cmbSupplier->currentData().toString());
    showCount();
}

QString frmOutstanding::countText(int lines, int late) {
    return QStringLiteral("%1 line%2 outstanding, %3 late")
        .arg(lines)
        .arg(lines == 1 ? QString() : QStringLiteral("s"))
        .arg(late);
}

void frmOutstanding::showCount() {
    lblCount->setText(countText(model_->lineCount(), model_->lateCount()));
}

int frmOutstanding::shownCount() const {
    return model_->rowCount();
}

QString frmOutstanding::shownText(int row, int column) const {
    return model_->index(row, column).data().toString();
}

void frmOutstanding::openRow(int row) {
    if (row < 0 || row >= shownCount())
        return;
    const QString key = QString::number(model_->lineAt(row).order);
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
    return rowsOf(model_->allLines());
}

RowSet frmOutstanding::rowsOf(const QList<deliveries::Line>& lines) {
    RowSet rs;
    for (int c = 0; c < kColumns; ++c)
        rs.columns << OutstandingModel::field(c);
    for (const deliveries::Line& l : lines) {
        QVector<QVariant> row;
        for (int c = 0; c < kColumns; ++c)
            row << OutstandingModel::text(l, c);
        rs.rows << row;
    }
    return rs;
}

report::Document frmOutstanding::printout() const {
    return printout(model_->allLines());
}

report::Document frmOutstanding::printout(const QList<deliveries::Line>& lines) const {
    report::Design d = reports::rptOutstanding();
    const QString supplier = model_->supplier();
    d.setCaption(QStringLiteral("lblFilter"), supplier.isEmpty()
                                                  ? QStringLiteral("All suppliers")
                                                  : QStringLiteral("Supplier: ") + supplier);
    const auto late = std::count_if(lines.cbegin(), lines.cend(),
                                    [](const deliveries::Line& l) { return l.late(); });
    d.setCaption(QStringLiteral("lblCount"), countText(int(lines.size()), int(late)));
    report::ReportData data;
    data.rows = rowsOf(lines);
    data.kinds.fill(Kind::Text, kColumns);
    return report::layout(d, data, today_);
}

void frmOutstanding::cmdPrint_Click() {
    const QList<deliveries::Line> lines = model_->allLines();
    if (lines.isEmpty()) {
        messages().info(QStringLiteral("There are no outstanding deliveries to print."));
        return;
    }
    showReport(printout(lines));
}

void frmOutstanding::cmdSaveCsv_Click() {
    if (model_->rowCount() == 0) {
        messages().info(QStringLiteral("There are no outstanding deliveries to save."));
        return;
    }
    const QString path =
        askSavePath(csvsaving::proposedPath(QStringLiteral("Outstanding deliveries.csv")));
    if (!path.isEmpty())
        saveListAs(path);
}

bool frmOutstanding::saveListAs(const QString& path) {
    const QList<deliveries::Line> lines = model_->allLines();
    if (lines.isEmpty()) {
        messages().info(QStringLiteral("There are no outstanding deliveries to save."));
        return false;
    }
    QStringList header;
    for (int c = 0; c < kColumns; ++c)
        header << OutstandingModel::heading(c);
    QList<QStringList> rows;
    for (const deliveries::Line& l : lines) {
        QStringList row;
        for (int c = 0; c < kColumns; ++c)
            row << csv::field(OutstandingModel::value(l, c));
        rows << row;
    }
    return csvsaving::saveAndTell(path, header, rows, QStringLiteral("line"),
                                  QStringLiteral("lines"));
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
