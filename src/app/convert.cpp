#include "values/convert.h"
#include "values/localetext.h"
#include "values/money.h"
#include "values/val.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <limits>

namespace zel {

namespace {

QString quoted(const QString& t) {
    return QStringLiteral("\"") + t + QStringLiteral("\"");
}

// A number as typed: one optional sign, ASCII digits with the locale's
// decimal mark, no exponent; or a currency text as the totals show it.
// Digits of other scripts are not read as digits. Gives the plain decimal
// text ('.' as the decimal mark), or nothing.
std::optional<QString> readNumber(const QString& raw) {
    QString text = raw.trimmed();
    QLocale loc;
    if (loc.decimalPoint() != QLatin1String("."))
        text.replace(loc.decimalPoint(), QLatin1String("."));
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"));
    if (number.match(text).hasMatch())
        return text;
    if (auto m = parseCurrency(raw))
        return m->toPlainText();
    return std::nullopt;
}

[[noreturn]] void refuse(const QString& field, const QString& text, const QString& what) {
    throw ConversionError(field, text, QStringLiteral("%1: %2 %3").arg(field, text, what));
}

// The largest magnitude a number column (a percentage, a rate) is given:
// past it arithmetic on the column stops being exact.
constexpr double kLargestNumber = 1e15;
constexpr int kNumberDecimals = 15;

} // namespace

QVariant toColumnValue(Kind kind, const QString& text, const QString& field) {
    if (text.isEmpty())
        return QVariant();
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Number: {
        auto n = readNumber(text);
        if (!n)
            throw ConversionError(
                field, text, QStringLiteral("%1: %2 is not a number.").arg(field, quoted(text)));
        if (std::fabs(n->toDouble()) >= kLargestNumber)
            refuse(field, text,
                   QStringLiteral("is larger than the largest number that can be stored."));
        // Past 15 decimals a double no longer holds the number typed (a tiny
        // enough one even becomes 0).
        const qsizetype point = n->indexOf(u'.');
        if (point >= 0) {
            qsizetype last = n->size();
            while (last > point + 1 && n->at(last - 1) == u'0')
                --last;
            if (last - point - 1 > kNumberDecimals)
                refuse(field, text,
                       QStringLiteral("has more decimals than can be stored (%1 at most).")
                           .arg(kNumberDecimals));
        }
        return *n;
    }
    case Kind::Integer: {
        auto n = readNumber(text);
        if (!n)
            throw ConversionError(
                field, text,
                QStringLiteral("%1: %2 is not a whole number.").arg(field, quoted(text)));
        const double d = n->toDouble();
        if (d != roundHalfEven(d))
            throw ConversionError(
                field, text,
                QStringLiteral("%1: %2 is not a whole number.").arg(field, quoted(text)));
        // The whole-number columns are 32-bit.
        if (d > double(std::numeric_limits<int32_t>::max()) ||
            d < double(std::numeric_limits<int32_t>::min()))
            refuse(field, text,
                   QStringLiteral("is larger than the largest whole number that can be stored."));
        return qlonglong(d);
    }
    case Kind::Money: {
        auto n = readNumber(text);
        if (!n)
            throw ConversionError(
                field, text,
                QStringLiteral("%1: %2 is not an amount of money.").arg(field, quoted(text)));
        std::optional<Money> m = Money::fromDecimalText(*n);
        if (!m)
            refuse(field, text,
                   QStringLiteral("is larger than the largest amount that can be stored."));
        return m->toPlainText();
    }
    case Kind::Date: {
        const TypedDate t = readUserDate(text);
        const QString form = todayText(QDate(2000, 12, 31))
                                 .replace(QLatin1String("31"), QLatin1String("dd"))
                                 .replace(QLatin1String("12"), QLatin1String("mm"))
                                 .replace(QLatin1String("2000"), QLatin1String("yyyy"));
        if (!t.date)
            throw ConversionError(
                field, text,
                QStringLiteral("%1: %2 is not a date (%3).").arg(field, quoted(text), form));
        if (!t.timeValid)
            throw ConversionError(field, text,
                                  QStringLiteral("%1: %2 has a time that is not a time of day.")
                                      .arg(field, quoted(text)));
        // The program keeps dates only: a time other than midnight would be lost.
        if (t.hasTime && t.time != QTime(0, 0))
            throw ConversionError(
                field, text,
                QStringLiteral("%1: %2 has a time; this field holds a date only (%3).")
                    .arg(field, quoted(text), form));
        return *t.date;
    }
    case Kind::Flag: {
        QString t = text.trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("yes"))
            return qlonglong(1);
        if (t == QLatin1String("false") || t == QLatin1String("no"))
            return qlonglong(0);
        auto n = readNumber(text);
        if (!n)
            throw ConversionError(
                field, text, QStringLiteral("%1: %2 is not yes or no.").arg(field, quoted(text)));
        return qlonglong(n->toDouble() != 0 ? 1 : 0);
    }
    }
    return text;
}

QString displayText(Kind kind, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case Kind::Date: {
        QDate d =
            value.typeId() == QMetaType::QDateTime ? value.toDateTime().date() : value.toDate();
        if (!d.isValid())
            d = QDateTime::fromString(value.toString(), Qt::ISODate).date();
        return d.isValid() ? shortDateText(d) : value.toString();
    }
    case Kind::Money: {
        auto m = Money::fromDecimalText(value.toString());
        if (!m)
            return value.toString();
        QString s = m->toPlainText();
        qsizetype dot = s.indexOf(u'.');
        if (dot < 0)
            return s + QStringLiteral(".00");
        if (s.size() - dot - 1 < 2)
            s += u'0';
        return s;
    }
    case Kind::Number:
    case Kind::Integer:
    case Kind::Flag: {
        QString s = value.toString();
        if (s.contains(u'.') && !s.contains(u'e') && !s.contains(u'E')) {
            while (s.endsWith(u'0'))
                s.chop(1);
            if (s.endsWith(u'.'))
                s.chop(1);
        }
        return s;
    }
    case Kind::Text:
        break;
    }
    return value.toString();
}

} // namespace zel
