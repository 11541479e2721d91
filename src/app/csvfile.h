#pragma once
// Spreadsheet files: rows written as comma-separated values (RFC 4180), for
// a practice's own spreadsheets. Cells are plain text a spreadsheet reads
// back as numbers and dates: amounts with '.' as decimal mark and no
// currency sign or grouping, dates as yyyy-mm-dd.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace zel::csv {

// One cell as text: money (a Money, or a decimal's exact text) as plain
// decimals with '.', at least two decimals for a Money; a date, or the date
// a date and time falls on, as yyyy-mm-dd; whole numbers as digits; other
// numbers in plain decimal without exponent; a flag as TRUE or FALSE; NULL
// as empty; anything else as its text.
QString field(const QVariant& v);

// The file's bytes: UTF-8 with a byte order mark (so spreadsheets read
// "Zoë" as such), the header then one record per row, each ended by CR LF.
// A field is put in double quotes when it holds a comma, a double quote, CR
// or LF, or begins or ends with a blank; a double quote inside is doubled.
// A record of one empty field is written as "" (a blank line would be skipped).
QByteArray encode(const QStringList& header, const QList<QStringList>& rows);

// Writes encode(header, rows) to `path` under a temporary name in the same
// folder, renamed into place when complete: a file already there stays as
// it was when writing fails. Throws std::runtime_error whose message names
// the file and the system's reason.
void save(const QString& path, const QStringList& header, const QList<QStringList>& rows);

} // namespace zel::csv
