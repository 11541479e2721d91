#include "search/frmfindrecord.h"
#include "app/csvsaving.h"
#include "app/guard.h"
#include "app/messages.h"
#include "bound/formcontrols.h"
#include "bound/reportpreview.h"
#include "search/rptprintresult.h"
#include "values/csvfile.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QButtonGroup>
#include <QCollator>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStyledItemDelegate>
#include <QVBoxLayout>
#include <algorithm>

namespace zel {

using form::named;

namespace {

QString dateHint() {
    return todayText(QDate(2001, 4, 12));
}

// Shows an amount as the workstation's currency text; the list keeps the
// amount itself for the total and for sorting.
class CurrencyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        const QString text = value.toString();
        if (auto m = Money::fromDecimalText(text))
            return currencyText(*m);
        return QStyledItemDelegate::displayText(value, locale);
    }
};

// -1, 0 or 1 as `a` sorts before, with or after `b` in a column of `kind`;
// empty cells come first.
int compareCells(const QVariant& a, const QVariant& b, Kind kind, const QCollator& collator) {
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    switch (kind) {
    case Kind::Date: {
        const QDateTime x = a.toDateTime(), y = b.toDateTime();
        return int(x > y) - int(x < y);
    }
    case Kind::Money:
    case Kind::Number:
    case Kind::Integer:
    case Kind::Flag: {
        const auto x = Money::fromDecimalText(a.toString()),
                   y = Money::fromDecimalText(b.toString());
        if (x && y)
            return int(*x > *y) - int(*x < *y);
        const double dx = a.toDouble(), dy = b.toDouble();
        return int(dx > dy) - int(dx < dy);
    }
    case Kind::Text:
        break;
    }
    return collator.compare(a.toString(), b.toString());
}

// The list as a spreadsheet holds it: the shown columns with their headings,
// amounts as plain decimals and dates as dates, everything else as shown.
std::pair<QStringList, QList<QStringList>> shownList(const DataGrid& grid) {
    const GridModel& m = grid.model();
    QList<int> shown;
    QStringList header;
    for (int c = 0; c < m.columnCount(); ++c)
        if (!grid.isColumnHidden(c) && grid.columnWidth(c) > 0) {
            shown << c;
            header << grid.caption(c);
        }
    QList<QStringList> rows;
    for (int r = 0; r < grid.rowCount(); ++r) {
        QStringList row;
        for (int c : shown) {
            const QVariant v = m.value(r, c);
            if (v.isNull()) {
                row << QString();
                continue;
            }
            switch (m.columnKind(c)) {
            case Kind::Money:
                if (auto amount = Money::fromDecimalText(v.toString()))
                    row << csv::field(QVariant::fromValue(*amount));
                else
                    row << csv::field(v);
                break;
            case Kind::Date:
                row << csv::field(v);
                break;
            default:
                row << m.text(r, c);
            }
        }
        rows << row;
    }
    return {header, rows};
}

} // namespace

frmFindRecord::frmFindRecord(OrderHub& hub, Caller caller, Database& db, QWidget* parent)
    : QWidget(parent, Qt::Window), hub_(hub), caller_(caller), db_(db) {
    const bool po = caller == Caller::PurchaseOrder;
    setObjectName(po ? QStringLiteral("frmFindRecord") : QStringLiteral("frmFindGoodsRecord"));
    setWindowTitle(po ? QStringLiteral("Find Record") : QStringLiteral("PO Finder"));

    Label1 = named(new QLabel(QStringLiteral("PO Finder"), this), "Label1");
    QFont title = Label1->font();
    title.setPointSizeF(title.pointSizeF() * 1.5);
    title.setBold(true);
    Label1->setFont(title);
    Label2 =
        named(new QLabel(QStringLiteral("How would you like to search for the information?"), this),
              "Label2");
    auto* Frame1 = named(new QGroupBox(this), "Frame1");
    auto* group = new QButtonGroup(this);
    const char* captions[] = {"",
                              "By a single date",
                              "By month and year",
                              "By a date range",
                              "By a product group",
                              "By a Dentist number"};
    auto* options = new QVBoxLayout(Frame1);
    for (int i = 1; i <= 5; ++i) {
        FindOptions[i] = new QRadioButton(QString::fromLatin1(captions[i]), Frame1);
        FindOptions[i]->setObjectName(QStringLiteral("FindOptions_%1").arg(i));
        FindOptions[i]->setAccessibleName(FindOptions[i]->text());
        group->addButton(FindOptions[i], i);
        options->addWidget(FindOptions[i]);
    }
    Label3 = named(
        new QLabel(QStringLiteral(
                       "Use the mouse to click an option, type in the criteria and press the start "
                       "button to proceed..."),
                   this),
        "Label3");
    Label3->setWordWrap(true);
    DescLabel = named(new QLabel(QStringLiteral("DescLabel"), this), "DescLabel");
    SingleDate = named(new QLineEdit(this), "SingleDate", QStringLiteral("Date"));
    SingleMonth = named(new QLineEdit(this), "SingleMonth", QStringLiteral("Month"));
    Yearfield = named(new QLineEdit(this), "Yearfield", QStringLiteral("Year"));
    FirstDate = named(new QLineEdit(this), "FirstDate", QStringLiteral("First date"));
    LabelAnd = named(new QLabel(QStringLiteral("And"), this), "LabelAnd");
    SecondDate = named(new QLineEdit(this), "SecondDate", QStringLiteral("Second date"));
    ProductGroup = named(new QLineEdit(this), "ProductGroup", QStringLiteral("Product group"));
    for (QLineEdit* e : {SingleDate, FirstDate, SecondDate})
        e->setPlaceholderText(QStringLiteral("dd/mm/yyyy"));
    SingleMonth->setPlaceholderText(QStringLiteral("mm"));
    Yearfield->setPlaceholderText(QStringLiteral("yyyy"));
    for (QLineEdit* e : {SingleDate, FirstDate, SecondDate, ProductGroup})
        e->setMaximumWidth(120);
    SingleMonth->setMaximumWidth(50);
    Yearfield->setMaximumWidth(70);
    RepsHeld = named(new DataList(this), "RepsHeld", QStringLiteral("Dentists"));
    // The dentists in name order; the chosen ones stay in the order chosen.
    RepsHeld->model()->sort(0);
    ButtonSingle = named(new QPushButton(QStringLiteral(">"), this), "ButtonSingle",
                         QStringLiteral("Add dentist"));
    RepsBin = named(new DataList(this), "RepsBin", QStringLiteral("Chosen dentists"));
    RepsBin->setToolTip(QStringLiteral("Click a dentist to take them off the search"));
    Command1 =
        named(new QPushButton(QStringLiteral("Start"), this), "Command1", QStringLiteral("Start"));
    Command2 =
        named(new QPushButton(QStringLiteral("Print"), this), "Command2", QStringLiteral("Print"));
    Command3 =
        named(new QPushButton(QStringLiteral("Exit"), this), "Command3", QStringLiteral("Exit"));
    cmdSaveCsv = named(new QPushButton(QStringLiteral("Save as &CSV..."), this), "cmdSaveCsv",
                       QStringLiteral("Save as CSV"));
    cmdSaveCsv->setToolTip(QStringLiteral("Save the orders listed as a spreadsheet file"));
    cmdSaveCsv->setEnabled(false);
    askSavePath = [this](const QString& proposed) { return csvsaving::askPath(this, proposed); };
    ListDetails = named(new DataGrid(this), "ListDetails", QStringLiteral("Orders found"));
    ListDetails->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListDetails->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A click on a heading sorts the list by it, a second click the other way round.
    ListDetails->horizontalHeader()->setSectionsClickable(true);
    ListDetails->horizontalHeader()->setSortIndicatorShown(true);
    ListDetails->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    currency_ = new CurrencyDelegate(ListDetails);
    Label5 = named(new QLabel(QStringLiteral("Double click to retreive purchase order..."), this),
                   "Label5");
    Label6 = named(new QLabel(QStringLiteral("Total"), this), "Label6");
    MainTotal = named(new QLineEdit(this), "MainTotal", QStringLiteral("Total"));
    MainTotal->setReadOnly(true);
    MainTotal->setAlignment(Qt::AlignRight);
    MainTotal->setMaximumWidth(140);
    TempVal = named(new QLineEdit(this), "TempVal");
    theFlg = named(new QLineEdit(this), "theFlg");
    RepNumber = named(new QLineEdit(this), "RepNumber");
    ButtonUndo = named(new QLineEdit(this), "ButtonUndo");
    for (QLineEdit* hidden : {TempVal, theFlg, RepNumber, ButtonUndo})
        hidden->hide();

    auto* criteria = new QHBoxLayout;
    criteria->addWidget(DescLabel);
    for (QWidget* w : std::initializer_list<QWidget*>{SingleDate, SingleMonth, Yearfield, FirstDate,
                                                      LabelAnd, SecondDate, ProductGroup})
        criteria->addWidget(w);
    criteria->addStretch();
    auto* reps = new QHBoxLayout;
    reps->addWidget(RepsHeld);
    reps->addWidget(ButtonSingle, 0, Qt::AlignVCenter);
    reps->addWidget(RepsBin);
    RepsHeld->setMaximumHeight(110);
    RepsBin->setMaximumHeight(110);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(Command1);
    buttons->addWidget(Command2);
    buttons->addWidget(cmdSaveCsv);
    buttons->addStretch();
    buttons->addWidget(Command3);
    auto* top = new QHBoxLayout;
    auto* left = new QVBoxLayout;
    left->addWidget(Label1);
    left->addWidget(Label2);
    left->addWidget(Frame1);
    top->addLayout(left);
    auto* middle = new QVBoxLayout;
    middle->addWidget(Label3);
    middle->addLayout(criteria);
    middle->addLayout(reps);
    middle->addStretch();
    top->addLayout(middle, 1);
    top->addLayout(buttons);
    auto* totals = new QHBoxLayout;
    totals->addWidget(Label5);
    totals->addStretch();
    totals->addWidget(Label6);
    totals->addWidget(MainTotal);
    auto* v = new QVBoxLayout(this);
    v->addLayout(top);
    v->addWidget(ListDetails, 1);
    v->addLayout(totals);
    resize(900, 620);

    // However an option is turned on (mouse, keyboard, code, a screen reader), the mode follows it.
    connect(group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            guarded([&] { FindOptions_Click(id); });
    });
    connect(Command1, &QPushButton::clicked, this, [this] { guarded([&] { Command1_Click(); }); });
    connect(Command2, &QPushButton::clicked, this, [this] { guarded([&] { Command2_Click(); }); });
    connect(Command3, &QPushButton::clicked, this, [this] { guarded([&] { Command3_Click(); }); });
    connect(cmdSaveCsv, &QPushButton::clicked, this,
            [this] { guarded([&] { cmdSaveCsv_Click(); }); });
    // Saving is offered only while there is a list to save.
    connect(&ListDetails->model(), &QAbstractItemModel::modelReset, this,
            [this] { cmdSaveCsv->setEnabled(ListDetails->rowCount() > 0); });
    connect(ButtonSingle, &QPushButton::clicked, this,
            [this] { guarded([&] { ButtonSingle_Click(); }); });
    connect(RepsBin, &DataList::Click, this, [this](int) { guarded([&] { RepsBin_Click(); }); });
    connect(ListDetails, &DataGrid::DblClick, this,
            [this] { guarded([&] { ListDetails_DblClick(); }); });
    connect(ListDetails->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            [this](int column, Qt::SortOrder order) { guarded([&] { sortList(column, order); }); });
    for (QLineEdit* e : {SingleDate, SingleMonth, Yearfield, FirstDate, SecondDate, ProductGroup})
        connect(e, &QLineEdit::returnPressed, this, [this] { guarded([&] { Command1_Click(); }); });

    guarded([&] { Form_Load(); });
}

void frmFindRecord::Form_Load() {
    InitForm();
    TurnOff();
    cmbLoadRep();
}

void frmFindRecord::InitForm() {
    for (QLineEdit* e : {RepNumber, ProductGroup, Yearfield, SecondDate, MainTotal, theFlg, TempVal,
                         SingleDate, FirstDate, SingleMonth, ButtonUndo})
        e->clear();
    DescLabel->clear();
    for (int i = 1; i <= 5; ++i) {
        FindOptions[i]->setAutoExclusive(false);
        FindOptions[i]->setChecked(false);
        FindOptions[i]->setAutoExclusive(true);
    }
}

void frmFindRecord::TurnOff() {
    for (QWidget* w :
         std::initializer_list<QWidget*>{RepNumber, ProductGroup, Yearfield, SecondDate, theFlg,
                                         RepsHeld, RepsBin, ButtonSingle, LabelAnd, DescLabel,
                                         TempVal, SingleDate, FirstDate, SingleMonth, ButtonUndo})
        w->hide();
}

void frmFindRecord::TurnOn() {
    DescLabel->show();
    using ordersearch::Mode;
    switch (Mode(mode())) {
    case Mode::SingleDate:
        DescLabel->setText(QStringLiteral("Please enter the date (eg 12/04/2001)"));
        SingleDate->show();
        break;
    case Mode::Month:
        DescLabel->setText(QStringLiteral("Please enter the month and year (eg 04 2001)"));
        SingleMonth->show();
        Yearfield->show();
        break;
    case Mode::DateRange:
        DescLabel->setText(QStringLiteral("The date range I wish to use is between"));
        LabelAnd->show();
        FirstDate->show();
        SecondDate->show();
        break;
    case Mode::ProductGroup:
        DescLabel->setText(QStringLiteral("The product group I wish to use is"));
        ProductGroup->show();
        break;
    case Mode::Dentists:
        DescLabel->setText(QStringLiteral("The User number I wish to use is"));
        ButtonSingle->show();
        RepsHeld->show();
        RepsBin->show();
        // Each change into this mode starts with no dentist chosen.
        chosen_.rows.clear();
        cmbLoadRepBin();
        break;
    case Mode::None:
        break;
    }
}

void frmFindRecord::FindOptions_Click(int index) {
    if (!FindOptions[index]->isChecked()) {
        // Turning the option on switches the mode through its toggled signal.
        FindOptions[index]->setChecked(true);
        return;
    }
    MainTotal->clear();
    search_ = ordersearch::nothing();
    cmbLoadListDetails();
    TempVal->setText(QString::number(index));
    TurnOff();
    TurnOn();
}

std::optional<frmFindRecord::Search> frmFindRecord::buildSearch() {
    auto date = [](QLineEdit* box, const QString& what) -> std::optional<QDate> {
        auto d = parseUserDate(box->text());
        if (!d)
            messages().info(
                QStringLiteral("%1: \"%2\" is not a date. Please enter it as %3 (eg %4).")
                    .arg(what, box->text(), QStringLiteral("dd/mm/yyyy"), dateHint()));
        return d;
    };
    using ordersearch::Mode;
    switch (Mode(mode())) {
    case Mode::SingleDate: {
        auto d = date(SingleDate, QStringLiteral("Date"));
        if (!d)
            return std::nullopt;
        return ordersearch::byDay(*d);
    }
    case Mode::Month: {
        static const QRegularExpression digits(QStringLiteral("^\\s*\\d{1,2}\\s*$"));
        static const QRegularExpression year(QStringLiteral("^\\s*\\d{4}\\s*$"));
        const int month = SingleMonth->text().trimmed().toInt();
        if (!digits.match(SingleMonth->text()).hasMatch() || month < 1 || month > 12) {
            messages().info(
                QStringLiteral(
                    "Month: \"%1\" is not a month. Please enter its number, 1 to 12 (eg 04).")
                    .arg(SingleMonth->text()));
            return std::nullopt;
        }
        if (!year.match(Yearfield->text()).hasMatch()) {
            messages().info(
                QStringLiteral(
                    "Year: \"%1\" is not a year. Please enter all four digits (eg 2001).")
                    .arg(Yearfield->text()));
            return std::nullopt;
        }
        return ordersearch::byMonth(QDate(Yearfield->text().trimmed().toInt(), month, 1));
    }
    case Mode::DateRange: {
        auto a = date(FirstDate, QStringLiteral("First date"));
        if (!a)
            return std::nullopt;
        auto b = date(SecondDate, QStringLiteral("Second date"));
        if (!b)
            return std::nullopt;
        if (*b < *a)
            std::swap(a, b);
        return ordersearch::byDateRange(*a, *b);
    }
    case Mode::ProductGroup:
        return ordersearch::byProductGroup(Val(ProductGroup->text()));
    case Mode::Dentists:
        return dentistSearch();
    case Mode::None:
        break;
    }
    return std::nullopt;
}

std::optional<frmFindRecord::Search> frmFindRecord::dentistSearch() {
    if (chosen_.isEmpty()) {
        messages().info(QStringLiteral("Choose at least one dentist with >"));
        return std::nullopt;
    }
    return ordersearch::byDentists(chosen_);
}

void frmFindRecord::Command1_Click() {
    if (auto s = buildSearch()) {
        search_ = *s;
        cmbLoadListDetails();
    }
    showTotal();
}

void frmFindRecord::showTotal() {
    MainTotal->setText(ListDetails->rowCount() == 0 ? QString() : currencyText(CalMainTotal()));
}

void frmFindRecord::cmbLoadListDetails() {
    if (search_.sql.isEmpty())
        return;
    ListDetails->setEnabled(true);
    ListDetails->model().setRows(db_.select(search_.sql, search_.binds));
    for (int c = 0; c < ListDetails->model().columnCount(); ++c) {
        ListDetails->setColumnHidden(c, false);
        ListDetails->setColumnWidth(c, ListDetails->horizontalHeader()->defaultSectionSize());
    }
    // A search result is only read: editing or deleting through the list
    // would change orders behind the user's back.
    ListDetails->setAllowUpdate(false);
    ListDetails->model().setKindsFrom(QStringLiteral("Order Information"));
    ListDetails->setColumnWidthTwips(3, 0);
    ListDetails->setColumnWidthTwips(1, 2200);
    const int total = ListDetails->model().columnIndex(QStringLiteral("Grand Total"));
    for (int c = 0; c < ListDetails->model().columnCount(); ++c)
        ListDetails->setItemDelegateForColumn(c, c == total ? currency_ : nullptr);
    // A new search keeps the order the user chose, where its list has that column.
    const int sorted = ListDetails->model().columnIndex(sortColumn_);
    const QSignalBlocker block(ListDetails->horizontalHeader());
    ListDetails->horizontalHeader()->setSortIndicator(sorted, sortOrder_);
    if (sorted >= 0)
        sortList(sorted, sortOrder_);
}

void frmFindRecord::sortList(int column, Qt::SortOrder order) {
    GridModel& m = ListDetails->model();
    if (column < 0 || column >= m.columnCount()) {
        sortColumn_.clear();
        return;
    }
    sortColumn_ = m.columnName(column);
    sortOrder_ = order;
    RowSet rows = m.rowSet();
    const Kind kind = m.columnKind(column);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    // Equal cells keep the search's order (by date, then order number).
    std::stable_sort(rows.rows.begin(), rows.rows.end(), [&](const auto& a, const auto& b) {
        const int c = compareCells(a[column], b[column], kind, collator);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    // The order the user was on stays the current one, and the columns keep their widths.
    const int keyCol = m.columnIndex(QStringLiteral("Quote ID"));
    const QVariant current = keyCol >= 0 ? ListDetails->value(keyCol) : QVariant();
    const int currentCol = ListDetails->currentColumn();
    QList<std::pair<int, bool>> widths;
    for (int c = 0; c < m.columnCount(); ++c)
        widths << std::pair{ListDetails->columnWidth(c), ListDetails->isColumnHidden(c)};
    m.setRows(std::move(rows));
    {
        const QSignalBlocker block(ListDetails->horizontalHeader());
        ListDetails->horizontalHeader()->setSortIndicator(column, order);
    }
    for (int c = 0; c < widths.size(); ++c) {
        ListDetails->setColumnWidth(c, widths[c].first);
        ListDetails->setColumnHidden(c, widths[c].second);
    }
    if (current.isValid())
        for (int r = 0; r < ListDetails->rowCount(); ++r)
            if (m.value(r, keyCol) == current) {
                ListDetails->setCurrentCell(r, currentCol);
                ListDetails->selectRow(r);
                break;
            }
}

Money frmFindRecord::CalMainTotal() const {
    Money total;
    const int col = ListDetails->model().columnIndex(QStringLiteral("Grand Total"));
    if (col < 0)
        return total;
    for (int r = 0; r < ListDetails->rowCount(); ++r) {
        const QVariant v = ListDetails->model().value(r, col);
        if (!v.isNull())
            total += Money::fromDecimalText(v.toString()).value_or(Money{});
    }
    return total;
}

void frmFindRecord::cmbLoadRep() {
    RepsHeld->setRowSource(ordersearch::dentists(db_), QStringLiteral("Name"),
                           QStringLiteral("Rep Code"));
}

void frmFindRecord::cmbLoadRepBin() {
    if (chosen_.columns.isEmpty())
        chosen_.columns = QStringList{QStringLiteral("Rep Code"), QStringLiteral("Rep Name")};
    RepsBin->setRowSource(chosen_, QStringLiteral("Rep Name"), QStringLiteral("Rep Code"));
}

void frmFindRecord::AddDetailsToBin() {
    const double n = Val(RepsHeld->BoundText());
    if (n == 0) {
        messages().info(QStringLiteral("Please select a practitioner"));
        return;
    }
    const RowSet found = ordersearch::dentist(db_, n);
    for (const auto& row : found.rows)
        chosen_.rows.push_back({row[0].toString(), row[1]});
}

void frmFindRecord::ButtonSingle_Click() {
    AddDetailsToBin();
    cmbLoadRepBin();
}

void frmFindRecord::RepsBin_Click() {
    const QString code = RepsBin->BoundText();
    if (code.isEmpty())
        return;
    // Every choice of that dentist goes.
    chosen_.rows.erase(
        std::remove_if(chosen_.rows.begin(), chosen_.rows.end(),
                       [&](const QVector<QVariant>& row) { return row[0].toString() == code; }),
        chosen_.rows.end());
    cmbLoadRepBin();
}

void frmFindRecord::ListDetails_DblClick() {
    const int row = ListDetails->currentRow();
    if (row < 0 || row >= ListDetails->rowCount())
        return;
    const QString key = ListDetails->model().text(row, 3);
    DataCombo* ref = hub_.custRef();
    // An order another workstation added since the hub listed its orders.
    if (ref->listModel().rowOfKey(key) < 0)
        ref->refresh();
    ref->setBoundText(key);
    hub_.CustRef_Click(DataCombo::List);
    close();
}

void frmFindRecord::Command2_Click() {
    if (search_.sql.isEmpty())
        return;
    if (auto doc = search::printResult(db_.select(search_.sql, search_.binds)))
        showReport(*doc);
}

void frmFindRecord::Command3_Click() {
    close();
}

void frmFindRecord::cmdSaveCsv_Click() {
    if (ListDetails->rowCount() == 0) {
        messages().info(QStringLiteral(
            "There are no orders listed to save. Search for them first with Start."));
        return;
    }
    const QString path = askSavePath(csvsaving::proposedPath(QStringLiteral("Orders found.csv")));
    if (!path.isEmpty())
        saveListAs(path);
}

bool frmFindRecord::saveListAs(const QString& path) {
    const auto [header, rows] = shownList(*ListDetails);
    if (rows.isEmpty()) {
        messages().info(QStringLiteral(
            "There are no orders listed to save. Search for them first with Start."));
        return false;
    }
    return csvsaving::saveAndTell(path, header, rows, QStringLiteral("order"),
                                  QStringLiteral("orders"));
}

} // namespace zel
