#pragma once
// Binary recordset files (TableGrams) written the way the samples ADO saved
// show them, for the cases the samples lack: a settings file, long texts,
// empty texts beside NULLs, base tables with a code page, hidden columns,
// and files that lie.
#include "values/adtgfile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace zel::test {

struct AdtgColumn {
    QString name;
    quint16 type = adtg::WSTR;
    quint32 maxLength = 255;
    quint32 flags = adtg::Nullable;
    quint32 precision = 0;
    qint32 scale = 0;
    bool visible = true;
};

// One value of a changed or inserted row: nothing leaves the column as it
// is, a null QVariant makes it NULL.
using Change = std::optional<QVariant>;

// Values by type: integers, bool, double (R4, R8, DATE); qlonglong
// ten-thousandths for CY; QString for WSTR and STR (STR in Latin-1); a
// QByteArray is written as it stands (BYTES, GUID, DECIMAL, NUMERIC, the
// DB date types, or ANSI text in another code page).
class AdtgWriter {
public:
    explicit AdtgWriter(QList<AdtgColumn> columns) : columns_(std::move(columns)) {}

    // Row operations, in the order written.
    AdtgWriter& row(const QVariantList& values);
    AdtgWriter& changed(const QVariantList& original, const QList<Change>& changes);
    AdtgWriter& deleted(const QVariantList& original);
    AdtgWriter& inserted(const QList<Change>& values);

    // Describes a base table in this code page, the columns taken from it.
    AdtgWriter& baseTable(const QString& name, quint16 codePage);
    // Counts the file states instead of the true ones.
    AdtgWriter& statedRows(quint32 rows);
    AdtgWriter& statedColumns(quint16 columns);

    QByteArray bytes() const;
    // Writes bytes() to `path`.
    void save(const QString& path) const;

    // Where row operations begin in bytes().
    qsizetype rowsOffset() const;

private:
    QList<AdtgColumn> columns_;
    QByteArray rows_;
    quint32 shownRows_ = 0;
    std::optional<quint32> statedRows_;
    std::optional<quint16> statedColumns_;
    std::optional<std::pair<QString, quint16>> table_;

    QByteArray description() const;
    QByteArray value(int column, const QVariant& v) const;
    QByteArray originalRow(const QVariantList& values) const;
    QByteArray changes(const QList<Change>& values) const;
};

// The sample files ADO itself wrote, in the shared folder beside the
// source tree; fails the test when they are missing.
QString adtgSamplesDir();

} // namespace zel::test
