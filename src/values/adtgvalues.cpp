// Each OLE DB type's bytes in a TableGram row as the value it holds.
#include "values/adtgvalues.h"
#include "values/adtgcursor.h"

#include <QDateTime>
#include <array>
#include <cmath>
#include <cstring>

namespace zel::adtg {

namespace {

// Days from 1601-01-01 (FILETIME's start) and 1899-12-30 (DATE's) to the Julian day.
constexpr qint64 fileTimeEpochJd = 2305814;
constexpr qint64 oleDateEpochJd = 2415019;

// Little-endian numbers within a value's bytes.
struct LittleEndian {
    const uchar* p;
    quint64 operator()(int from, int bytes) const {
        quint64 v = 0;
        for (int i = bytes; i-- > 0;)
            v = v << 8 | p[from + i];
        return v;
    }
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

QString decimalValue(quint16 type, const uchar* p) {
    const LittleEndian le{p};
    if (type == CY)
        return currencyText(le(0, 8));
    if (type == DECIMAL) {
        // wReserved, scale, sign, then 96 bits: the high 32, the low 64.
        const quint64 low = le(8, 8);
        return decimalText(
            std::array<quint32, 3>{quint32(low), quint32(low >> 32), quint32(le(4, 4))}, p[2],
            p[3] & 0x80);
    }
    // NUMERIC: precision, scale (signed), sign (1 positive), 128 bits.
    std::array<quint32, 4> limbs{};
    for (int i = 0; i < 4; ++i)
        limbs[i] = quint32(le(3 + 4 * i, 4));
    return decimalText(limbs, qint8(p[1]), p[2] == 0);
}

// ---- numbers ---------------------------------------------------------------

QVariant integerValue(quint16 type, const uchar* p) {
    const LittleEndian le{p};
    switch (type) {
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
    default: // UI8
        return qulonglong(le(0, 8));
    }
}

double r8(const uchar* p) {
    const quint64 raw = LittleEndian{p}(0, 8);
    double d;
    std::memcpy(&d, &raw, sizeof d);
    return d;
}

double r4(const uchar* p) {
    const quint32 raw = quint32(LittleEndian{p}(0, 4));
    float f;
    std::memcpy(&f, &raw, sizeof f);
    return double(f);
}

// ---- dates and times -------------------------------------------------------

// Days since 1899-12-30; the fraction is the time of day, also for days
// before it. Shown to the nearest second.
QVariant oleDate(const uchar* p, QString& notA) {
    const double d = r8(p);
    if (!std::isfinite(d) || d < -657434.0 || d >= 2958466.0) {
        notA = QStringLiteral("a date");
        return {};
    }
    const double days = std::trunc(d);
    const qint64 seconds = std::llround(std::fabs(d - days) * 86400.0);
    const QDate date = QDate::fromJulianDay(oleDateEpochJd + qint64(days) + seconds / 86400);
    return QDateTime(date, QTime(0, 0).addSecs(int(seconds % 86400)));
}

QVariant dbTimestamp(const uchar* p, QString& notA) {
    const LittleEndian le{p};
    const QDate date(qint16(le(0, 2)), int(le(2, 2)), int(le(4, 2)));
    const quint64 nanoseconds = le(12, 4);
    const QTime time(int(le(6, 2)), int(le(8, 2)), int(le(10, 2)), int(nanoseconds / 1000000));
    if (!date.isValid() || !time.isValid() || nanoseconds >= 1000000000) {
        notA = QStringLiteral("a date");
        return {};
    }
    return QDateTime(date, time);
}

// Hundreds of nanoseconds since 1601-01-01.
QDateTime fileTime(const uchar* p) {
    const quint64 ticks = LittleEndian{p}(0, 8);
    const quint64 perDay = 864000000000ULL;
    const QDate date = QDate::fromJulianDay(qint64(fileTimeEpochJd + ticks / perDay));
    return QDateTime(date, QTime(0, 0).addMSecs(int(ticks % perDay / 10000)));
}

QVariant dateValue(quint16 type, const uchar* p, QString& notA) {
    const LittleEndian le{p};
    switch (type) {
    case DATE:
        return oleDate(p, notA);
    case DBDATE: {
        const QDate date(qint16(le(0, 2)), int(le(2, 2)), int(le(4, 2)));
        if (!date.isValid()) {
            notA = QStringLiteral("a date");
            return {};
        }
        return QDateTime(date, QTime(0, 0));
    }
    case DBTIME: {
        const QTime time(int(le(0, 2)), int(le(2, 2)), int(le(4, 2)));
        if (!time.isValid()) {
            notA = QStringLiteral("a time");
            return {};
        }
        return time;
    }
    case DBTIMESTAMP:
        return dbTimestamp(p, notA);
    default: // FILETIME
        return fileTime(p);
    }
}

// ---- texts -----------------------------------------------------------------

// Three little-endian numbers, then eight bytes as they stand.
QString guidText(const uchar* p) {
    const LittleEndian le{p};
    auto hex = [](quint64 v, int digits) {
        return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0'));
    };
    QString text =
        u'{' + hex(le(0, 4), 8) + u'-' + hex(le(4, 2), 4) + u'-' + hex(le(6, 2), 4) + u'-';
    for (int i = 8; i < 16; ++i)
        text += hex(p[i], 2) + (i == 9 ? QStringLiteral("-") : QString());
    return text.toUpper() + u'}';
}

} // namespace

QVariant decodeValue(quint16 type, const uchar* p, qsizetype size, AnsiDecoder* ansi,
                     QString& notA) {
    switch (type) {
    case I1:
    case UI1:
    case I2:
    case UI2:
    case I4:
    case UI4:
    case I8:
    case UI8:
        return integerValue(type, p);
    case BOOL:
        return LittleEndian{p}(0, 2) != 0;
    case R4:
        return r4(p);
    case R8:
        return r8(p);
    case CY:
    case DECIMAL:
    case NUMERIC:
        return decimalValue(type, p);
    case DATE:
    case DBDATE:
    case DBTIME:
    case DBTIMESTAMP:
    case FILETIME:
        return dateValue(type, p, notA);
    case GUID:
        return guidText(p);
    case BYTES:
        return QByteArray(reinterpret_cast<const char*>(p), size);
    case WSTR:
        if (size % 2) {
            notA = QStringLiteral("Unicode text (it has an odd number of bytes)");
            return {};
        }
        return Cursor::utf16(p, size / 2);
    case STR:
        return ansi->decode(p, size);
    default:
        break;
    }
    return {};
}

} // namespace zel::adtg
