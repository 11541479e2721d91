#include "deliveries/outstandingmodel.h"
#include "values/localetext.h"

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

namespace zel {

namespace {

struct Heading {
    const char* caption;
    const char* field;
};
constexpr Heading kHeadings[OutstandingModel::kColumns] = {
    {"Supplier", "Supplier"},       {"Order Ref", "Customer Ref"}, {"Date Ordered", "Quoted Date"},
    {"Due Date", "DueDate"},        {"Days Late", "Days Late"},    {"Product Code", "Part Id"},
    {"Description", "Description"}, {"Ordered", "Quantity"},       {"Booked In", "Qty BI"},
    {"Outstanding", "Qty OS"},
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

bool numeric(int column) {
    return column == OutstandingModel::colDaysLate || column >= OutstandingModel::colQuantity;
}

int number(const deliveries::Line& l, int column) {
    switch (column) {
    case OutstandingModel::colQuantity:
        return l.quantity;
    case OutstandingModel::colBooked:
        return l.booked;
    case OutstandingModel::colOutstanding:
        return l.outstanding();
    default:
        return l.daysLate;
    }
}

// Negative, zero or positive as `a` sorts before, with or after `b` by the
// column; dates as dates (none after every date), numbers as numbers, texts
// without regard to letter case.
int compare(const deliveries::Line& a, const deliveries::Line& b, int column) {
    auto dates = [](QDate x, QDate y) {
        if (x.isValid() != y.isValid())
            return x.isValid() ? -1 : 1;
        return x < y ? -1 : (y < x ? 1 : 0);
    };
    auto texts = [](const QString& x, const QString& y) {
        return x.compare(y, Qt::CaseInsensitive);
    };
    switch (column) {
    case OutstandingModel::colSupplier:
        return texts(a.supplier, b.supplier);
    case OutstandingModel::colOrderRef:
        return texts(a.orderRef, b.orderRef);
    case OutstandingModel::colOrdered:
        return dates(a.ordered, b.ordered);
    case OutstandingModel::colDue:
        return dates(a.due, b.due);
    case OutstandingModel::colPartId:
        return texts(a.partId, b.partId);
    case OutstandingModel::colDescription:
        return texts(a.description, b.description);
    default:
        return number(a, column) - number(b, column);
    }
}

} // namespace

void OutstandingModel::setLines(QList<deliveries::Line> lines) {
    beginResetModel();
    lines_ = std::move(lines);
    shown_.clear();
    for (int i = 0; i < lines_.size(); ++i)
        if (supplier_.isEmpty() || lines_[i].supplier == supplier_)
            shown_ << i;
    applySort();
    endResetModel();
}

void OutstandingModel::setSupplier(const QString& supplier) {
    supplier_ = supplier;
    setLines(std::move(lines_));
}

QStringList OutstandingModel::suppliers() const {
    QStringList out;
    for (const auto& l : lines_)
        if (!l.supplier.isEmpty())
            out << l.supplier;
    out.sort(Qt::CaseInsensitive);
    out.removeDuplicates();
    return out;
}

int OutstandingModel::lateCount() const {
    return int(
        std::count_if(shown_.cbegin(), shown_.cend(), [this](int i) { return lines_[i].late(); }));
}

QString OutstandingModel::heading(int column) {
    return QString::fromLatin1(kHeadings[column].caption);
}

QString OutstandingModel::field(int column) {
    return QString::fromLatin1(kHeadings[column].field);
}

int OutstandingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(shown_.size());
}

int OutstandingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString OutstandingModel::text(const deliveries::Line& l, int column) const {
    switch (column) {
    case colSupplier:
        return l.supplier;
    case colOrderRef:
        return l.orderRef;
    case colOrdered:
        return dateText(l.ordered);
    case colDue:
        return dateText(l.due);
    case colPartId:
        return l.partId;
    case colDescription:
        return l.description;
    case colDaysLate:
        return l.late() ? QString::number(l.daysLate) : QString();
    default:
        return QString::number(number(l, column));
    }
}

QVariant OutstandingModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= shown_.size())
        return {};
    const deliveries::Line& l = lineAt(index.row());
    const int c = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text(l, c);
    case Qt::TextAlignmentRole:
        return numeric(c) ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    case OrderRole:
        return l.order;
    case ValueRole:
        if (c == colOrdered || c == colDue) {
            const QDate d = c == colOrdered ? l.ordered : l.due;
            return d.isValid() ? QVariant(d) : QVariant();
        }
        if (c == colDaysLate)
            return l.late() ? QVariant(l.daysLate) : QVariant();
        return numeric(c) ? QVariant(number(l, c)) : QVariant(text(l, c));
    default:
        break;
    }
    if (!l.late())
        return {};
    // Late lines stand out by colour and weight, and say so to a screen
    // reader and to the pointer.
    switch (role) {
    case Qt::ForegroundRole:
        return QBrush(QColor(170, 0, 0));
    case Qt::ToolTipRole:
    case Qt::AccessibleDescriptionRole:
        return lateText(l);
    case Qt::FontRole:
        if (c == colDue || c == colDaysLate) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    default:
        return {};
    }
}

QVariant OutstandingModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kColumns)
        return QAbstractTableModel::headerData(section, o, role);
    return heading(section);
}

void OutstandingModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumns)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // The current line and the selection stay on their lines.
    const QModelIndexList before = persistentIndexList();
    QVector<int> lineOf;
    for (const QModelIndex& i : before)
        lineOf << shown_.value(i.row(), -1);
    sortColumn_ = column;
    sortOrder_ = order;
    applySort();
    QVector<int> rowOf(lines_.size(), -1);
    for (int r = 0; r < shown_.size(); ++r)
        rowOf[shown_[r]] = r;
    QModelIndexList after;
    for (int k = 0; k < before.size(); ++k)
        after << (lineOf[k] < 0 ? QModelIndex() : index(rowOf[lineOf[k]], before[k].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void OutstandingModel::applySort() {
    // Stable, so lines that compare equal keep the order they were read in.
    std::stable_sort(shown_.begin(), shown_.end(), [this](int x, int y) {
        const int c = compare(lines_[x], lines_[y], sortColumn_);
        return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
    });
}

} // namespace zel
