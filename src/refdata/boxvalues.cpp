#include "refdata/boxvalues.h"
#include "data/schema.h"

namespace zel::refdata {

QVariantList columnValues(Database& db, const QString& table, const QList<BoxValue>& boxes) {
    QVariantList values;
    for (const BoxValue& b : boxes) {
        const QString column = schema::columnName(table, b.column);
        values << schema::columnValue(table, column, b.text, b.label.isEmpty() ? column : b.label,
                                      &db);
    }
    return values;
}

} // namespace zel::refdata
