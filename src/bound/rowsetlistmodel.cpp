#include "bound/rowsetlistmodel.h"
#include "app/convert.h"

#include <stdexcept>

namespace zel {

namespace {
// A key as text: numbers in plain decimal, texts (product codes,
// descriptions) exactly as stored, so "5.10" stays "5.10".
QString keyText(const QVariant& v) {
    if (v.isNull() || !v.isValid())
        return {};
    if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray)
        return v.toString();
    return displayText(Kind::Number, v);
}
} // namespace

void RowSetListModel::setRowSource(RowSet rows, const QString& listField, const QString& boundColumn) {
    int lc = rows.indexOf(listField);
    int kc = boundColumn.isEmpty() ? lc : rows.indexOf(boundColumn);
    if (lc < 0 || kc < 0)
        throw std::invalid_argument(
            QStringLiteral("the list has no column %1").arg(lc < 0 ? listField : boundColumn).toStdString());
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
    endResetModel();
}

void RowSetListModel::clear() {
    beginResetModel();
    rows_ = {};
    texts_.clear();
    keys_.clear();
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

int RowSetListModel::rowOfKey(const QString& key) const { return int(keys_.indexOf(key)); }

int RowSetListModel::rowOfText(const QString& text) const { return int(texts_.indexOf(text)); }

QVariant RowSetListModel::value(int row, const QString& column) const { return rows_.at(row, column); }

} // namespace zel
