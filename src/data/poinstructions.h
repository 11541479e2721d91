#pragma once
// The instruction text to suppliers printed on every purchase order: one
// row of `tblGlobalSysConfig`.
#include <QString>
#include <QVariant>

namespace zel::poinstructions {

// The `Item` of the settings row that holds the text.
inline const QString kItem = QStringLiteral("POSuppliersAdditionalText");

// The stored text; empty when none is stored.
QString text();

// Stores the text (already converted for `TextValue`) in one statement: the
// row is created on first use and is never half-written.
void save(const QVariant& text);

} // namespace zel::poinstructions
