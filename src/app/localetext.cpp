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
        static const QRegularExpression grouped(QStringLiteral("^[-+]?\\d{1,3}(?:%1\\d{3})+(?:%2\\d+)?$"));
        QString pattern = grouped.pattern().arg(QRegularExpression::escape(loc.groupSeparator()),
                                                QRegularExpression::escape(loc.decimalPoint()));
        if (!QRegularExpression(pattern).match(text).hasMatch())
            return std::nullopt;
        text.remove(loc.groupSeparator());
    }
    if (text.startsWith(loc.negativeSign()) || text.startsWith(u'-')) {
        negative = !negative;
        text = text.mid(1).trimmed();
    }
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

std::optional<QDate> parseUserDate(const QString& raw) {
    QString text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{1,2})-(\\d{1,2})(?:[ T].*)?$"));
    if (auto m = iso.match(text); m.hasMatch()) {
        QDate d(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
        return d.isValid() ? std::optional(d) : std::nullopt;
    }
    static const QRegularExpression parts(
        QStringLiteral("^(\\d{1,2})[/.\\- ](\\d{1,2})[/.\\- ](\\d{2}|\\d{4})(?: +\\d{1,2}:\\d{2}(?::\\d{2})?)?$"));
    auto m = parts.match(text);
    if (!m.hasMatch())
        return std::nullopt;
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
        return std::nullopt; // year-first locales type ISO dates
    int year = yearText.toInt();
    if (yearText.size() == 2)
        year += year < 30 ? 2000 : 1900;
    QDate d(year, month, day);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

} // namespace zel
