#pragma once
// Recordsets as ADO saves them in its binary format (Recordset.Save with
// adPersistADTG): the TableGram format Microsoft publishes as [MS-ADTG].
// A TableGram is a header, the handler options, the description of the
// recordset (result descriptor, table descriptors, one column descriptor
// per column with its OLE DB type), then the row operations (rows as they
// were read, the changes pending on them, deleted and inserted rows) and an
// end mark. This reads flat recordsets (no child recordsets) and gives the
// rows a program opening the recordset sees: pending changes applied,
// deleted rows left out, NULLs as NULL.
//
// Qt Core only; the row-set files (rowsetfile.h) use it for the suite's
// binary files.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QVariant>
#include <QVector>
#include <stdexcept>

namespace zel::adtg {

// The OLE DB type numbers (DBTYPE_*) a column descriptor carries.
enum DbType : quint16 {
    I2 = 2,
    I4 = 3,
    R4 = 4,
    R8 = 5,
    CY = 6,
    DATE = 7,
    BSTR = 8,
    BOOL = 11,
    VARIANT = 12,
    DECIMAL = 14,
    I1 = 16,
    UI1 = 17,
    UI2 = 18,
    UI4 = 19,
    I8 = 20,
    UI8 = 21,
    FILETIME = 64,
    GUID = 72,
    BYTES = 128,
    STR = 129,
    WSTR = 130,
    NUMERIC = 131,
    DBDATE = 133,
    DBTIME = 134,
    DBTIMESTAMP = 135,
    HCHAPTER = 136,
};

// Column flags (DBCOLUMNFLAGS_*) the reader looks at.
enum ColumnFlag : quint32 {
    FixedLength = 0x10,
    Nullable = 0x20,
    MaybeNull = 0x40,
    Long = 0x80,
};

struct Column {
    QString name;
    quint16 type = 0;      // DbType
    quint32 maxLength = 0; // characters for texts, bytes for binary values
    quint32 precision = 0;
    qint32 scale = 0;
    quint32 flags = 0;   // ColumnFlag
    bool visible = true; // false for a column ADO keeps for itself (a key it added)
};

// Values by column, typed by the column's OLE DB type:
//   I1 I2 I4 I8 UI1 UI2 UI4   qlonglong
//   UI8                       qulonglong
//   R4 R8                     double (R4 as the float it holds)
//   CY DECIMAL NUMERIC        exact decimal text ("-922337203685477.5808",
//                             "0.5", "12"): no exponent, no trailing zeros
//   BOOL                      bool
//   DATE DBDATE DBTIMESTAMP
//   FILETIME                  QDateTime (local, as ADO shows it; DATE to the second)
//   DBTIME                    QTime
//   GUID                      "{01234567-89AB-CDEF-0123-456789ABCDEF}"
//   BYTES                     QByteArray
//   STR WSTR                  QString
// and a null QVariant for NULL.
struct Recordset {
    QList<Column> columns; // in the recordset's order, hidden ones too
    QVector<QVector<QVariant>> rows;
};

// A file that is not a TableGram this reader can read; the message says
// what is wrong with it ("it ends in the middle of row 3").
class Error : public std::runtime_error {
public:
    explicit Error(QString message)
        : std::runtime_error(message.toStdString()), message_(std::move(message)) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// True when the bytes begin as every TableGram does, whatever the file is named.
bool isTableGram(const QByteArray& bytes);

// The code page of ANSI texts (DBTYPE_STR) when the file names none: the
// one the practice's Windows workstations save in (Western European).
constexpr int workstationCodePage = 1252;

// The recordset in `bytes`. ANSI texts are read in the code page of the
// file's table descriptor, else in `ansiCodePage`. Refuses (throws Error) a
// file that is not a TableGram, is cut short, says more or less than it
// holds (sizes, lengths, counts), holds child recordsets, a column of a
// type it cannot read (named in the message) or more than `maxCells`
// values in all.
Recordset read(const QByteArray& bytes, int ansiCodePage = workstationCodePage,
               qsizetype maxCells = 4'000'000);

// "DBTYPE_WSTR" for 130, "DBTYPE 300" for a number without a name.
QString typeName(quint16 type);

} // namespace zel::adtg
