#include "values/localetext.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cstdlib>

namespace zel {

QString currencyText(Money amount, int decimals) {
    // Composed from the exact amount: going through a double would change
    // the last digits of a large amount.
    const QLocale loc;
    if (decimals < 0) {
        const QString zero = loc.toCurrencyString(0.0);
        const qsizetype point = zero.lastIndexOf(loc.decimalPoint());
        decimals = 0;
        for (qsizetype k = point + 1; point >= 0 && k < zero.size() && zero[k].isDigit(); ++k)
            ++decimals;
    }
    decimals = std::clamp(decimals, 0, 4);
    // Halves away from zero, as the totals have always been shown (116.325
    // shows as 116.33).
    int64_t step = 1;
    for (int k = decimals; k < 4; ++k)
        step *= 10;
    int64_t q = amount.units() / step;
    if (std::llabs(amount.units() % step) * 2 >= step)
        q += amount.units() < 0 ? -1 : 1;
    const bool negative = q < 0;
    const uint64_t magnitude = negative ? uint64_t(-(q + 1)) + 1 : uint64_t(q);
    uint64_t scale = 1;
    for (int k = 0; k < decimals; ++k)
        scale *= 10;
    QString number = loc.toString(qulonglong(magnitude / scale));
    if (decimals > 0) {
        number += loc.decimalPoint();
        const QString fraction =
            QString::number(qulonglong(magnitude % scale)).rightJustified(decimals, u'0');
        for (QChar c : fraction)
            number += loc.toString(c.digitValue());
    }
    // The locale's own placing of symbol and sign, shown on a one.
    QString pattern = loc.toCurrencyString(negative ? -1.0 : 1.0, QString(), 0);
    const QString one = loc.toString(1);
    const qsizetype at = pattern.indexOf(one);
    if (at < 0)
        return pattern;
    // A system locale may give its own decimals whatever is asked ("$1.00"
    // from Windows): they go with the one.
    qsizetype length = one.size();
    if (pattern.mid(at + length).startsWith(loc.decimalPoint())) {
        length += loc.decimalPoint().size();
        while (at + length < pattern.size() && pattern[at + length].isDigit())
            ++length;
    }
    return pattern.replace(at, length, number);
}

std::optional<Money> parseCurrency(const QString& raw) {
    QLocale loc;
    QString text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (text.startsWith(u'(') && text.endsWith(u')')) {
        negative = true;
        text = text.mid(1, text.size() - 2).trimmed();
    }
    QString symbol = loc.currencySymbol(QLocale::CurrencySymbol);
    QString iso = loc.currencySymbol(QLocale::CurrencyIsoCode);
    if (!symbol.isEmpty())
        text.remove(symbol);
    if (!iso.isEmpty())
        text.remove(iso);
    text = text.trimmed();
    // Grouping must be real grouping: "1,234.50" is an amount, "12,50" is not.
    if (text.contains(loc.groupSeparator())) {
        static const QRegularExpression grouped(
            QStringLiteral("^[-+]?[0-9]{1,3}(?:%1[0-9]{3})+(?:%2[0-9]+)?$"));
        QString pattern = grouped.pattern().arg(QRegularExpression::escape(loc.groupSeparator()),
                                                QRegularExpression::escape(loc.decimalPoint()));
        if (!QRegularExpression(pattern).match(text).hasMatch())
            return std::nullopt;
        text.remove(loc.groupSeparator());
    }
    // One sign only, and not inside brackets: "--5", "-+5" and "(-5)" are not amounts.
    if (text.startsWith(loc.negativeSign()) || text.startsWith(u'-') || text.startsWith(u'+')) {
        if (negative)
            return std::nullopt;
        negative = text[0] != u'+';
        text = text.mid(1).trimmed();
    }
    if (text.startsWith(u'-') || text.startsWith(u'+') || text.startsWith(loc.negativeSign()) ||
        text.startsWith(u'('))
        return std::nullopt;
    if (loc.decimalPoint() != QLatin1String("."))
        text.replace(loc.decimalPoint(), QLatin1String("."));
    auto m = Money::fromDecimalText(text);
    if (!m)
        return std::nullopt;
    return negative ? -*m : *m;
}

namespace {
QString shortFormat() {
    return QLocale().dateFormat(QLocale::ShortFormat);
}
} // namespace

QChar dateSeparator() {
    for (QChar c : shortFormat())
        if (!c.isLetter())
            return c;
    return u'/';
}

QString todayText(QDate today) {
    QChar s = dateSeparator();
    return today.toString(QStringLiteral("dd") + s + QStringLiteral("MM") + s +
                          QStringLiteral("yyyy"));
}

QString shortDateText(const QDate& date) {
    if (!date.isValid())
        return {};
    // The short form with a four-digit year, so stored dates read unambiguously.
    QString fmt = shortFormat();
    if (!fmt.contains(QLatin1String("yyyy")))
        fmt.replace(QLatin1String("yy"), QLatin1String("yyyy"));
    return QLocale().toString(date, fmt);
}

TypedDate readUserDate(const QString& raw) {
    TypedDate out;
    QString text = raw.trimmed();
    if (text.isEmpty())
        return out;
    // The time after a date: hours, minutes and optional seconds, checked below.
    auto readTime = [&out](const QString& h, const QString& m, const QString& sec) {
        if (h.isEmpty())
            return;
        out.hasTime = true;
        out.time = QTime(h.toInt(), m.toInt(), sec.isEmpty() ? 0 : sec.toInt());
        out.timeValid = out.time.isValid();
    };
    static const QRegularExpression iso(QStringLiteral(
        "^([0-9]{4})-([0-9]{1,2})-([0-9]{1,2})(?:[ T]([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)?$"));
    if (auto m = iso.match(text); m.hasMatch()) {
        QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        if (d.isValid())
            out.date = d;
        readTime(m.captured(4), m.captured(5), m.captured(6));
        return out;
    }
    static const QRegularExpression parts(
        QStringLiteral("^([0-9]{1,2})[/.\\- ]([0-9]{1,2})[/.\\- ]([0-9]{2}|[0-9]{4})(?: "
                       "+([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)?$"));
    auto m = parts.match(text);
    if (!m.hasMatch())
        return out;
    // Field order from the locale's short date format.
    QString fmt = shortFormat();
    qsizetype dPos = fmt.indexOf(u'd'), mPos = fmt.indexOf(u'M'), yPos = fmt.indexOf(u'y');
    int first = m.captured(1).toInt(), second = m.captured(2).toInt();
    QString yearText = m.captured(3);
    int day = first, month = second;
    if (mPos >= 0 && dPos >= 0 && mPos < dPos) {
        month = first;
        day = second;
    }
    if (yPos >= 0 && yPos < dPos && yPos < mPos)
        return out; // year-first locales type ISO dates
    int year = yearText.toInt();
    if (yearText.size() == 2)
        year += year < 30 ? 2000 : 1900;
    QDate d(year, month, day);
    if (d.isValid())
        out.date = d;
    readTime(m.captured(4), m.captured(5), m.captured(6));
    return out;
}

std::optional<QDate> parseUserDate(const QString& raw) {
    TypedDate t = readUserDate(raw);
    if (!t.timeValid)
        return std::nullopt;
    return t.date;
}

} // namespace zel
