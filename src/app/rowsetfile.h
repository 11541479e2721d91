#pragma once
// Row sets kept in local files: recordsets as ADO saves them, which the
// practice's other programs read and write. Two formats, told apart by the
// file's first bytes whatever its name: ADO's binary format (adtgfile.h)
// and its XML rowset layout, where a schema section names each column and
// its type, then one z:row element per row carries the values as
// attributes (a NULL is an absent attribute). The export files behind the
// printouts are written in the XML layout; the suite's settings file
// (zelsysconfig.adtg) is read in either. This is the one place that reads
// and writes them.
#include "connection/database.h"
#include "values/adtgfile.h"
#include "values/convert.h"

#include <QList>
#include <QString>
#include <optional>
#include <stdexcept>

namespace zel {

struct RowSetFileColumn {
    QString name;
    // Written as: Text: 'string'; Integer: 'int' ('i8' when a value needs
    // it); Number: 'number' (exact decimal) or 'float'; Money: 'number'
    // stored as currency; Date: 'dateTime'; Flag: 'boolean'.
    Kind kind = Kind::Text;
    // Texts and bytes: the longest the column holds (characters, bytes); 0
    // or less for long ones.
    int maxLength = 0;
    // Numbers only: a binary floating-point column (r8, r4) rather than an exact decimal.
    bool floating = false;
    // Read files only: the column's type by its XML name, as ADO writes it
    // for either format: string, bin.hex, uuid (Text); i1, i2, int, i8, ui1,
    // ui2, ui4, ui8 (Integer); number (Money or Number); float, r4; dateTime,
    // date, time (Date); boolean. Other XML types are read as text.
    QString type = {};
};

struct RowSetFile {
    QList<RowSetFileColumn> columns;
    // Values by column, typed: QString for texts, QByteArray for bytes,
    // "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" for uuid; qlonglong, or
    // qulonglong for ui8; exact decimal text for decimals and money; double
    // for floating columns; QDateTime, or QTime for time; bool; a null
    // QVariant for NULL. These are the rows a program opening the recordset
    // sees: pending changes applied, deleted rows left out.
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

// Reads a file written by writeRowSetFile or by another program in either
// format. Throws RowSetFileError when the file is missing, not a regular
// file, larger than 10 MB or holding more than 4 million values,
// unreadable, in neither format or malformed (in XML a document type or
// entity declaration, a repeated schema or data section; in the binary
// format anything adtg::read refuses), or a value does not fit its
// column's type. ANSI texts of a binary file that does not name its code
// page are read in `ansiCodePage`.
RowSetFile readRowSetFile(const QString& path, int ansiCodePage = adtg::workstationCodePage);
// The same for a file's contents already in memory; `path` names it in messages.
RowSetFile readRowSetBytes(const QByteArray& bytes, const QString& path,
                           int ansiCodePage = adtg::workstationCodePage);

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
