#include "app/convert.h"
#include "app/localetext.h"
#include "app/money.h"
#include "app/val.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace zel {

namespace {

QString quoted(const QString& t) { return QStringLiteral("\"") + t + QStringLiteral("\""); }

// A plain number as typed: optional sign, digits with an optional decimal mark.
std::optional<QString> readNumber(const QString& raw) {
    QString text = raw.trimmed();
    QLocale loc;
    if (loc.decimalPoint() != QLatin1String("."))
        text.replace(loc.decimalPoint(), QLatin1String("."));
    static const QRegularExpression number(
        QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (number.match(text).hasMatch())
        return text;
    // Currency texts (as the totals show them) are numbers too.
    if (auto m = parseCurrency(raw))
        return m->toPlainText();
    return std::nullopt;
}

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
            throw ConversionError(field, text,
                                  QStringLiteral("%1: %2 is not a number.").arg(field, quoted(text)));
        return *n;
    }
    case Kind::Integer: {
        auto n = readNumber(text);
        bool ok = false;
        qlonglong v = n ? n->toLongLong(&ok) : 0;
        if (!ok && n) {
            double d = n->toDouble(&ok);
            ok = ok && d == roundHalfEven(d) && qAbs(d) < 9.0e15;
            v = qlonglong(d);
        }
        if (!ok)
            throw ConversionError(field, text,
                                  QStringLiteral("%1: %2 is not a whole number.").arg(field, quoted(text)));
        return v;
    }
    case Kind::Money: {
        auto n = readNumber(text);
        std::optional<Money> m = n ? Money::fromDecimalText(*n) : std::nullopt;
        if (!m && n) {
            bool ok = false;
            double d = n->toDouble(&ok);
            if (ok && qAbs(d) < 9.0e14)
                m = Money::fromDouble(d);
        }
        if (!m)
            throw ConversionError(field, text,
                                  QStringLiteral("%1: %2 is not an amount of money.").arg(field, quoted(text)));
        return m->toPlainText();
    }
    case Kind::Date: {
        auto d = parseUserDate(text);
        if (!d)
            throw ConversionError(
                field, text,
                QStringLiteral("%1: %2 is not a date (%3).")
                    .arg(field, quoted(text), todayText(QDate(2000, 12, 31))
                                                  .replace(QLatin1String("31"), QLatin1String("dd"))
                                                  .replace(QLatin1String("12"), QLatin1String("mm"))
                                                  .replace(QLatin1String("2000"), QLatin1String("yyyy"))));
        return *d;
    }
    case Kind::Flag: {
        QString t = text.trimmed().toLower();
        if (t == QLatin1String("true") || t == QLatin1String("yes"))
            return qlonglong(1);
        if (t == QLatin1String("false") || t == QLatin1String("no"))
            return qlonglong(0);
        auto n = readNumber(text);
        if (!n)
            throw ConversionError(field, text,
                                  QStringLiteral("%1: %2 is not yes or no.").arg(field, quoted(text)));
        return qlonglong(Val(*n) != 0 ? 1 : 0);
    }
    }
    return text;
}

QString displayText(Kind kind, const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return {};
    switch (kind) {
    case Kind::Date: {
        QDate d = value.typeId() == QMetaType::QDateTime ? value.toDateTime().date()
                                                          : value.toDate();
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
