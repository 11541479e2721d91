#include "values/adtgfile.h"

#include <QDateTime>
#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

namespace zel::adtg {

namespace {

// The tokens that start each part of a TableGram.
enum Token : quint8 {
    HeaderToken = 0x01,
    HandlerOptionsToken = 0x02,
    ResultDescriptorToken = 0x03,
    TableDescriptorToken = 0x05,
    ColumnDescriptorToken = 0x06,
    ResultRowToken = 0x07, // a row as it was read
    ChangeRowToken = 0x0A, // the changes pending on the row before it
    DeleteRowToken = 0x0C, // the row before it is deleted
    InsertRowToken = 0x0D, // an inserted row
    DoneToken = 0x0F,
    PropertiesToken = 0x10, // the recordset's property sets
    ChildTokenBit = 0x80,   // the parts of child recordsets
};

// What is being read, for the messages.
enum class Part {
    Header,
    HandlerOptions,
    ResultDescriptor,
    TableDescriptor,
    ColumnDescriptor,
    Skipped,
    Description,
    Row,
};

QString partName(Part part, qsizetype number) {
    switch (part) {
    case Part::Header:
        return QStringLiteral("the header");
    case Part::HandlerOptions:
        return QStringLiteral("the handler options");
    case Part::ResultDescriptor:
        return QStringLiteral("the description of the recordset");
    case Part::TableDescriptor:
        return QStringLiteral("the description of table %1").arg(number);
    case Part::ColumnDescriptor:
        return QStringLiteral("the description of column %1").arg(number);
    case Part::Skipped:
        return QStringLiteral("a description this program does not use");
    case Part::Description:
        return QStringLiteral("the description of its columns");
    case Part::Row:
        break;
    }
    return QStringLiteral("row %1").arg(number);
}

// Little-endian reading within [pos, end), never past it. A cursor over a
// part whose size the file states (`statedSize` >= 0) reports reading past
// that size as a part that holds more than it says.
class Cursor {
public:
    Cursor(const QByteArray& bytes, Part part, qsizetype number)
        : data_(reinterpret_cast<const uchar*>(bytes.constData())), end_(bytes.size()), part_(part),
          number_(number) {}

    qsizetype pos() const { return pos_; }
    qsizetype remaining() const { return end_ - pos_; }
    bool atEnd() const { return pos_ >= end_; }
    void setPart(Part part, qsizetype number) {
        part_ = part;
        number_ = number;
    }

    [[noreturn]] void fail(const QString& why) const { throw Error(why); }
    [[noreturn]] void tooShort() const {
        if (statedSize_ >= 0)
            fail(QStringLiteral("%1 holds more than the %2 bytes it says it has")
                     .arg(partName(part_, number_))
                     .arg(statedSize_));
        fail(QStringLiteral("it ends early, in the middle of %1").arg(partName(part_, number_)));
    }

    const uchar* take(quint64 n) {
        if (n > quint64(remaining()))
            tooShort();
        const uchar* p = data_ + pos_;
        pos_ += qsizetype(n);
        return p;
    }
    quint8 peek() {
        if (atEnd())
            tooShort();
        return data_[pos_];
    }
    quint8 u8() { return *take(1); }
    quint16 u16() {
        const uchar* p = take(2);
        return quint16(p[0] | p[1] << 8);
    }
    quint32 u32() {
        const uchar* p = take(4);
        return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    }
    quint64 u64() {
        const quint64 low = u32();
        return low | quint64(u32()) << 32;
    }
    // A LENGTH-PREFIXED-STRING: a count of UTF-16 code units, then the units.
    QString lengthPrefixedString() {
        const quint16 units = u16();
        return utf16(take(quint64(units) * 2), units);
    }
    static QString utf16(const uchar* p, qsizetype units) {
        QString s(units, Qt::Uninitialized);
        for (qsizetype i = 0; i < units; ++i)
            s[i] = QChar(char16_t(p[2 * i] | p[2 * i + 1] << 8));
        return s;
    }

    // A cursor over the next `size` bytes, which this one steps over.
    Cursor part(quint64 size, Part part, qsizetype number) {
        const qsizetype start = pos_;
        if (size > quint64(remaining())) {
            setPart(part, number);
            tooShort();
        }
        take(size);
        Cursor inner = *this;
        inner.pos_ = start;
        inner.end_ = start + qsizetype(size);
        inner.part_ = part;
        inner.number_ = number;
        inner.statedSize_ = qsizetype(size);
        return inner;
    }

private:
    const uchar* data_;
    qsizetype pos_ = 0;
    qsizetype end_;
    Part part_;
    qsizetype number_;
    qsizetype statedSize_ = -1;
};

// ---- exact decimals ------------------------------------------------------

// Plain decimal text of the unsigned integer in `limbs` (least significant
// first) divided by 10^scale: no exponent, no trailing zeros, "0" for zero.
template <std::size_t N>
QString decimalText(std::array<quint32, N> limbs, int scale, bool negative) {
    QString digits;
    for (;;) {
        bool zero = true;
        quint64 rest = 0;
        for (std::size_t i = N; i-- > 0;) {
            const quint64 cur = rest << 32 | limbs[i];
            limbs[i] = quint32(cur / 10);
            rest = cur % 10;
            zero = zero && limbs[i] == 0;
        }
        digits.prepend(QChar(u'0' + char16_t(rest)));
        if (zero)
            break;
    }
    if (digits == QLatin1String("0"))
        return digits;
    if (scale < 0) {
        digits.append(QString(-scale, u'0'));
    } else if (scale > 0) {
        if (digits.size() <= scale)
            digits.prepend(QString(scale - digits.size() + 1, u'0'));
        digits.insert(digits.size() - scale, u'.');
        while (digits.endsWith(u'0'))
            digits.chop(1);
        if (digits.endsWith(u'.'))
            digits.chop(1);
    }
    return negative ? u'-' + digits : digits;
}

// A currency: a 64-bit count of ten-thousandths.
QString currencyText(quint64 raw) {
    const bool negative = raw >> 63;
    const quint64 magnitude = negative ? ~raw + 1 : raw; // also for the smallest value
    return decimalText(std::array<quint32, 2>{quint32(magnitude), quint32(magnitude >> 32)}, 4,
                       negative);
}

// ---- ANSI texts ----------------------------------------------------------

// Windows-1252 where it differs from Latin-1 (0x80 to 0x9F); the five bytes
// it leaves undefined stay the control characters of the same number.
constexpr std::array<char16_t, 32> cp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

class AnsiDecoder {
public:
    explicit AnsiDecoder(int codePage) : codePage_(codePage) {
        // Windows-1252 and Latin-1 are read here; US-ASCII is a part of both.
        singleByte_ = codePage == 1252 || codePage == 28591 || codePage == 20127;
        if (singleByte_)
            return;
        if (codePage == 65001) {
            decoder_ = QStringDecoder(QStringDecoder::Utf8);
            return;
        }
        for (const char* form : {"windows-%1", "cp%1", "ibm-%1"}) {
            decoder_ = QStringDecoder(QString::fromLatin1(form).arg(codePage).toLatin1());
            if (decoder_.isValid())
                return;
        }
#ifdef Q_OS_WIN
        // Qt knows few code pages by name on Windows; the system knows them all.
        system_ = IsValidCodePage(UINT(codePage));
#endif
    }
    bool isValid() const {
        return singleByte_ || decoder_.isValid() || system_;
    }

    QString decode(const uchar* p, qsizetype n) {
        if (singleByte_) {
            QString s(n, Qt::Uninitialized);
            for (qsizetype i = 0; i < n; ++i)
                s[i] =
                    QChar(codePage_ == 1252 && p[i] >= 0x80 && p[i] < 0xA0 ? cp1252High[p[i] - 0x80]
                                                                           : char16_t(p[i]));
            return s;
        }
#ifdef Q_OS_WIN
        if (system_) {
            const auto bytes = reinterpret_cast<const char*>(p);
            const int units = MultiByteToWideChar(UINT(codePage_), 0, bytes, int(n), nullptr, 0);
            QString s(units, Qt::Uninitialized);
            MultiByteToWideChar(UINT(codePage_), 0, bytes, int(n),
                                reinterpret_cast<wchar_t*>(s.data()), units);
            return s;
        }
#endif
        decoder_.resetState();
        return decoder_.decode(QByteArrayView(p, n));
    }

private:
    int codePage_;
    bool singleByte_ = false;
    bool system_ = false; // the code page is read by Windows itself
    QStringDecoder decoder_;
};

// ---- values --------------------------------------------------------------

// How a column's values are laid out in a row.
struct Layout {
    qsizetype fixedSize = 0; // bytes of a fixed-size value, 0 when a length precedes it
    int lengthSize = 0;      // 1 or 4 bytes of length before a variable-length value
    quint64 maxBytes = 0;    // the longest value the column allows, in bytes
};

// Days from 1601-01-01 (FILETIME's start) and 1899-12-30 (DATE's) to the Julian day.
constexpr qint64 fileTimeEpochJd = 2305814;
constexpr qint64 oleDateEpochJd = 2415019;

class RecordsetReader {
public:
    RecordsetReader(const QByteArray& bytes, int ansiCodePage, qsizetype maxCells)
        : in_(bytes, Part::Header, 0), ansiCodePage_(ansiCodePage), maxCells_(maxCells) {}

    Recordset read() {
        readHeader();
        readHandlerOptions();
        readDescription();
        readRows();
        return std::move(result_);
    }

private:
    Cursor in_;
    int ansiCodePage_;
    qsizetype maxCells_;
    Recordset result_;

    // From the result descriptor.
    bool haveResult_ = false;
    quint16 visibleCount_ = 0, totalCount_ = 0, tableCount_ = 0;
    quint32 rowCount_ = 0;
    int tablesSeen_ = 0;
    std::optional<int> tableCodePage_;

    struct ColumnInfo {
        quint16 ordinal;
        Column column;
    };
    QList<ColumnInfo> described_;
    QList<Layout> layouts_;
    QList<int> nullableIndex_; // each column's place among the nullable ones, -1 if none
    int nullableCount_ = 0;
    std::optional<AnsiDecoder> ansi_;

    [[noreturn]] void fail(const QString& why) const { throw Error(why); }

    void readHeader() {
        if (in_.u8() != HeaderToken)
            fail(QStringLiteral("it is not a recordset file"));
        const quint8 size = in_.u8();
        Cursor header = in_.part(size, Part::Header, 0);
        const uchar* signature = header.take(3);
        if (signature[0] != 'T' || signature[1] != 'G' || signature[2] != '!')
            fail(QStringLiteral("it is not a recordset file"));
        header.take(2); // version
        if (header.u8() != 0)
            fail(QStringLiteral("it is saved in big-endian byte order, which this program "
                                "does not read"));
        if (header.u8() != 0)
            fail(QStringLiteral("its header sets a Unicode option this program does not read"));
    }

    void readHandlerOptions() {
        in_.setPart(Part::HandlerOptions, 0);
        if (in_.u8() != HandlerOptionsToken)
            fail(QStringLiteral("its header is not followed by the handler options"));
        in_.part(in_.u16(), Part::HandlerOptions, 0);
    }

    void readDescription() {
        for (;;) {
            in_.setPart(Part::Description, 0);
            const qsizetype at = in_.pos();
            const quint8 token = in_.peek();
            if (token == ResultRowToken || token == ChangeRowToken || token == DeleteRowToken ||
                token == InsertRowToken || token == DoneToken)
                break;
            if (token & ChildTokenBit)
                fail(QStringLiteral("it holds child recordsets, which this program does not "
                                    "read"));
            in_.u8();
            switch (token) {
            case ResultDescriptorToken:
                readResultDescriptor(in_.part(in_.u16(), Part::ResultDescriptor, 0));
                break;
            case TableDescriptorToken:
                readTableDescriptor(in_.part(in_.u16(), Part::TableDescriptor, tablesSeen_ + 1));
                break;
            case ColumnDescriptorToken:
                readColumnDescriptor(
                    in_.part(in_.u16(), Part::ColumnDescriptor, described_.size() + 1));
                break;
            case PropertiesToken:
                // Property sets, which rows do not depend on.
                in_.part(in_.u16(), Part::Skipped, 0);
                break;
            default:
                fail(QStringLiteral("it holds a part it does not describe (0x%1) at byte %2")
                         .arg(token, 2, 16, QLatin1Char('0'))
                         .arg(at));
            }
        }
        finishDescription();
    }

    void readResultDescriptor(Cursor c) {
        if (haveResult_)
            fail(QStringLiteral("it describes more than one recordset"));
        haveResult_ = true;
        c.take(16 + 3); // GUID, result info, cursor model, normalization
        visibleCount_ = c.u16();
        totalCount_ = c.u16();
        c.u16(); // computed columns
        tableCount_ = c.u16();
        c.u16(); // order-by columns
        rowCount_ = c.u32();
        // Property sets follow; nothing here depends on them.
    }

    void readTableDescriptor(Cursor c) {
        if (!haveResult_)
            fail(QStringLiteral("it describes a table before the recordset"));
        ++tablesSeen_;
        c.u16(); // table ordinal
        c.lengthPrefixedString();
        c.lengthPrefixedString();
        const quint16 codePage = c.u16();
        // Code page 0 is the writer's own ANSI code page, which the file does not name.
        if (!tableCodePage_ && codePage != 0)
            tableCodePage_ = codePage;
        // Column count and key columns follow.
    }

    void readColumnDescriptor(Cursor c) {
        if (!haveResult_)
            fail(QStringLiteral("it describes a column before the recordset"));
        if (described_.size() >= totalCount_)
            fail(QStringLiteral("it describes more columns than the %1 it says it has")
                     .arg(totalCount_));
        const uchar* presence = c.take(3);
        ColumnInfo info;
        info.ordinal = c.u16();
        Column& col = info.column;
        if (presence[0] & 0x80) // friendly name
            col.name = c.lengthPrefixedString();
        if (presence[0] & 0x40) // base table ordinal
            c.u16();
        if (presence[0] & 0x20) // base table column ordinal
            c.u16();
        if (presence[0] & 0x10) { // base table column name
            const QString baseName = c.lengthPrefixedString();
            if (!(presence[0] & 0x80))
                col.name = baseName;
        }
        col.type = c.u16();
        col.maxLength = c.u32();
        col.precision = c.u32();
        col.scale = qint32(c.u32());
        col.flags = c.u32();
        // Optional properties follow; the last two bytes say whether the
        // column is visible (VARIANT_BOOL).
        if (c.remaining() < 2)
            c.take(2);
        c.take(quint64(c.remaining() - 2));
        col.visible = c.u16() != 0;
        described_ << info;
    }

    void finishDescription() {
        if (!haveResult_)
            fail(QStringLiteral("it does not describe its recordset"));
        if (described_.size() != totalCount_)
            fail(QStringLiteral("it says it has %1 columns but describes %2")
                     .arg(totalCount_)
                     .arg(described_.size()));
        if (tablesSeen_ != tableCount_)
            fail(QStringLiteral("it says it has %1 tables but describes %2")
                     .arg(tableCount_)
                     .arg(tablesSeen_));
        std::sort(described_.begin(), described_.end(),
                  [](const auto& a, const auto& b) { return a.ordinal < b.ordinal; });
        int visible = 0;
        for (qsizetype i = 0; i < described_.size(); ++i) {
            if (described_[i].ordinal != i + 1)
                fail(QStringLiteral("its columns are not numbered 1 to %1").arg(totalCount_));
            const Column& col = described_[i].column;
            result_.columns << col;
            layouts_ << layoutOf(col);
            const bool nullable = col.flags & (Nullable | MaybeNull);
            nullableIndex_ << (nullable ? nullableCount_++ : -1);
            visible += col.visible ? 1 : 0;
        }
        if (visible != visibleCount_)
            fail(QStringLiteral("it says it shows %1 columns but shows %2")
                     .arg(visibleCount_)
                     .arg(visible));
    }

    Layout layoutOf(const Column& col) {
        auto refuse = [&] {
            fail(QStringLiteral("column %1 has the type %2, which this program does not read")
                     .arg(col.name, typeName(col.type)));
        };
        Layout l;
        switch (col.type) {
        case I1:
        case UI1:
            l.fixedSize = 1;
            break;
        case I2:
        case UI2:
        case BOOL:
            l.fixedSize = 2;
            break;
        case I4:
        case UI4:
        case R4:
            l.fixedSize = 4;
            break;
        case DBDATE:
        case DBTIME:
            l.fixedSize = 6;
            break;
        case I8:
        case UI8:
        case R8:
        case CY:
        case DATE:
        case FILETIME:
            l.fixedSize = 8;
            break;
        case GUID:
        case DECIMAL:
        case DBTIMESTAMP:
            l.fixedSize = 16;
            break;
        case NUMERIC:
            l.fixedSize = 19;
            break;
        case STR:
        case WSTR:
        case BYTES: {
            if (col.type == STR && !ansi_) {
                const int codePage = tableCodePage_.value_or(ansiCodePage_);
                ansi_.emplace(codePage);
                if (!ansi_->isValid())
                    fail(QStringLiteral("its ANSI texts are in code page %1, which cannot be "
                                        "read on this computer")
                             .arg(codePage));
            }
            l.maxBytes = quint64(col.maxLength) * (col.type == WSTR ? 2 : 1);
            if (col.flags & FixedLength) {
                l.fixedSize = qsizetype(l.maxBytes);
            } else {
                l.lengthSize = l.maxBytes < 256 ? 1 : 4;
            }
            break;
        }
        default:
            refuse();
        }
        return l;
    }

    // ---- rows ------------------------------------------------------------

    void readRows() {
        const qsizetype n = result_.columns.size();
        const qsizetype maskSize = (n + 7) / 8;
        const qsizetype nullableMaskSize = (nullableCount_ + 7) / 8;
        // Every row costs memory, also one of no columns.
        const qsizetype cellsPerRow = std::max<qsizetype>(n, 1);
        for (;;) {
            const qsizetype rowNumber = ++rowNumber_;
            in_.setPart(Part::Row, rowNumber);
            const quint8 token = in_.u8();
            if (token == DoneToken)
                break;
            if (result_.rows.size() * cellsPerRow > maxCells_ - cellsPerRow)
                fail(QStringLiteral("it holds more values than this program reads (%1)")
                         .arg(maxCells_));
            switch (token) {
            case ResultRowToken: {
                QVector<QVariant> row = readOriginalRow(nullableMaskSize);
                if (in_.remaining() > 0 && in_.peek() == ChangeRowToken) {
                    in_.u8();
                    readChanges(row, maskSize, rowNumber);
                } else if (in_.remaining() > 0 && in_.peek() == DeleteRowToken) {
                    in_.u8();
                    break; // a deleted row is not shown
                }
                result_.rows.push_back(std::move(row));
                break;
            }
            case InsertRowToken: {
                QVector<QVariant> row(n);
                readChanges(row, maskSize, rowNumber);
                result_.rows.push_back(std::move(row));
                break;
            }
            case ChangeRowToken:
            case DeleteRowToken:
                fail(QStringLiteral("row %1 changes or deletes a row it does not give")
                         .arg(rowNumber));
            default:
                if (token & ChildTokenBit)
                    fail(QStringLiteral("it holds child recordsets, which this program does not "
                                        "read"));
                fail(QStringLiteral("row %1 starts with an unknown mark (0x%2) at byte %3")
                         .arg(rowNumber)
                         .arg(token, 2, 16, QLatin1Char('0'))
                         .arg(in_.pos() - 1));
            }
        }
        if (!in_.atEnd())
            fail(QStringLiteral("it goes on for %1 bytes after its end mark").arg(in_.remaining()));
        if (quint64(result_.rows.size()) != rowCount_)
            fail(QStringLiteral("it says it holds %1 rows but holds %2")
                     .arg(rowCount_)
                     .arg(result_.rows.size()));
    }

    static bool bit(const uchar* mask, qsizetype i) { return mask[i / 8] & (0x80 >> (i % 8)); }

    // A row as it was read: a bit for each nullable column (set when it has
    // a value), then the values that are not NULL.
    QVector<QVariant> readOriginalRow(qsizetype nullableMaskSize) {
        const uchar* present = in_.take(quint64(nullableMaskSize));
        QVector<QVariant> row(result_.columns.size());
        for (qsizetype c = 0; c < row.size(); ++c) {
            const int k = nullableIndex_[c];
            if (k < 0 || bit(present, k))
                row[c] = readValue(c);
        }
        return row;
    }

    // Changes to `row`: a bit for each column given a value, a bit for each
    // column made NULL, then the values given.
    void readChanges(QVector<QVariant>& row, qsizetype maskSize, qsizetype rowNumber) {
        const uchar* given = in_.take(quint64(maskSize));
        const uchar* nulled = in_.take(quint64(maskSize));
        const qsizetype n = row.size();
        for (qsizetype i = n; i < maskSize * 8; ++i)
            if (bit(given, i) || bit(nulled, i))
                fail(QStringLiteral("row %1 changes columns the recordset does not have")
                         .arg(rowNumber));
        for (qsizetype c = 0; c < n; ++c) {
            if (bit(given, c) && bit(nulled, c))
                fail(QStringLiteral("row %1 gives column %2 a value and NULL at once")
                         .arg(rowNumber)
                         .arg(result_.columns[c].name));
            if (bit(given, c))
                row[c] = readValue(c);
            else if (bit(nulled, c))
                row[c] = QVariant();
        }
    }

    // The row being read, counting deleted rows too.
    qsizetype rowNumber_ = 0;

    [[noreturn]] void badValue(qsizetype c, const QString& what) const {
        fail(QStringLiteral("row %1 gives column %2 a value that is not %3")
                 .arg(rowNumber_)
                 .arg(result_.columns[c].name, what));
    }

    QVariant readValue(qsizetype c) {
        const Column& col = result_.columns[c];
        const Layout& l = layouts_[c];
        quint64 size = quint64(l.fixedSize);
        if (l.lengthSize == 1)
            size = in_.u8();
        else if (l.lengthSize == 4)
            size = in_.u32();
        if (l.lengthSize && col.type != STR && size > l.maxBytes)
            fail(QStringLiteral("row %1 gives column %2 %3 bytes, more than the %4 it allows")
                     .arg(rowNumber_)
                     .arg(col.name)
                     .arg(size)
                     .arg(l.maxBytes));
        const uchar* p = in_.take(size);
        auto le = [p](int from, int bytes) {
            quint64 v = 0;
            for (int i = bytes; i-- > 0;)
                v = v << 8 | p[from + i];
            return v;
        };
        switch (col.type) {
        case I1:
            return qlonglong(qint8(p[0]));
        case UI1:
            return qlonglong(p[0]);
        case I2:
            return qlonglong(qint16(le(0, 2)));
        case UI2:
            return qlonglong(le(0, 2));
        case I4:
            return qlonglong(qint32(le(0, 4)));
        case UI4:
            return qlonglong(le(0, 4));
        case I8:
            return qlonglong(le(0, 8));
        case UI8:
            return qulonglong(le(0, 8));
        case BOOL:
            return le(0, 2) != 0;
        case R4: {
            const quint32 raw = quint32(le(0, 4));
            float f;
            std::memcpy(&f, &raw, sizeof f);
            return double(f);
        }
        case R8: {
            const quint64 raw = le(0, 8);
            double d;
            std::memcpy(&d, &raw, sizeof d);
            return d;
        }
        case CY:
            return currencyText(le(0, 8));
        case DECIMAL: {
            // wReserved, scale, sign, then 96 bits: the high 32, the low 64.
            const quint64 low = le(8, 8);
            return decimalText(
                std::array<quint32, 3>{quint32(low), quint32(low >> 32), quint32(le(4, 4))}, p[2],
                p[3] & 0x80);
        }
        case NUMERIC: {
            // Precision, scale (signed), sign (1 positive), 128 bits.
            std::array<quint32, 4> limbs{};
            for (int i = 0; i < 4; ++i)
                limbs[i] = quint32(le(3 + 4 * i, 4));
            return decimalText(limbs, qint8(p[1]), p[2] == 0);
        }
        case DATE: {
            const quint64 raw = le(0, 8);
            double d;
            std::memcpy(&d, &raw, sizeof d);
            // Days since 1899-12-30; the fraction is the time of day, also
            // for days before it. Shown to the nearest second.
            if (!std::isfinite(d) || d < -657434.0 || d >= 2958466.0)
                badValue(c, QStringLiteral("a date"));
            const double days = std::trunc(d);
            const qint64 seconds = std::llround(std::fabs(d - days) * 86400.0);
            const QDate date =
                QDate::fromJulianDay(oleDateEpochJd + qint64(days) + seconds / 86400);
            return QDateTime(date, QTime(0, 0).addSecs(int(seconds % 86400)));
        }
        case DBDATE: {
            const QDate date(qint16(le(0, 2)), int(le(2, 2)), int(le(4, 2)));
            if (!date.isValid())
                badValue(c, QStringLiteral("a date"));
            return QDateTime(date, QTime(0, 0));
        }
        case DBTIME: {
            const QTime time(int(le(0, 2)), int(le(2, 2)), int(le(4, 2)));
            if (!time.isValid())
                badValue(c, QStringLiteral("a time"));
            return time;
        }
        case DBTIMESTAMP: {
            const QDate date(qint16(le(0, 2)), int(le(2, 2)), int(le(4, 2)));
            const quint64 nanoseconds = le(12, 4);
            const QTime time(int(le(6, 2)), int(le(8, 2)), int(le(10, 2)),
                             int(nanoseconds / 1000000));
            if (!date.isValid() || !time.isValid() || nanoseconds >= 1000000000)
                badValue(c, QStringLiteral("a date"));
            return QDateTime(date, time);
        }
        case FILETIME: {
            // Hundreds of nanoseconds since 1601-01-01.
            const quint64 ticks = le(0, 8);
            const quint64 perDay = 864000000000ULL;
            const QDate date = QDate::fromJulianDay(qint64(fileTimeEpochJd + ticks / perDay));
            return QDateTime(date, QTime(0, 0).addMSecs(int(ticks % perDay / 10000)));
        }
        case GUID: {
            // Three little-endian numbers, then eight bytes as they stand.
            auto hex = [](quint64 v, int digits) {
                return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0'));
            };
            QString text =
                u'{' + hex(le(0, 4), 8) + u'-' + hex(le(4, 2), 4) + u'-' + hex(le(6, 2), 4) + u'-';
            for (int i = 8; i < 16; ++i)
                text += hex(p[i], 2) + (i == 9 ? QStringLiteral("-") : QString());
            return QVariant(text.toUpper() + u'}');
        }
        case BYTES:
            return QByteArray(reinterpret_cast<const char*>(p), qsizetype(size));
        case WSTR:
            if (size % 2)
                badValue(c, QStringLiteral("Unicode text (it has an odd number of bytes)"));
            return Cursor::utf16(p, qsizetype(size / 2));
        case STR:
            return ansi_->decode(p, qsizetype(size));
        default:
            break;
        }
        return {};
    }
};

} // namespace

bool isTableGram(const QByteArray& bytes) {
    return bytes.size() >= 5 && bytes[0] == char(HeaderToken) && bytes.mid(2, 3) == "TG!";
}

Recordset read(const QByteArray& bytes, int ansiCodePage, qsizetype maxCells) {
    return RecordsetReader(bytes, ansiCodePage, maxCells).read();
}

QString typeName(quint16 type) {
    static const QHash<quint16, const char*> names = {
        {0, "EMPTY"},
        {1, "NULL"},
        {I2, "I2"},
        {I4, "I4"},
        {R4, "R4"},
        {R8, "R8"},
        {CY, "CY"},
        {DATE, "DATE"},
        {BSTR, "BSTR"},
        {9, "IDISPATCH"},
        {10, "ERROR"},
        {BOOL, "BOOL"},
        {VARIANT, "VARIANT"},
        {13, "IUNKNOWN"},
        {DECIMAL, "DECIMAL"},
        {I1, "I1"},
        {UI1, "UI1"},
        {UI2, "UI2"},
        {UI4, "UI4"},
        {I8, "I8"},
        {UI8, "UI8"},
        {FILETIME, "FILETIME"},
        {GUID, "GUID"},
        {BYTES, "BYTES"},
        {STR, "STR"},
        {WSTR, "WSTR"},
        {NUMERIC, "NUMERIC"},
        {132, "UDT"},
        {DBDATE, "DBDATE"},
        {DBTIME, "DBTIME"},
        {DBTIMESTAMP, "DBTIMESTAMP"},
        {HCHAPTER, "HCHAPTER"},
        {138, "PROPVARIANT"},
        {139, "VARNUMERIC"},
    };
    QString name;
    if (const char* base = names.value(type & 0x0FFF))
        name = QStringLiteral("DBTYPE_") + QLatin1String(base);
    else
        name = QStringLiteral("DBTYPE %1").arg(type & 0x0FFF);
    if (type & 0x1000)
        name += QStringLiteral(" | DBTYPE_VECTOR");
    if (type & 0x2000)
        name += QStringLiteral(" | DBTYPE_ARRAY");
    if (type & 0x4000)
        name += QStringLiteral(" | DBTYPE_BYREF");
    return name;
}

} // namespace zel::adtg
