#pragma once
// What the parts of the row-set files share, private to this folder: the
// XML layout's namespaces and limits, the texts values are written and read
// as, and the readers and the writer behind rowsetfile.h's entry points.
#include "connection/rowsetfile.h"

#include <QByteArray>
#include <QString>
#include <limits>
#include <optional>
#include <utility>

class QVariant;

namespace zel::rowsets {

// The namespaces of the XML layout, by their fixed prefixes.
inline const QString nsSchema = QStringLiteral("uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882");
inline const QString nsDataType = QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882");
inline const QString nsRowset = QStringLiteral("urn:schemas-microsoft-com:rowset");
inline const QString nsRow = QStringLiteral("#RowsetSchema");

// What a long text column declares as its length.
constexpr int longTextLength = std::numeric_limits<int>::max();
// The largest file read: far beyond any settings file or printed order.
constexpr qint64 maxRowSetFileBytes = 10LL * 1024 * 1024;
// The values read from one file at most: far beyond any settings file or
// printed order, short of what would exhaust the workstation's memory.
constexpr qsizetype maxRowSetCells = 4'000'000;

// The errors for a file that cannot be read or written, saying why.
RowSetFileError readFailure(const QString& path, const QString& why);
RowSetFileError writeFailure(const QString& path, const QString& why);

inline QString quoted(const QString& t) {
    return u'"' + t + u'"';
}

// ---- value texts (rowsetvalues.cpp) ----------------------------------------

// A decimal number ("-12.5000", ".5", "1.5e-3") as plain decimal text
// without exponent, leading or trailing zeros ("-12.5", "0.5", "0.0015").
std::optional<QString> plainDecimal(const QString& raw);
// What a column of `kind` holds, for messages ("a whole number").
QString kindWord(Kind kind, bool floating);
// What a column of a read file holds, for messages, by its type.
QString typeWord(const RowSetFileColumn& col);
// The whole-number types by name, with the values each holds ("ui8" holds
// more than a qlonglong and is read on its own).
std::optional<std::pair<qlonglong, qlonglong>> integerRange(const QString& type);
// The longest text or run of bytes a column declares, 0 for long ones.
int declaredLength(qulonglong n, bool isLong);

// The text a value is written as, or nothing when it does not fit its column.
std::optional<QString> valueText(const RowSetFileColumn& col, const QVariant& v);
// A value as its column's type gives it (see RowSetFile), or an invalid
// QVariant when it does not read as that type.
QVariant typedValue(const RowSetFileColumn& col, const QString& text);

// ---- the formats -------------------------------------------------------------

// The file `rows` are written as in the XML layout (rowsetwriter.cpp).
// Every value is checked first; throws RowSetFileError naming `path`.
QByteArray xmlRowSetBytes(const QString& path, const QList<RowSetFileColumn>& cols,
                          const RowSet& rows);

// True when the bytes start as an XML document may: a byte order mark or
// white space, then "<".
bool looksLikeXml(const QByteArray& bytes);
// The rows of a file in the XML layout (rowsetreader.cpp); throws
// RowSetFileError naming `path`.
RowSetFile readXmlRowSet(const QByteArray& bytes, const QString& path);

// The visible columns of a binary file's recordset and their values
// (rowsetbinary.cpp).
RowSetFile fromRecordset(const adtg::Recordset& recordset);

} // namespace zel::rowsets
