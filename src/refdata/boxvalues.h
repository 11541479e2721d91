#pragma once
// Writing the boxes of a reference-data dialog: each box's text becomes its
// column's value through the one conversion (empty text is NULL), and a text
// longer than its column can hold is refused, naming the field, before
// anything is written.
#include "connection/database.h"

#include <QList>
#include <QString>
#include <QVariantList>

namespace zel::refdata {

// A box's text for a column; `label` names the field in a refusal.
struct BoxValue {
    QString column;
    QString text;
    QString label;
};

// The values to bind, in the order of `boxes`. Throws ConversionError for a
// text that does not convert or does not fit its column.
QVariantList columnValues(Database& db, const QString& table, const QList<BoxValue>& boxes);

} // namespace zel::refdata
