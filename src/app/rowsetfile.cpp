#include "connection/rowsetfile.h"
#include "connection/applog.h"
#include "connection/settings.h"
#include "values/adtgfile.h"
#include "values/money.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <cmath>
#include <limits>

namespace zel {

namespace {

// The namespaces of the layout, by their fixed prefixes.
const QString nsSchema = QStringLiteral("uuid:BDC6E3F0-6DA3-11d1-A2A3-00AA00C14882");
const QString nsDataType = QStringLiteral("uuid:C2F41010-65B3-11d1-A29F-00AA00C14882");
const QString nsRowset = QStringLiteral("urn:schemas-microsoft-com:rowset");
const QString nsRow = QStringLiteral("#RowsetSchema");

const QString dateFormat = QStringLiteral("yyyy-MM-ddThh:mm:ss");
// What a long text column declares as its length.
constexpr int longTextLength = std::numeric_limits<int>::max();
// The largest file read: far beyond any settings file or printed order.
constexpr qint64 maxRowSetFileBytes = 10LL * 1024 * 1024;

QString quoted(const QString& t) {
    return u'"' + t + u'"';
}

// A decimal number ("-12.5000", ".5", "1.5e-3") as plain decimal text
// without exponent, leading or trailing zeros ("-12.5", "0.5", "0.0015").
std::optional<QString> plainDecimal(const QString& raw) {
    static const QRegularExpression number(
        QStringLiteral("^([+-]?)(\\d*)(?:\\.(\\d*))?(?:[eE]([+-]?\\d{1,4}))?$"));
    const auto m = number.match(raw.trimmed());
    if (!m.hasMatch() || (m.capturedLength(2) == 0 && m.capturedLength(3) == 0))
        return std::nullopt;
    QString digits = m.captured(2) + m.captured(3);
    qsizetype point = m.capturedLength(2) + m.captured(4).toInt();
    if (point < 0) {
        digits.prepend(QString(-point, u'0'));
        point = 0;
    }
    if (point > digits.size())
        digits.append(QString(point - digits.size(), u'0'));
    QString whole = digits.left(point), fraction = digits.mid(point);
    while (whole.size() > 1 && whole.startsWith(u'0'))
        whole.remove(0, 1);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    while (fraction.endsWith(u'0'))
        fraction.chop(1);
    QString text = fraction.isEmpty() ? whole : whole + u'.' + fraction;
    if (m.captured(1) == QLatin1String("-") && text != QLatin1String("0"))
        text.prepend(u'-');
    return text;
}

QString floatText(double d) {
    if (std::isnan(d))
        return QStringLiteral("NaN");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    return QString::number(d, 'g', QLocale::FloatingPointShortest);
}

std::optional<double> readFloat(const QString& text) {
    const QString t = text.trimmed();
    if (t == QLatin1String("NaN"))
        return std::numeric_limits<double>::quiet_NaN();
    if (t == QLatin1String("INF") || t == QLatin1String("+INF"))
        return std::numeric_limits<double>::infinity();
    if (t == QLatin1String("-INF"))
        return -std::numeric_limits<double>::infinity();
    bool ok = false;
    double d = t.toDouble(&ok);
    return ok ? std::optional<double>(d) : std::nullopt;
}

bool isFloatingType(const QVariant& v) {
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

bool isIntegerType(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

// ---- writing -------------------------------------------------------------

// The text a value is written as, or nothing when it does not fit its column.
std::optional<QString> valueText(const RowSetFileColumn& col, const QVariant& v) {
    switch (col.kind) {
    case Kind::Text:
        return v.toString();
    case Kind::Integer: {
        if (isFloatingType(v)) {
            double d = v.toDouble();
            if (d != std::trunc(d) || std::fabs(d) >= 9.2e18)
                return std::nullopt;
            return QString::number(qlonglong(d));
        }
        bool ok = false;
        qlonglong n = v.toLongLong(&ok);
        if (!ok)
            return std::nullopt;
        return QString::number(n);
    }
    case Kind::Number:
        if (col.floating) {
            if (isFloatingType(v) || isIntegerType(v))
                return floatText(v.toDouble());
            if (auto d = readFloat(v.toString()))
                return floatText(*d);
            return std::nullopt;
        }
        if (isFloatingType(v)) {
            double d = v.toDouble();
            if (!std::isfinite(d))
                return std::nullopt;
            return plainDecimal(QString::number(d, 'g', QLocale::FloatingPointShortest));
        }
        return plainDecimal(v.toString());
    case Kind::Money: {
        std::optional<Money> m;
        if (isFloatingType(v)) {
            double d = v.toDouble();
            if (std::isfinite(d) && std::fabs(d) < 9.0e14)
                m = Money::fromDouble(d);
        } else if (auto plain = plainDecimal(v.toString())) {
            m = Money::fromDecimalText(*plain);
        }
        if (!m)
            return std::nullopt;
        return m->toPlainText();
    }
    case Kind::Date: {
        QDateTime dt;
        if (v.typeId() == QMetaType::QDateTime)
            dt = v.toDateTime();
        else if (v.typeId() == QMetaType::QDate)
            dt = v.toDate().startOfDay();
        else
            dt = QDateTime::fromString(v.toString().trimmed(), Qt::ISODateWithMs);
        if (!dt.isValid())
            return std::nullopt;
        return dt.toString(dateFormat);
    }
    case Kind::Flag: {
        std::optional<bool> b;
        if (v.typeId() == QMetaType::Bool)
            b = v.toBool();
        else if (isIntegerType(v) || isFloatingType(v))
            b = v.toDouble() != 0;
        else {
            const QString t = v.toString().trimmed().toLower();
            if (t == QLatin1String("true") || t == QLatin1String("yes"))
                b = true;
            else if (t == QLatin1String("false") || t == QLatin1String("no"))
                b = false;
            else if (auto d = plainDecimal(t))
                b = *d != QLatin1String("0");
        }
        if (!b)
            return std::nullopt;
        return *b ? QStringLiteral("True") : QStringLiteral("False");
    }
    }
    return std::nullopt;
}

QString kindWord(Kind kind, bool floating) {
    switch (kind) {
    case Kind::Integer:
        return QStringLiteral("a whole number");
    case Kind::Number:
        return floating ? QStringLiteral("a number") : QStringLiteral("a decimal number");
    case Kind::Money:
        return QStringLiteral("an amount of money");
    case Kind::Date:
        return QStringLiteral("a date");
    case Kind::Flag:
        return QStringLiteral("yes or no");
    case Kind::Text:
        break;
    }
    return QStringLiteral("text");
}

void writeDataType(QXmlStreamWriter& xml, const RowSetFileColumn& col,
                   const QVector<std::optional<QString>>& texts) {
    xml.writeEmptyElement(nsSchema, QStringLiteral("datatype"));
    auto dt = [&](const char* name, const QString& value) {
        xml.writeAttribute(nsDataType, QString::fromLatin1(name), value);
    };
    auto rs = [&](const char* name, const QString& value) {
        xml.writeAttribute(nsRowset, QString::fromLatin1(name), value);
    };
    const QString yes = QStringLiteral("true");
    switch (col.kind) {
    case Kind::Text:
        dt("type", QStringLiteral("string"));
        if (col.maxLength > 0) {
            dt("maxLength", QString::number(col.maxLength));
        } else {
            dt("maxLength", QString::number(longTextLength));
            rs("long", yes);
        }
        return;
    case Kind::Integer: {
        // A value beyond 32 bits needs the eight-byte type.
        const bool wide = std::any_of(texts.begin(), texts.end(), [](const auto& t) {
            if (!t)
                return false;
            qlonglong n = t->toLongLong();
            return n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max();
        });
        dt("type", wide ? QStringLiteral("i8") : QStringLiteral("int"));
        dt("maxLength", wide ? QStringLiteral("8") : QStringLiteral("4"));
        rs("precision", wide ? QStringLiteral("19") : QStringLiteral("10"));
        rs("fixedlength", yes);
        return;
    }
    case Kind::Number:
        if (col.floating) {
            dt("type", QStringLiteral("float"));
            dt("maxLength", QStringLiteral("8"));
            rs("precision", QStringLiteral("15"));
            rs("fixedlength", yes);
            return;
        } else {
            // Precision and scale as wide as the values need.
            qsizetype wholeDigits = 1, scale = 0;
            for (const auto& t : texts) {
                if (!t)
                    continue;
                QString digits = *t;
                if (digits.startsWith(u'-'))
                    digits.remove(0, 1);
                qsizetype point = digits.indexOf(u'.');
                wholeDigits = std::max(wholeDigits, point < 0 ? digits.size() : point);
                if (point >= 0)
                    scale = std::max(scale, digits.size() - point - 1);
            }
            dt("type", QStringLiteral("number"));
            rs("dbtype", QStringLiteral("numeric"));
            dt("maxLength", QStringLiteral("19"));
            rs("scale", QString::number(scale));
            rs("precision", QString::number(wholeDigits + scale));
            rs("fixedlength", yes);
            return;
        }
    case Kind::Money:
        dt("type", QStringLiteral("number"));
        rs("dbtype", QStringLiteral("currency"));
        dt("maxLength", QStringLiteral("8"));
        rs("precision", QStringLiteral("19"));
        rs("fixedlength", yes);
        return;
    case Kind::Date:
        dt("type", QStringLiteral("dateTime"));
        rs("dbtype", QStringLiteral("timestamp"));
        dt("maxLength", QStringLiteral("16"));
        rs("scale", QStringLiteral("0"));
        rs("precision", QStringLiteral("19"));
        rs("fixedlength", yes);
        return;
    case Kind::Flag:
        dt("type", QStringLiteral("boolean"));
        dt("maxLength", QStringLiteral("2"));
        rs("fixedlength", yes);
        return;
    }
}

// False for text holding characters XML 1.0 cannot carry (control
// characters other than tab and line ends, unpaired surrogates, U+FFFE/F).
bool xmlCanCarry(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
        if (c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= text.size() || !QChar::isLowSurrogate(text[i + 1].unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

// ---- reading -------------------------------------------------------------

// The values read from one file at most: far beyond any settings file or
// printed order, short of what would exhaust the workstation's memory.
constexpr qsizetype maxRowSetCells = 4'000'000;

// The whole-number types by name, with the values each holds ("ui8" holds
// more than a qlonglong and is read on its own).
std::optional<std::pair<qlonglong, qlonglong>> integerRange(const QString& type) {
    using Limits = std::numeric_limits<qlonglong>;
    static const QHash<QString, std::pair<qlonglong, qlonglong>> ranges = {
        {QStringLiteral("i1"), {-128, 127}},
        {QStringLiteral("i2"), {-32768, 32767}},
        {QStringLiteral("int"), {-2147483648LL, 2147483647LL}},
        {QStringLiteral("i4"), {-2147483648LL, 2147483647LL}},
        {QStringLiteral("i8"), {Limits::min(), Limits::max()}},
        {QStringLiteral("ui1"), {0, 255}},
        {QStringLiteral("ui2"), {0, 65535}},
        {QStringLiteral("ui4"), {0, 4294967295LL}},
    };
    const auto it = ranges.find(type);
    return it == ranges.end() ? std::nullopt : std::optional(*it);
}

// The longest text or run of bytes a column declares, 0 for long ones.
int declaredLength(qulonglong n, bool isLong) {
    return !isLong && n > 0 && n < qulonglong(longTextLength) ? int(n) : 0;
}

// The column a schema's datatype describes; `type` is kept as written.
void applyDataType(RowSetFileColumn& col, const QString& type, const QString& dbType,
                   const QString& maxLength, bool isLong) {
    const QString t = type.toLower();
    col.type = type.isEmpty() ? QStringLiteral("string") : type;
    col.kind = Kind::Text;
    col.floating = false;
    col.maxLength = 0;
    if (t.isEmpty() || t == QLatin1String("string") || t == QLatin1String("bin.hex")) {
        col.maxLength = declaredLength(maxLength.toULongLong(), isLong);
    } else if (integerRange(t) || t == QLatin1String("ui8")) {
        col.kind = Kind::Integer;
    } else if (t == QLatin1String("number")) {
        col.kind = dbType.compare(QLatin1String("currency"), Qt::CaseInsensitive) == 0
                       ? Kind::Money
                       : Kind::Number;
    } else if (t == QLatin1String("fixed.14.4")) {
        col.kind = Kind::Money;
    } else if (t == QLatin1String("float") || t == QLatin1String("r8") ||
               t == QLatin1String("r4")) {
        col.kind = Kind::Number;
        col.floating = true;
    } else if (t == QLatin1String("datetime") || t == QLatin1String("datetime.tz") ||
               t == QLatin1String("date") || t == QLatin1String("time")) {
        col.kind = Kind::Date;
    } else if (t == QLatin1String("boolean")) {
        col.kind = Kind::Flag;
    }
}

// A currency amount as exact decimal text. The currency type holds one
// amount below the money type's range: the smallest 64-bit number of
// ten-thousandths.
std::optional<QString> currencyText(const QString& raw) {
    const auto plain = plainDecimal(raw);
    if (!plain)
        return std::nullopt;
    if (const auto m = Money::fromDecimalText(*plain))
        return m->toPlainText();
    if (*plain == QLatin1String("-922337203685477.5808"))
        return plain;
    return std::nullopt;
}

// A value as its column's type gives it (see RowSetFile), or an invalid
// QVariant when it does not read as that type.
QVariant typedValue(const RowSetFileColumn& col, const QString& text) {
    const QString t = col.type.toLower();
    switch (col.kind) {
    case Kind::Text:
        if (t == QLatin1String("bin.hex")) {
            // Long values come wrapped over several lines.
            static const QRegularExpression hex(QStringLiteral("^(?:[0-9A-Fa-f]{2})*$"));
            static const QRegularExpression space(QStringLiteral("\\s"));
            QString digits = text;
            digits.remove(space);
            return hex.match(digits).hasMatch() ? QVariant(QByteArray::fromHex(digits.toLatin1()))
                                                : QVariant();
        }
        if (t == QLatin1String("uuid")) {
            static const QRegularExpression uuid(QStringLiteral(
                "^\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})"
                "\\}?$"));
            const auto m = uuid.match(text.trimmed());
            return m.hasMatch() ? QVariant(u'{' + m.captured(1).toUpper() + u'}') : QVariant();
        }
        return text;
    case Kind::Integer: {
        bool ok = false;
        if (t == QLatin1String("ui8")) {
            const qulonglong n = text.trimmed().toULongLong(&ok);
            return ok ? QVariant(n) : QVariant();
        }
        const qlonglong n = text.trimmed().toLongLong(&ok);
        const auto range = integerRange(t);
        if (!ok || (range && (n < range->first || n > range->second)))
            return {};
        return n;
    }
    case Kind::Number:
        if (col.floating) {
            const auto d = readFloat(text);
            if (!d)
                return {};
            if (t != QLatin1String("r4"))
                return *d;
            // A single-precision column holds the float nearest the text.
            if (std::isfinite(*d) && std::fabs(*d) > std::numeric_limits<float>::max())
                return {};
            return double(float(*d));
        } else {
            const auto plain = plainDecimal(text);
            return plain ? QVariant(*plain) : QVariant();
        }
    case Kind::Money: {
        const auto amount = currencyText(text);
        return amount ? QVariant(*amount) : QVariant();
    }
    case Kind::Date: {
        if (t == QLatin1String("time")) {
            const QTime time = QTime::fromString(text.trimmed(), Qt::ISODateWithMs);
            return time.isValid() ? QVariant(time) : QVariant();
        }
        const QDateTime dt = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
        return dt.isValid() ? QVariant(dt) : QVariant();
    }
    case Kind::Flag: {
        const QString b = text.trimmed();
        if (b.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || b == QLatin1String("1") ||
            b == QLatin1String("-1"))
            return true;
        if (b.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || b == QLatin1String("0"))
            return false;
        return {};
    }
    }
    return {};
}

// What a column of a read file holds, for messages.
QString typeWord(const RowSetFileColumn& col) {
    const QString t = col.type.toLower();
    if (t == QLatin1String("bin.hex"))
        return QStringLiteral("bytes in hexadecimal");
    if (t == QLatin1String("uuid"))
        return QStringLiteral("a GUID");
    if (t == QLatin1String("time"))
        return QStringLiteral("a time of day");
    if (t == QLatin1String("ui8"))
        return QStringLiteral("a whole number from 0 to 18446744073709551615");
    if (const auto range = integerRange(t))
        return QStringLiteral("a whole number from %1 to %2").arg(range->first).arg(range->second);
    return kindWord(col.kind, col.floating);
}

// A binary file's column as the XML layout would describe it.
RowSetFileColumn columnOf(const adtg::Column& c) {
    RowSetFileColumn col;
    col.name = c.name;
    auto set = [&](const char* type, Kind kind) {
        col.type = QString::fromLatin1(type);
        col.kind = kind;
    };
    switch (c.type) {
    case adtg::STR:
    case adtg::WSTR:
        set("string", Kind::Text);
        col.maxLength = declaredLength(c.maxLength, c.flags & adtg::Long);
        break;
    case adtg::BYTES:
        set("bin.hex", Kind::Text);
        col.maxLength = declaredLength(c.maxLength, c.flags & adtg::Long);
        break;
    case adtg::GUID:
        set("uuid", Kind::Text);
        break;
    case adtg::I1:
        set("i1", Kind::Integer);
        break;
    case adtg::I2:
        set("i2", Kind::Integer);
        break;
    case adtg::I4:
        set("int", Kind::Integer);
        break;
    case adtg::I8:
        set("i8", Kind::Integer);
        break;
    case adtg::UI1:
        set("ui1", Kind::Integer);
        break;
    case adtg::UI2:
        set("ui2", Kind::Integer);
        break;
    case adtg::UI4:
        set("ui4", Kind::Integer);
        break;
    case adtg::UI8:
        set("ui8", Kind::Integer);
        break;
    case adtg::R4:
        set("r4", Kind::Number);
        col.floating = true;
        break;
    case adtg::R8:
        set("float", Kind::Number);
        col.floating = true;
        break;
    case adtg::CY:
        set("number", Kind::Money);
        break;
    case adtg::DECIMAL:
    case adtg::NUMERIC:
        set("number", Kind::Number);
        break;
    case adtg::BOOL:
        set("boolean", Kind::Flag);
        break;
    case adtg::DBDATE:
        set("date", Kind::Date);
        break;
    case adtg::DBTIME:
        set("time", Kind::Date);
        break;
    default: // DATE, DBTIMESTAMP, FILETIME: the reader refuses every other type
        set("dateTime", Kind::Date);
        break;
    }
    return col;
}

// The visible columns of a binary file's recordset and their values.
RowSetFile fromRecordset(const adtg::Recordset& recordset) {
    RowSetFile result;
    QList<qsizetype> shown;
    for (qsizetype c = 0; c < recordset.columns.size(); ++c) {
        if (!recordset.columns[c].visible)
            continue;
        shown << c;
        result.columns << columnOf(recordset.columns[c]);
        result.rows.columns << recordset.columns[c].name;
    }
    result.rows.rows.reserve(recordset.rows.size());
    for (const auto& values : recordset.rows) {
        QVector<QVariant> row;
        row.reserve(shown.size());
        for (const qsizetype c : shown)
            row << values[c];
        result.rows.rows.push_back(std::move(row));
    }
    return result;
}

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isNameChar(QChar c) {
    if (isNameStart(c))
        return true;
    if (c.unicode() < 0x80)
        return c.isDigit() || c == u'-' || c == u'.';
    return c.isLetterOrNumber() || c.isMark() || c.unicode() == 0xB7;
}

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// True when the bytes start as an XML document may: a byte order mark or
// white space, then "<".
bool looksLikeXml(const QByteArray& bytes) {
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return true;
    while (i < bytes.size() && QChar::isSpace(uchar(bytes[i])))
        ++i;
    return i < bytes.size() && bytes[i] == '<';
}

// The XML layout. Rows are what a program opening the recordset sees: the
// rows of the data section and of rs:insert, each rs:update as its
// rs:original row with the changed values and the rs:forcenull columns
// made NULL over it, and no rs:delete rows.
template <class Failure> RowSetFile readXmlRowSet(const QByteArray& bytes, Failure failure) {
    QXmlStreamReader xml(bytes);
    RowSetFile result;
    struct Declared {
        int number; // rs:number, the column's place
        RowSetFileColumn column;
        QString attrName;
    };
    QList<Declared> declared;
    std::optional<Declared> current;
    QHash<QString, int> byAttrName;
    bool seenRoot = false, seenSchema = false, seenData = false, inData = false;
    int deleted = 0;  // depth inside rs:delete, whose rows are not shown
    int original = 0; // depth inside rs:original
    bool inUpdate = false;
    // The rs:update being read: its original row, and its changes.
    std::optional<QVector<QVariant>> updateOriginal;
    std::optional<std::pair<QVector<QVariant>, QVector<bool>>> updateChange;

    auto finishSchema = [&] {
        std::stable_sort(declared.begin(), declared.end(),
                         [](const auto& a, const auto& b) { return a.number < b.number; });
        for (int i = 0; i < declared.size(); ++i) {
            result.columns << declared[i].column;
            result.rows.columns << declared[i].column.name;
            byAttrName.insert(declared[i].attrName, i);
        }
    };
    auto addRow = [&](QVector<QVariant> row) {
        if ((result.rows.size() + 1) * std::max<qsizetype>(1, result.columns.size()) >
            maxRowSetCells)
            throw failure(QStringLiteral("it holds more values than this program reads (%1)")
                              .arg(maxRowSetCells));
        result.rows.rows.push_back(std::move(row));
    };
    // A z:row's values, and which columns it gives (a value or rs:forcenull).
    auto readRow = [&](const QXmlStreamAttributes& attrs) {
        QVector<QVariant> row(result.columns.size());
        QVector<bool> given(result.columns.size());
        for (const auto& a : attrs) {
            if (a.namespaceUri() == nsRowset && a.name() == QLatin1String("forcenull")) {
                for (const auto& name : a.value().split(u' ', Qt::SkipEmptyParts)) {
                    const int c = byAttrName.value(name.toString(), -1);
                    if (c >= 0) {
                        row[c] = QVariant();
                        given[c] = true;
                    }
                }
                continue;
            }
            if (!a.namespaceUri().isEmpty())
                continue;
            const int c = byAttrName.value(a.name().toString(), -1);
            if (c < 0)
                continue;
            row[c] = typedValue(result.columns[c], a.value().toString());
            given[c] = true;
            if (!row[c].isValid())
                throw failure(QStringLiteral("row %1, column %2: %3 is not %4")
                                  .arg(result.rows.size() + 1)
                                  .arg(result.columns[c].name, quoted(a.value().toString()),
                                       typeWord(result.columns[c])));
        }
        return std::pair(row, given);
    };

    while (!xml.atEnd()) {
        const auto token = xml.readNext();
        // A document type may declare entities; a rowset file has none.
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            throw failure(QStringLiteral("it declares a document type or entities"));
        if (token == QXmlStreamReader::StartElement) {
            const QStringView ns = xml.namespaceUri();
            const QStringView name = xml.name();
            const auto attrs = xml.attributes();
            if (!seenRoot) {
                if (name != QLatin1String("xml") || !ns.isEmpty())
                    throw failure(QStringLiteral("it is not a rowset file"));
                seenRoot = true;
            } else if (ns == nsSchema && name == QLatin1String("Schema")) {
                if (seenSchema)
                    throw failure(QStringLiteral("it has more than one schema section"));
                seenSchema = true;
            } else if (ns == nsSchema && name == QLatin1String("AttributeType")) {
                if (seenData)
                    throw failure(QStringLiteral("a column is declared after the data"));
                RowSetFileColumn col;
                const QString attrName = attrs.value(QLatin1String("name")).toString();
                col.name = attrs.hasAttribute(nsRowset, QStringLiteral("name"))
                               ? attrs.value(nsRowset, QStringLiteral("name")).toString()
                               : decodeRowSetName(attrName);
                bool ok = false;
                int number = attrs.value(nsRowset, QStringLiteral("number")).toInt(&ok);
                if (!ok)
                    number = int(declared.size()) + 1;
                // Some writers put the type on the attribute itself.
                applyDataType(col, attrs.value(nsDataType, QStringLiteral("type")).toString(),
                              attrs.value(nsRowset, QStringLiteral("dbtype")).toString(),
                              attrs.value(nsDataType, QStringLiteral("maxLength")).toString(),
                              attrs.value(nsRowset, QStringLiteral("long")) ==
                                  QLatin1String("true"));
                current = Declared{number, col, attrName};
            } else if (ns == nsSchema && name == QLatin1String("datatype") && current) {
                applyDataType(
                    current->column, attrs.value(nsDataType, QStringLiteral("type")).toString(),
                    attrs.value(nsRowset, QStringLiteral("dbtype")).toString(),
                    attrs.value(nsDataType, QStringLiteral("maxLength")).toString(),
                    attrs.value(nsRowset, QStringLiteral("long")) == QLatin1String("true"));
            } else if (ns == nsRowset && name == QLatin1String("data")) {
                if (!seenSchema)
                    throw failure(QStringLiteral("the data comes before the schema"));
                if (seenData)
                    throw failure(QStringLiteral("it has more than one data section"));
                seenData = inData = true;
                finishSchema();
            } else if (ns == nsRowset && name == QLatin1String("delete")) {
                ++deleted;
            } else if (ns == nsRowset && name == QLatin1String("original") && deleted == 0) {
                if (!inUpdate)
                    throw failure(QStringLiteral("row %1: original values outside a changed row")
                                      .arg(result.rows.size() + 1));
                ++original;
            } else if (ns == nsRowset && name == QLatin1String("update") && deleted == 0) {
                if (inUpdate)
                    throw failure(QStringLiteral("row %1: a changed row inside another")
                                      .arg(result.rows.size() + 1));
                inUpdate = true;
                updateOriginal.reset();
                updateChange.reset();
            } else if (ns == nsRow && name == QLatin1String("row") && inData && deleted == 0) {
                auto [row, given] = readRow(attrs);
                if (!inUpdate) {
                    addRow(std::move(row));
                } else if (original > 0 ? updateOriginal.has_value() : updateChange.has_value()) {
                    throw failure(QStringLiteral("row %1: a changed row gives more than one row")
                                      .arg(result.rows.size() + 1));
                } else if (original > 0) {
                    updateOriginal = std::move(row);
                } else {
                    updateChange.emplace(std::move(row), std::move(given));
                }
            }
        } else if (token == QXmlStreamReader::EndElement) {
            const QStringView ns = xml.namespaceUri();
            const QStringView name = xml.name();
            if (ns == nsSchema && name == QLatin1String("AttributeType") && current) {
                declared << *current;
                current.reset();
            } else if (ns == nsRowset && name == QLatin1String("data")) {
                inData = false;
            } else if (ns == nsRowset && name == QLatin1String("delete")) {
                --deleted;
            } else if (ns == nsRowset && name == QLatin1String("original") && deleted == 0) {
                --original;
            } else if (ns == nsRowset && name == QLatin1String("update") && deleted == 0) {
                inUpdate = false;
                if (!updateOriginal)
                    throw failure(QStringLiteral("row %1: a changed row without its original "
                                                 "values")
                                      .arg(result.rows.size() + 1));
                QVector<QVariant> row = std::move(*updateOriginal);
                if (updateChange) {
                    const auto& [values, given] = *updateChange;
                    for (qsizetype c = 0; c < row.size(); ++c)
                        if (given[c])
                            row[c] = values[c];
                }
                addRow(std::move(row));
            }
        }
    }
    if (xml.hasError())
        throw failure(QStringLiteral("%1 (line %2, column %3)")
                          .arg(xml.errorString())
                          .arg(xml.lineNumber())
                          .arg(xml.columnNumber()));
    if (!seenRoot)
        throw failure(QStringLiteral("the file is empty"));
    if (!seenSchema)
        throw failure(QStringLiteral("it has no schema section"));
    if (!seenData)
        throw failure(QStringLiteral("it has no data section"));
    return result;
}

} // namespace

QString encodeRowSetName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        // An underscore before an x would read back as the start of a code.
        const bool escapeUnderscore =
            c == u'_' && i + 1 < name.size() && (name[i + 1] == u'x' || name[i + 1] == u'X');
        const bool valid = i == 0 ? isNameStart(c) : isNameChar(c);
        if (valid && !escapeUnderscore)
            out += c;
        else
            out += QStringLiteral("_x") +
                   QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0') + u'_';
    }
    return out;
}

QString decodeRowSetName(const QString& encoded) {
    // The width of the code at `i` (_xHHHH_, or _xHHHHHHHH_ beyond 16 bits), 0 if none.
    auto codeAt = [&](qsizetype i) -> int {
        if (encoded[i] != u'_' || i + 1 >= encoded.size() || encoded[i + 1] != u'x')
            return 0;
        for (int width : {8, 4}) {
            if (i + 2 + width >= encoded.size() || encoded[i + 2 + width] != u'_')
                continue;
            const QStringView hex = QStringView(encoded).mid(i + 2, width);
            if (std::all_of(hex.begin(), hex.end(), isHex))
                return width;
        }
        return 0;
    };
    QString out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (const int width = codeAt(i)) {
            const char32_t code = QStringView(encoded).mid(i + 2, width).toUInt(nullptr, 16);
            // Four digits are one UTF-16 unit, possibly half of a surrogate pair.
            if (width == 4)
                out += QChar(char16_t(code));
            else
                out += QString::fromUcs4(&code, 1);
            i += 2 + width;
        } else {
            out += encoded[i];
        }
    }
    return out;
}

void writeRowSetFile(const QString& path, const QList<RowSetFileColumn>& cols, const RowSet& rows) {
    auto failure = [&](const QString& why) {
        return RowSetFileError(path, QStringLiteral("Cannot write %1: %2").arg(path, why));
    };

    // Every value is checked before anything reaches the disk.
    QVector<QVector<std::optional<QString>>> texts(cols.size());
    for (int c = 0; c < cols.size(); ++c)
        texts[c].resize(rows.rows.size());
    for (int r = 0; r < rows.rows.size(); ++r) {
        const auto& row = rows.rows[r];
        if (row.size() != cols.size())
            throw failure(QStringLiteral("row %1 has %2 values for %3 columns")
                              .arg(r + 1)
                              .arg(row.size())
                              .arg(cols.size()));
        for (int c = 0; c < cols.size(); ++c) {
            const QVariant& v = row[c];
            if (v.isNull())
                continue;
            texts[c][r] = valueText(cols[c], v);
            if (!texts[c][r])
                throw failure(QStringLiteral("row %1, column %2: %3 is not %4")
                                  .arg(r + 1)
                                  .arg(cols[c].name, quoted(v.toString()),
                                       kindWord(cols[c].kind, cols[c].floating)));
            if (!xmlCanCarry(*texts[c][r]))
                throw failure(QStringLiteral("row %1, column %2: the text holds a control "
                                             "character that the file cannot carry")
                                  .arg(r + 1)
                                  .arg(cols[c].name));
        }
    }
    QStringList attrNames;
    for (const auto& col : cols) {
        if (col.name.isEmpty())
            throw failure(QStringLiteral("a column has no name"));
        attrNames << encodeRowSetName(col.name);
    }
    if (QSet<QString>(attrNames.begin(), attrNames.end()).size() != attrNames.size())
        throw failure(QStringLiteral("two columns have the same name"));

    // Composed in memory first: the layout starts at its root element, with
    // no blank line or declaration before it.
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.setAutoFormattingIndent(-1);
    xml.writeStartElement(QStringLiteral("xml"));
    xml.writeNamespace(nsSchema, QStringLiteral("s"));
    xml.writeNamespace(nsDataType, QStringLiteral("dt"));
    xml.writeNamespace(nsRowset, QStringLiteral("rs"));
    xml.writeNamespace(nsRow, QStringLiteral("z"));

    xml.writeStartElement(nsSchema, QStringLiteral("Schema"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("RowsetSchema"));
    xml.writeStartElement(nsSchema, QStringLiteral("ElementType"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("row"));
    xml.writeAttribute(QStringLiteral("content"), QStringLiteral("eltOnly"));
    for (int c = 0; c < cols.size(); ++c) {
        xml.writeStartElement(nsSchema, QStringLiteral("AttributeType"));
        xml.writeAttribute(QStringLiteral("name"), attrNames[c]);
        if (attrNames[c] != cols[c].name)
            xml.writeAttribute(nsRowset, QStringLiteral("name"), cols[c].name);
        xml.writeAttribute(nsRowset, QStringLiteral("number"), QString::number(c + 1));
        xml.writeAttribute(nsRowset, QStringLiteral("nullable"), QStringLiteral("true"));
        xml.writeAttribute(nsRowset, QStringLiteral("writeunknown"), QStringLiteral("true"));
        writeDataType(xml, cols[c], texts[c]);
        xml.writeEndElement();
    }
    xml.writeEmptyElement(nsSchema, QStringLiteral("extends"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("rs:rowbase"));
    xml.writeEndElement(); // ElementType
    xml.writeEndElement(); // Schema

    xml.writeStartElement(nsRowset, QStringLiteral("data"));
    for (int r = 0; r < rows.rows.size(); ++r) {
        xml.writeEmptyElement(nsRow, QStringLiteral("row"));
        for (int c = 0; c < cols.size(); ++c)
            if (const auto& t = texts[c][r])
                xml.writeAttribute(attrNames[c], *t);
    }
    xml.writeEndElement(); // rs:data
    xml.writeEndElement(); // xml
    xml.writeCharacters(QStringLiteral("\n"));
    if (xml.hasError())
        throw failure(QStringLiteral("the rows could not be put into XML"));
    while (bytes.startsWith('\n'))
        bytes.remove(0, 1);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failure(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw failure(why);
    }
    if (!file.commit())
        throw failure(file.errorString());
}

RowSetFile readRowSetFile(const QString& path, int ansiCodePage) {
    auto failure = [&](const QString& why) {
        return RowSetFileError(path, QStringLiteral("Cannot read %1: %2").arg(path, why));
    };
    QFile file(path);
    if (!file.exists())
        throw failure(QStringLiteral("there is no such file"));
    // A pipe or device named like the file would block or never end.
    const QFileInfo info(path);
    if (!info.isFile())
        throw failure(QStringLiteral("it is not a regular file"));
    if (info.size() > maxRowSetFileBytes)
        throw failure(
            QStringLiteral("it is larger than %1 MB").arg(maxRowSetFileBytes / (1024 * 1024)));
    if (!file.open(QIODevice::ReadOnly))
        throw failure(file.errorString());
    return readRowSetBytes(file.read(maxRowSetFileBytes + 1), path, ansiCodePage);
}

RowSetFile readRowSetBytes(const QByteArray& bytes, const QString& path, int ansiCodePage) {
    auto failure = [&](const QString& why) {
        return RowSetFileError(path, QStringLiteral("Cannot read %1: %2").arg(path, why));
    };
    // The file may have grown after its size was looked at.
    if (bytes.size() > maxRowSetFileBytes)
        throw failure(
            QStringLiteral("it is larger than %1 MB").arg(maxRowSetFileBytes / (1024 * 1024)));
    // The format is the one the first bytes show, whatever the file's name.
    if (adtg::isTableGram(bytes)) {
        try {
            return fromRecordset(adtg::read(bytes, ansiCodePage, maxRowSetCells));
        } catch (const adtg::Error& e) {
            throw failure(e.message());
        }
    }
    if (!looksLikeXml(bytes))
        throw failure(QStringLiteral("it is not a recordset file (neither binary nor XML)"));
    return readXmlRowSet(bytes, failure);
}

std::optional<QString> readSetting(const QString& item) {
    const QString path = QDir(workstationFolder()).filePath(QStringLiteral("zelsysconfig.adtg"));
    if (!QFileInfo::exists(path))
        return std::nullopt;
    try {
        const RowSetFile file = readRowSetFile(path);
        const int itemColumn = file.rows.indexOf(QStringLiteral("Item"));
        const int valueColumn = file.rows.indexOf(QStringLiteral("TextValue"));
        if (itemColumn < 0 || valueColumn < 0)
            return std::nullopt;
        for (const auto& row : file.rows.rows)
            if (row.size() > std::max(itemColumn, valueColumn) &&
                row[itemColumn].toString().compare(item, Qt::CaseInsensitive) == 0)
                return row[valueColumn].isNull() ? QStringLiteral("") : row[valueColumn].toString();
    } catch (const RowSetFileError& e) {
        // An unreadable settings file holds no settings; the log says why.
        writeLog(QStringLiteral("settings file"), e.message());
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

} // namespace zel
