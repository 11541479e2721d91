#include "bound/rowsetlistmodel.h"
#include "values/convert.h"

#include <QCollator>
#include <algorithm>
#include <numeric>
#include <stdexcept>

namespace zel {

// A key as text: numbers in plain decimal, texts (product codes,
// descriptions) exactly as stored, so "5.10" stays "5.10".
QString RowSetListModel::keyText(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray)
        return v.toString();
    return displayText(Kind::Number, v);
}

void RowSetListModel::setRowSource(RowSet rows, const QString& listField,
                                   const QString& boundColumn) {
    int lc = rows.indexOf(listField);
    int kc = boundColumn.isEmpty() ? lc : rows.indexOf(boundColumn);
    if (lc < 0 || kc < 0)
        throw std::invalid_argument(QStringLiteral("the list has no column %1")
                                        .arg(lc < 0 ? listField : boundColumn)
                                        .toStdString());
    beginResetModel();
    rows_ = std::move(rows);
    listCol_ = lc;
    keyCol_ = kc;
    texts_.resize(rows_.size());
    keys_.resize(rows_.size());
    for (int r = 0; r < rows_.size(); ++r) {
        const QVariant& t = rows_.rows[r][lc];
        texts_[r] = t.typeId() == QMetaType::QDate || t.typeId() == QMetaType::QDateTime
                        ? displayText(Kind::Date, t)
                        : t.toString();
        keys_[r] = keyText(rows_.rows[r][kc]);
    }
    sourceRow_.resize(rows_.size());
    std::iota(sourceRow_.begin(), sourceRow_.end(), 0);
    if (sortColumn_ >= 0)
        reorder(sortedOrder());
    endResetModel();
}

std::vector<int> RowSetListModel::sortedOrder() const {
    std::vector<int> order(texts_.size());
    std::iota(order.begin(), order.end(), 0);
    if (sortColumn_ < 0) {
        std::sort(order.begin(), order.end(),
                  [&](int a, int b) { return sourceRow_[a] < sourceRow_[b]; });
        return order;
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    // Alike texts keep the row source's order, whichever way the list is sorted.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = collator.compare(texts_[a], texts_[b]);
        return sortOrder_ == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    return order;
}

void RowSetListModel::reorder(const std::vector<int>& order) {
    auto take = [&](auto& list) {
        std::remove_reference_t<decltype(list)> moved;
        moved.reserve(list.size());
        for (int from : order)
            moved.push_back(std::move(list[from]));
        list = std::move(moved);
    };
    take(rows_.rows);
    take(texts_);
    take(keys_);
    take(sourceRow_);
}

void RowSetListModel::sort(int column, Qt::SortOrder order) {
    sortColumn_ = column < 0 ? -1 : 0;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<int> newOrder = sortedOrder();
    std::vector<int> placeOf(newOrder.size());
    for (int p = 0; p < int(newOrder.size()); ++p)
        placeOf[newOrder[p]] = p;
    reorder(newOrder);
    // Whatever a view holds on to (its current entry, its selection) moves with its entry.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& i : before)
        after << (i.row() < int(placeOf.size()) ? index(placeOf[i.row()]) : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void RowSetListModel::clear() {
    beginResetModel();
    rows_ = {};
    texts_.clear();
    keys_.clear();
    sourceRow_.clear();
    endResetModel();
}

int RowSetListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(texts_.size());
}

QVariant RowSetListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= texts_.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return texts_[index.row()];
    if (role == Qt::UserRole)
        return keys_[index.row()];
    return {};
}

QString RowSetListModel::listText(int row) const {
    return row >= 0 && row < texts_.size() ? texts_[row] : QString();
}

QString RowSetListModel::key(int row) const {
    return row >= 0 && row < keys_.size() ? keys_[row] : QString();
}

int RowSetListModel::rowOfKey(const QString& key) const {
    return int(keys_.indexOf(key));
}

int RowSetListModel::rowOfText(const QString& text) const {
    return int(texts_.indexOf(text));
}

QVariant RowSetListModel::value(int row, const QString& column) const {
    return rows_.at(row, column);
}

} // namespace zel
