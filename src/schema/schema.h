#pragma once
// The tables the program reads and writes, their columns and the kind of
// each column, so every write converts a box's text the same way.
#include "connection/database.h"
#include "values/convert.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zel::schema {

inline const QString OrderInformation = QStringLiteral("Order Information");
inline const QString OrderDetails = QStringLiteral("Order Details");
inline const QString Products = QStringLiteral("Products");
inline const QString ProductGroup = QStringLiteral("Product Group");
inline const QString EmployeeData = QStringLiteral("Employee Data");
inline const QString StatusTable = QStringLiteral("Status Table");
inline const QString GlobalSysConfig = QStringLiteral("tblGlobalSysConfig");
inline const QString SysConfig = QStringLiteral("tblSysConfig");
inline const QString Transaction = QStringLiteral("Transaction");
inline const QString SelectedSalesRep = QStringLiteral("Live Quotation Search Selected Sales Rep");

// The columns of a table in their stored order; empty for an unknown table.
QStringList columns(const QString& table);
// The kind of a column, matched without regard to case; nothing when the
// table has no such column.
std::optional<Kind> columnKind(const QString& table, const QString& column);
// The column's name as the table spells it (`Payroll id` -> `Payroll ID`).
QString columnName(const QString& table, const QString& column);

// A box's text converted for a column of the table (toColumnValue by the
// column's kind), and for a text column also checked against the column's
// length as the server states it, trailing blanks included, so nothing is
// cut on the way in. Throws ConversionError naming `field`.
// The limits are read on `db` (the run's connection when none is given).
QVariant columnValue(const QString& table, const QString& column, const QString& text,
                     const QString& field, Database* db = nullptr);
// The length check alone, for a value already converted from `text`.
void checkLength(const QString& table, const QString& column, const QVariant& value,
                 const QString& text, const QString& field, Database* db = nullptr);

// A name in back-quotes, for SQL built from fixed names.
QString q(const QString& name);

} // namespace zel::schema
