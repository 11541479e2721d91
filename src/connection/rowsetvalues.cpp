// The texts values are written as in the XML layout, and the values read
// back from them by their column's type.
#include "connection/rowsetformat.h"
#include "values/money.h"

#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QVariant>
#include <cmath>
#include <limits>

namespace zel::rowsets {

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-ddThh:mm:ss");

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

std::optional<QString> integerText(const QVariant& v) {
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

std::optional<QString> numberText(const RowSetFileColumn& col, const QVariant& v) {
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
}

std::optional<QString> moneyText(const QVariant& v) {
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

std::optional<QString> dateText(const QVariant& v) {
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

std::optional<QString> flagText(const QVariant& v) {
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

// ---- reading -------------------------------------------------------------

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

// A text column's value; bytes and GUIDs are texts in the file.
QVariant textValue(const QString& type, const QString& text) {
    if (type == QLatin1String("bin.hex")) {
        // Long values come wrapped over several lines.
        static const QRegularExpression hex(QStringLiteral("^(?:[0-9A-Fa-f]{2})*$"));
        static const QRegularExpression space(QStringLiteral("\\s"));
        QString digits = text;
        digits.remove(space);
        return hex.match(digits).hasMatch() ? QVariant(QByteArray::fromHex(digits.toLatin1()))
                                            : QVariant();
    }
    if (type == QLatin1String("uuid")) {
        static const QRegularExpression uuid(QStringLiteral(
            "^\\{?([0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12})"
            "\\}?$"));
        const auto m = uuid.match(text.trimmed());
        return m.hasMatch() ? QVariant(u'{' + m.captured(1).toUpper() + u'}') : QVariant();
    }
    return text;
}

QVariant integerValue(const QString& type, const QString& text) {
    bool ok = false;
    if (type == QLatin1String("ui8")) {
        const qulonglong n = text.trimmed().toULongLong(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    const qlonglong n = text.trimmed().toLongLong(&ok);
    const auto range = integerRange(type);
    if (!ok || (range && (n < range->first || n > range->second)))
        return {};
    return n;
}

QVariant floatValue(const QString& type, const QString& text) {
    const auto d = readFloat(text);
    if (!d)
        return {};
    if (type != QLatin1String("r4"))
        return *d;
    // A single-precision column holds the float nearest the text.
    if (std::isfinite(*d) && std::fabs(*d) > std::numeric_limits<float>::max())
        return {};
    return double(float(*d));
}

QVariant dateValue(const QString& type, const QString& text) {
    if (type == QLatin1String("time")) {
        const QTime time = QTime::fromString(text.trimmed(), Qt::ISODateWithMs);
        return time.isValid() ? QVariant(time) : QVariant();
    }
    const QDateTime dt = QDateTime::fromString(text.trimmed(), Qt::ISODateWithMs);
    return dt.isValid() ? QVariant(dt) : QVariant();
}

QVariant flagValue(const QString& text) {
    const QString b = text.trimmed();
    if (b.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || b == QLatin1String("1") ||
        b == QLatin1String("-1"))
        return true;
    if (b.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 || b == QLatin1String("0"))
        return false;
    return {};
}

} // namespace

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

int declaredLength(qulonglong n, bool isLong) {
    return !isLong && n > 0 && n < qulonglong(longTextLength) ? int(n) : 0;
}

std::optional<QString> valueText(const RowSetFileColumn& col, const QVariant& v) {
    switch (col.kind) {
    case Kind::Text:
        return v.toString();
    case Kind::Integer:
        return integerText(v);
    case Kind::Number:
        return numberText(col, v);
    case Kind::Money:
        return moneyText(v);
    case Kind::Date:
        return dateText(v);
    case Kind::Flag:
        return flagText(v);
    }
    return std::nullopt;
}

QVariant typedValue(const RowSetFileColumn& col, const QString& text) {
    const QString t = col.type.toLower();
    switch (col.kind) {
    case Kind::Text:
        return textValue(t, text);
    case Kind::Integer:
        return integerValue(t, text);
    case Kind::Number:
        if (col.floating)
            return floatValue(t, text);
        if (const auto plain = plainDecimal(text))
            return *plain;
        return {};
    case Kind::Money: {
        const auto amount = currencyText(text);
        return amount ? QVariant(*amount) : QVariant();
    }
    case Kind::Date:
        return dateValue(t, text);
    case Kind::Flag:
        return flagValue(text);
    }
    return {};
}

} // namespace zel::rowsets
