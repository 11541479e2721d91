#include "refdata/boxvalues.h"
#include "app/convert.h"
#include "schema/schema.h"

namespace zel::refdata {

namespace {

struct Limit {
    qint64 characters = -1; // -1: no limit known
    qint64 bytes = -1;
};

// The character and byte limits of the table's text columns, as the server states them.
QList<std::pair<QString, Limit>> textLimits(Database& db, const QString& table) {
    RowSet rs = db.select(
        QStringLiteral("SELECT `COLUMN_NAME`, `CHARACTER_MAXIMUM_LENGTH`, `CHARACTER_OCTET_LENGTH` "
                       "FROM `information_schema`.`COLUMNS` "
                       "WHERE `TABLE_SCHEMA` = DATABASE() AND `TABLE_NAME` = ?"),
        {table});
    QList<std::pair<QString, Limit>> out;
    for (const auto& row : rs.rows) {
        Limit l;
        if (!row[1].isNull())
            l.characters = row[1].toLongLong();
        if (!row[2].isNull())
            l.bytes = row[2].toLongLong();
        out.append({row[0].toString(), l});
    }
    return out;
}

Limit limitOf(const QList<std::pair<QString, Limit>>& limits, const QString& column) {
    for (const auto& [name, limit] : limits)
        if (name.compare(column, Qt::CaseInsensitive) == 0)
            return limit;
    return {};
}

} // namespace

QVariantList columnValues(Database& db, const QString& table, const QList<BoxValue>& boxes) {
    const auto limits = textLimits(db, table);
    QVariantList values;
    for (const BoxValue& b : boxes) {
        const QString column = schema::columnName(table, b.column);
        const QString field = b.label.isEmpty() ? column : b.label;
        QVariant v =
            toColumnValue(schema::columnKind(table, column).value_or(Kind::Text), b.text, field);
        if (v.typeId() == QMetaType::QString) {
            const Limit limit = limitOf(limits, column);
            const QString text = v.toString();
            const qint64 characters = text.toUcs4().size();
            if (limit.characters >= 0 && characters > limit.characters)
                throw ConversionError(
                    field, b.text,
                    QStringLiteral("%1 is too long: it can hold %2 characters and %3 were typed.")
                        .arg(field)
                        .arg(limit.characters)
                        .arg(characters));
            const qint64 bytes = text.toUtf8().size();
            if (limit.bytes >= 0 && bytes > limit.bytes)
                throw ConversionError(
                    field, b.text,
                    QStringLiteral(
                        "%1 is too long: it can hold %2 bytes and the text typed takes %3.")
                        .arg(field)
                        .arg(limit.bytes)
                        .arg(bytes));
        }
        values << v;
    }
    return values;
}

} // namespace zel::refdata
