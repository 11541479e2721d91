#pragma once
// Rows of any table written cell by cell, as the editable grids write them:
// the statements are built from the table's, the key's and the columns'
// names (each back-quoted; the grid only names columns the schema knows)
// with every value bound.
#include "connection/database.h"

#include <QStringList>
#include <QVariant>
#include <QVariantMap>

namespace zel::tablerows {

// Inserts a row with the given values (keyed by column name); returns the
// key the server assigned.
qint64 insert(const QString& table, const QVariantMap& values);

// The given columns, in that order, of the row whose `keyColumn` is `key`;
// no rows when none.
RowSet read(const QString& table, const QString& keyColumn, const QVariant& key,
            const QStringList& columns);

// How a cell write ended.
enum class Outcome {
    Written,          // the cell held the value loaded, and now holds the new one
    Deleted,          // the row is gone: nothing written
    ChangedElsewhere, // the cell no longer holds the value loaded: nothing written
};
struct CellWrite {
    Outcome outcome = Outcome::Written;
    // When written, the value as the server stored it (its rounding, its
    // date form).
    QVariant stored;
};

// Writes `value` to `column` of the row whose `keyColumn` is `key`, only
// while the cell still holds `loaded` (compared null-safely, the row locked
// meanwhile), so a change made on another workstation since the value was
// loaded is never overwritten unseen. The other cells of the row are not
// compared: they may have changed elsewhere and are kept. One transaction.
CellWrite writeCell(const QString& table, const QString& keyColumn, const QVariant& key,
                    const QString& column, const QVariant& loaded, const QVariant& value);

// Deletes the rows whose `keyColumn` is one of `keys`, one statement each, in
// one transaction: all or none.
void remove(const QString& table, const QString& keyColumn, const QVariantList& keys);

} // namespace zel::tablerows
