#pragma once
// Prints the plan the server chooses for a statement, once per name, to
// standard error beside the benchmark's figures.
#include "connection/database.h"

#include <QSet>
#include <QStringList>
#include <cstdio>

namespace zel::bench {

inline void explainOnce(const QString& sql, const QVariantList& binds, const char* what) {
    static QSet<QString> shown;
    if (shown.contains(QString::fromLatin1(what)))
        return;
    shown.insert(QString::fromLatin1(what));
    RowSet plan = gConn().select(QStringLiteral("EXPLAIN ") + sql, binds);
    std::fprintf(stderr, "EXPLAIN %s:\n", what);
    for (const auto& row : plan.rows) {
        QStringList cells;
        for (int c = 0; c < plan.columns.size(); ++c)
            cells << plan.columns[c] + u'=' +
                         (row[c].isNull() ? QStringLiteral("NULL") : row[c].toString());
        std::fprintf(stderr, "  %s\n", qPrintable(cells.join(QStringLiteral("  "))));
    }
}

} // namespace zel::bench
