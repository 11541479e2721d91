#include "app/localetext.h"

#include <QLocale>
#include <QRegularExpression>

namespace zel {

QString currencyText(Money amount, int decimals) {
    QLocale loc;
    if (decimals < 0)
        return loc.toCurrencyString(amount.toDouble());
    return loc.toCurrencyString(amount.roundedTo(decimals).toDouble(), QString(), decimals);
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
        static const QRegularExpression grouped(QStringLiteral("^[-+]?[0-9]{1,3}(?:%1[0-9]{3})+(?:%2[0-9]+)?$"));
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
QString shortFormat() { return QLocale().dateFormat(QLocale::ShortFormat); }
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
    static const QRegularExpression parts(QStringLiteral(
        "^([0-9]{1,2})[/.\\- ]([0-9]{1,2})[/.\\- ]([0-9]{2}|[0-9]{4})(?: +([0-9]{1,2}):([0-9]{2})(?::([0-9]{2}))?)?$"));
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
