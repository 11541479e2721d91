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

} // namespace

// The list's columns and the orders the server can put the lines in go together.
static_assert(int(deliveries::SortBy::Supplier) == OutstandingModel::colSupplier &&
              int(deliveries::SortBy::Due) == OutstandingModel::colDue &&
              int(deliveries::SortBy::Outstanding) == OutstandingModel::colOutstanding);

OutstandingModel::OutstandingModel(QDate today, QObject* parent)
    : QAbstractTableModel(parent), today_(today) {}

void OutstandingModel::reload() {
    loaded_ = true;
    summary_ = deliveries::summary(today_);
    if (!view_.supplier.isEmpty() && summary_.of(view_.supplier).lines == 0)
        view_.supplier.clear();
    readFirstPage();
}

void OutstandingModel::setSupplier(const QString& supplier) {
    view_.supplier = supplier;
    if (loaded_)
        readFirstPage();
}

void OutstandingModel::readFirstPage() {
    auto first = deliveries::outstanding(view_, today_, 0, pageSize_);
    beginResetModel();
    lines_ = std::move(first);
    more_ = lines_.size() == pageSize_;
    endResetModel();
}

bool OutstandingModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && more_;
}

void OutstandingModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent) || lines_.isEmpty())
        return;
    // The next page starts with the last line read: when that line is not
    // there, lines before it were booked in or added meanwhile (on another
    // workstation), and every line read so far is read again, so none is
    // skipped or shown twice.
    const int read = int(lines_.size());
    auto next = deliveries::outstanding(view_, today_, read - 1, pageSize_ + 1);
    if (next.isEmpty() || next.first().line != lines_.last().line) {
        auto again = deliveries::outstanding(view_, today_, 0, read + pageSize_);
        beginResetModel();
        lines_ = std::move(again);
        more_ = lines_.size() == read + pageSize_;
        endResetModel();
        return;
    }
    next.removeFirst();
    more_ = next.size() == pageSize_;
    if (next.isEmpty())
        return;
    beginInsertRows({}, read, read + int(next.size()) - 1);
    lines_ += next;
    endInsertRows();
}

QStringList OutstandingModel::suppliers() const {
    QStringList out;
    for (const auto& s : summary_.suppliers)
        out << s.supplier;
    return out;
}

int OutstandingModel::lineCount() const {
    return summary_.of(view_.supplier).lines;
}

int OutstandingModel::lateCount() const {
    return summary_.of(view_.supplier).late;
}

QList<deliveries::Line> OutstandingModel::allLines() const {
    return deliveries::outstanding(view_, today_);
}

int OutstandingModel::rowOfLine(qint64 line) const {
    for (int r = 0; r < lines_.size(); ++r)
        if (lines_[r].line == line)
            return r;
    return -1;
}

QString OutstandingModel::heading(int column) {
    return QString::fromLatin1(kHeadings[column].caption);
}

QString OutstandingModel::field(int column) {
    return QString::fromLatin1(kHeadings[column].field);
}

int OutstandingModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(lines_.size());
}

int OutstandingModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString OutstandingModel::text(const deliveries::Line& l, int column) {
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
    if (!index.isValid() || index.row() >= lines_.size())
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
        return value(l, c);
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

QVariant OutstandingModel::value(const deliveries::Line& l, int column) {
    if (column == colOrdered || column == colDue) {
        const QDate d = column == colOrdered ? l.ordered : l.due;
        return d.isValid() ? QVariant(d) : QVariant();
    }
    if (column == colDaysLate)
        return l.late() ? QVariant(l.daysLate) : QVariant();
    return numeric(column) ? QVariant(number(l, column)) : QVariant(text(l, column));
}

void OutstandingModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kColumns)
        return;
    view_.sortBy = deliveries::SortBy(column);
    view_.descending = order == Qt::DescendingOrder;
    if (loaded_)
        readFirstPage();
}

} // namespace zel
