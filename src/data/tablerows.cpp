#include "data/tablerows.h"
#include "data/schema.h"

namespace zel::tablerows {

qint64 insert(const QString& table, const QVariantMap& values) {
    QStringList cols, marks;
    QVariantList binds;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        cols << schema::q(it.key());
        marks << QStringLiteral("?");
        binds << it.value();
    }
    return gConn().insert(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(schema::q(table), cols.join(u','), marks.join(u',')),
                          binds);
}

RowSet read(const QString& table, const QString& keyColumn, const QVariant& key,
            const QStringList& columns) {
    QStringList quoted;
    for (const QString& c : columns)
        quoted << schema::q(c);
    return gConn().select(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
                              .arg(quoted.join(u','), schema::q(table), schema::q(keyColumn)),
                          {key});
}

CellWrite writeCell(const QString& table, const QString& keyColumn, const QVariant& key,
                    const QString& column, const QVariant& loaded, const QVariant& value) {
    CellWrite result;
    gConn().transaction([&] {
        result = {};
        const RowSet now =
            gConn().select(QStringLiteral("SELECT %1 <=> ? FROM %2 WHERE %3 = ? FOR UPDATE")
                               .arg(schema::q(column), schema::q(table), schema::q(keyColumn)),
                           {loaded, key});
        if (now.isEmpty()) {
            result.outcome = Outcome::Deleted;
            return;
        }
        if (now.rows[0][0].toInt() != 1) {
            result.outcome = Outcome::ChangedElsewhere;
            return;
        }
        gConn().execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %3 = ?")
                            .arg(schema::q(table), schema::q(column), schema::q(keyColumn)),
                        {value, key});
        const RowSet back = read(table, keyColumn, key, {column});
        result.stored = back.isEmpty() ? value : back.rows[0][0];
    });
    return result;
}

void remove(const QString& table, const QString& keyColumn, const QVariantList& keys) {
    gConn().transaction([&] {
        for (const QVariant& key : keys)
            gConn().execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
                                .arg(schema::q(table), schema::q(keyColumn)),
                            {key});
    });
}

} // namespace zel::tablerows
