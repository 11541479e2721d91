#include "bound/gridmodel.h"
#include "app/messages.h"
#include "data/schema.h"
#include "data/tablerows.h"
#include "values/val.h"

#include <QDate>
#include <QDateTime>
#include <QMetaMethod>
#include <utility>

namespace zel {

namespace {

Kind kindOfValue(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return Kind::Date;
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Double:
        return Kind::Number;
    default:
        return Kind::Text;
    }
}

} // namespace

void GridModel::load(const QString& sql, const QVariantList& binds) {
    sql_ = sql;
    binds_ = binds;
    setRows(gConn().select(sql, binds));
}

void GridModel::reload() {
    if (!sql_.isEmpty())
        load(sql_, binds_);
}

void GridModel::setRows(RowSet rows) {
    beginResetModel();
    const bool sameColumns = rows.columns == rows_.columns;
    rows_ = std::move(rows);
    if (!sameColumns) {
        captions_.clear();
        scale_.clear();
        readOnly_.clear();
    }
    kinds_.clear();
    numeric_.clear();
    for (int c = 0; c < rows_.columns.size(); ++c) {
        std::optional<Kind> k;
        if (!table_.isEmpty() || !kindTable_.isEmpty())
            k = schema::columnKind(table_.isEmpty() ? kindTable_ : table_, rows_.columns[c]);
        bool numeric = false;
        if (!k) {
            // A computed column shows what the server sent (a DECIMAL(10,2)
            // keeps its two decimals); dates still show in the short form.
            k = Kind::Text;
            for (const auto& row : rows_.rows)
                if (!row[c].isNull()) {
                    Kind seen = kindOfValue(row[c]);
                    if (seen == Kind::Date)
                        k = Kind::Date;
                    bool ok = false;
                    row[c].toString().toDouble(&ok);
                    numeric = seen == Kind::Number || ok;
                    break;
                }
        } else {
            numeric = *k == Kind::Number || *k == Kind::Integer || *k == Kind::Money;
        }
        numeric_ << numeric;
        kinds_ << *k;
    }
    endResetModel();
}

void GridModel::clear() {
    setRows(RowSet{});
}

void GridModel::setWriteTarget(const QString& table, const QString& keyColumn) {
    table_ = table;
    keyColumn_ = keyColumn;
    for (int c = 0; c < rows_.columns.size(); ++c)
        if (auto k = schema::columnKind(table_, rows_.columns[c])) {
            kinds_[c] = *k;
            numeric_[c] = *k == Kind::Number || *k == Kind::Integer || *k == Kind::Money;
        }
}

void GridModel::setKindsFrom(const QString& table) {
    kindTable_ = table;
    beginResetModel();
    for (int c = 0; c < rows_.columns.size(); ++c)
        if (auto k = schema::columnKind(table, rows_.columns[c])) {
            kinds_[c] = *k;
            numeric_[c] = *k == Kind::Number || *k == Kind::Integer || *k == Kind::Money;
        }
    endResetModel();
}

void GridModel::setReadOnlyColumn(int column, bool readOnly) {
    if (readOnly)
        readOnly_.insert(column);
    else
        readOnly_.remove(column);
}

void GridModel::setColumnScale(int column, double factor) {
    if (factor == 1.0)
        scale_.remove(column);
    else
        scale_[column] = factor;
    if (column < columnCount())
        emit dataChanged(index(0, column), index(std::max(0, rowCount() - 1), column));
}

void GridModel::setAllowAddNew(bool allow, std::function<std::optional<QVariantMap>()> defaults) {
    if (allow == allowAddNew_) {
        newRowDefaults_ = std::move(defaults);
        return;
    }
    if (allow) {
        beginInsertRows({}, int(rows_.rows.size()), int(rows_.rows.size()));
        allowAddNew_ = true;
        newRowDefaults_ = std::move(defaults);
        endInsertRows();
    } else {
        beginRemoveRows({}, int(rows_.rows.size()), int(rows_.rows.size()));
        allowAddNew_ = false;
        endRemoveRows();
    }
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.rows.size()) + (allowAddNew_ ? 1 : 0);
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(rows_.columns.size());
}

QString GridModel::columnName(int column) const {
    return rows_.columns.value(column);
}

Kind GridModel::columnKind(int column) const {
    return kinds_.value(column, Kind::Text);
}

QVariant GridModel::value(int row, int column) const {
    if (row < 0 || row >= rows_.rows.size() || column < 0 || column >= rows_.columns.size())
        return {};
    return rows_.rows[row][column];
}

QString GridModel::text(int row, int column) const {
    QVariant v = value(row, column);
    if (v.isNull())
        return {};
    if (auto s = scale_.find(column); s != scale_.end())
        return plainNumber(v.toDouble() * s.value());
    return displayText(columnKind(column), v);
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return text(index.row(), index.column());
    if (cellNotes_ && index.row() < rows_.size())
        if (QVariant note = cellNotes_(index.row(), index.column(), role); note.isValid())
            return note;
    if (role == Qt::TextAlignmentRole && numeric_.value(index.column()))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    // A text cut off by its column can be read whole by pointing at it.
    if (role == Qt::ToolTipRole && columnKind(index.column()) == Kind::Text &&
        !numeric_.value(index.column())) {
        const QString t = text(index.row(), index.column());
        return t.trimmed().isEmpty() ? QVariant() : QVariant(t);
    }
    return {};
}

QVariant GridModel::headerData(int section, Qt::Orientation o, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (o == Qt::Horizontal)
        return captions_.value(section, rows_.columns.value(section));
    return isNewRow(section) ? QStringLiteral("*") : QString();
}

bool GridModel::setHeaderData(int section, Qt::Orientation o, const QVariant& value, int role) {
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return false;
    captions_[section] = value.toString();
    emit headerDataChanged(o, section, section);
    return true;
}

bool GridModel::isWritable(int column) const {
    if (table_.isEmpty() || readOnly_.contains(column))
        return false;
    const QString name = columnName(column);
    return schema::columnKind(table_, name).has_value() &&
           name.compare(keyColumn_, Qt::CaseInsensitive) != 0;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.isValid() && (allowUpdate_ || isNewRow(index.row())) && isWritable(index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid())
        return false;
    // An edit that changes nothing is not written.
    if (value.toString() == text(index.row(), index.column()))
        return false;
    const bool was = std::exchange(fromEditor_, true);
    const bool written = writeCell(index.row(), index.column(), value.toString());
    fromEditor_ = was;
    return written;
}

bool GridModel::writeCell(int row, int column, const QString& typed) {
    if (!isWritable(column) || (!allowUpdate_ && !isNewRow(row)))
        return false;
    const QString name = schema::columnName(table_, columnName(column));
    try {
        QVariant stored = schema::columnValue(table_, name, typed, name);
        if (auto s = scale_.find(column); s != scale_.end() && !stored.isNull())
            stored = plainNumber(Val(stored.toString()) / s.value(), 12);
        if (!confirmWrite(row, column, typed, stored))
            return false;
        if (!(isNewRow(row) ? addRow(row, name, stored) : updateCell(row, column, name, stored)))
            return false;
    } catch (const ConversionError& e) {
        tellRefusal(e.message(), false);
        return false;
    } catch (const DbError& e) {
        tellRefusal(e.userMessage(), true);
        return false;
    }
    emit cellWritten(row, column);
    return true;
}

bool GridModel::confirmWrite(int row, int column, const QString& typed, const QVariant& stored) {
    const int keyCol = rows_.indexOf(keyColumn_);
    if (!writeQuestion_ || confirmed_ || isNewRow(row) || keyCol < 0)
        return true;
    const QString question = writeQuestion_(row, column, stored);
    if (question.isEmpty())
        return true;
    if (fromEditor_ &&
        isSignalConnected(QMetaMethod::fromSignal(&GridModel::editNeedsConfirming))) {
        emit editNeedsConfirming(rows_.rows[row][keyCol], column, typed, question);
        return false;
    }
    return messages().questionDefaultNo(question, QString());
}

bool GridModel::addRow(int row, const QString& name, const QVariant& stored) {
    std::optional<QVariantMap> defaults = newRowDefaults_ ? newRowDefaults_() : QVariantMap{};
    if (!defaults)
        return false; // refused, and the reason already told
    QVariantMap values = *defaults;
    values.insert(name, stored);
    const qint64 key = tablerows::insert(table_, values);
    const int keyCol = rows_.indexOf(keyColumn_);
    QVector<QVariant> newRow(rows_.columns.size());
    for (int c = 0; c < rows_.columns.size(); ++c)
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (it.key().compare(rows_.columns[c], Qt::CaseInsensitive) == 0)
                newRow[c] = it.value();
    if (keyCol >= 0)
        newRow[keyCol] = key;
    // The columns' values as the server stored them, its defaults included,
    // so that later edits compare against what is stored.
    QStringList storedColumns;
    QList<int> storedAt;
    for (int c = 0; c < rows_.columns.size(); ++c)
        if (c != keyCol && schema::columnKind(table_, rows_.columns[c])) {
            storedColumns << schema::columnName(table_, rows_.columns[c]);
            storedAt << c;
        }
    if (keyCol >= 0 && !storedColumns.isEmpty()) {
        const RowSet back = tablerows::read(table_, keyColumn_, key, storedColumns);
        if (!back.isEmpty())
            for (int i = 0; i < storedAt.size(); ++i)
                newRow[storedAt[i]] = back.rows[0][i];
    }
    beginInsertRows({}, row + 1, row + 1);
    rows_.rows.push_back(newRow);
    endInsertRows();
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    return true;
}

bool GridModel::updateCell(int row, int column, const QString& name, const QVariant& stored) {
    const int keyCol = rows_.indexOf(keyColumn_);
    if (keyCol < 0)
        throw DbError(0, QStringLiteral("The rows cannot be changed here."));
    // The cell is written only while it still holds what this window shows,
    // so a change made meanwhile on another workstation is never overwritten
    // unseen.
    const tablerows::CellWrite w = tablerows::writeCell(table_, keyColumn_, rows_.rows[row][keyCol],
                                                        name, rows_.rows[row][column], stored);
    if (w.outcome != tablerows::Outcome::Written) {
        messages().info(
            w.outcome == tablerows::Outcome::Deleted
                ? QStringLiteral("This line is no longer stored: it was deleted on another "
                                 "workstation. Nothing was written; the lines are shown again.")
                : QStringLiteral("%1 of this line was changed on another workstation. Nothing "
                                 "was written; the lines are shown again with what is stored.")
                      .arg(name));
        QMetaObject::invokeMethod(
            this,
            [this] {
                try {
                    reload();
                } catch (const DbError& e) {
                    messages().error(e.userMessage());
                }
            },
            Qt::QueuedConnection);
        return false;
    }
    // Keep what the server stored (its rounding, its date form).
    rows_.rows[row][column] = w.stored;
    emit dataChanged(index(row, column), index(row, column));
    return true;
}

bool GridModel::writeConfirmedCell(int row, int column, const QString& text) {
    const bool was = std::exchange(confirmed_, true);
    const bool written = writeCell(row, column, text);
    confirmed_ = was;
    return written;
}

int GridModel::rowOfKey(const QVariant& key) const {
    const int keyCol = rows_.indexOf(keyColumn_);
    if (keyCol < 0 || key.isNull())
        return -1;
    for (int r = 0; r < rows_.rows.size(); ++r)
        if (rows_.rows[r][keyCol] == key)
            return r;
    return -1;
}

void GridModel::tellRefusal(const QString& reason, bool isError) {
    if (fromEditor_ && isSignalConnected(QMetaMethod::fromSignal(&GridModel::editRefused))) {
        emit editRefused(reason, isError);
        return;
    }
    if (isError)
        messages().error(reason);
    else
        messages().info(reason);
}

void GridModel::setShownValue(int row, int column, const QVariant& value) {
    if (row < 0 || row >= rows_.rows.size() || column < 0 || column >= rows_.columns.size())
        return;
    rows_.rows[row][column] = value;
    emit dataChanged(index(row, column), index(row, column));
}

bool GridModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || !allowDelete_ || table_.isEmpty() || count <= 0 || row < 0 ||
        row + count > rows_.rows.size())
        return false;
    const int keyCol = rows_.indexOf(keyColumn_);
    if (keyCol < 0)
        return false;
    QVariantList keys;
    for (int r = row; r < row + count; ++r)
        keys << rows_.rows[r][keyCol];
    try {
        tablerows::remove(table_, keyColumn_, keys);
    } catch (const DbError& e) {
        messages().error(e.userMessage());
        return false;
    }
    beginRemoveRows({}, row, row + count - 1);
    rows_.rows.remove(row, count);
    endRemoveRows();
    return true;
}

} // namespace zel
