#pragma once
// Row sets kept in local files: the XML rowset layout of persisted
// recordsets, which the practice's other programs read and write. A schema
// section names each column and its type, then one z:row element per row
// carries the values as attributes (a NULL is an absent attribute). The
// export files behind the printouts and the suite's settings file
// (zelsysconfig.adtg) are such files; this is the one place that reads and
// writes them.
#include "app/convert.h"
#include "app/database.h"

#include <QList>
#include <QString>
#include <optional>
#include <stdexcept>

namespace zel {

struct RowSetFileColumn {
    QString name;
    // Text: 'string'; Integer: 'int' ('i8' when a value needs it); Number:
    // 'number' (exact decimal) or 'float'; Money: 'number' stored as currency;
    // Date: 'dateTime'; Flag: 'boolean'.
    Kind kind = Kind::Text;
    // Texts: the longest text the column holds; 0 or less for long text.
    int maxLength = 0;
    // Numbers only: a binary floating-point column (r8) rather than an exact decimal.
    bool floating = false;
};

struct RowSetFile {
    QList<RowSetFileColumn> columns;
    // Values by column, typed: QString for texts, qlonglong, exact decimal
    // text for decimals and money, double for floating columns, QDateTime,
    // bool; a null QVariant for NULL.
    RowSet rows;
};

// A file that cannot be read or written; the message names the file and why.
class RowSetFileError : public std::runtime_error {
public:
    RowSetFileError(QString path, QString message)
        : std::runtime_error(message.toStdString()), path_(std::move(path)),
          message_(std::move(message)) {}
    const QString& path() const { return path_; }
    const QString& message() const { return message_; }

private:
    QString path_, message_;
};

// Writes `rows` (their values by position, in the order of `cols`) to
// `path`. The file is written under a temporary name in the same folder
// and renamed into place when complete, so an earlier file stays as it was
// when writing fails. Throws RowSetFileError.
void writeRowSetFile(const QString& path, const QList<RowSetFileColumn>& cols, const RowSet& rows);

// Reads a file written by writeRowSetFile or by another program in the same
// layout. Throws RowSetFileError when the file is missing, not a regular
// file, larger than 10 MB, unreadable or malformed (a document type or
// entity declaration, a repeated schema or data section), or a value does
// not fit its column's type.
RowSetFile readRowSetFile(const QString& path);
// The same for a file's contents already in memory; `path` names it in messages.
RowSetFile readRowSetBytes(const QByteArray& bytes, const QString& path);

// The suite's setting `item` (matched without regard to case) from
// zelsysconfig.adtg in the workstation folder: its TextValue, empty when
// that is NULL. A missing, unreadable or malformed file, one without the
// Item and TextValue columns, or no such item, gives nothing.
std::optional<QString> readSetting(const QString& item);

// Column names as attribute names: characters an XML name cannot hold are
// written as _xHHHH_ ("Order ID" -> "Order_x0020_ID"), and read back.
QString encodeRowSetName(const QString& name);
QString decodeRowSetName(const QString& encoded);

} // namespace zel
