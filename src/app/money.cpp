#include "app/money.h"
#include "app/val.h"

#include <cmath>
#include <algorithm>
#include <cstdlib>

namespace zel {

Money Money::fromDouble(double value) {
    if (!std::isfinite(value))
        return {};
    // Scale through a decimal text so 0.125 * 10000 is not spoilt by binary error.
    auto parsed = fromDecimalText(QString::number(value, 'f', 8));
    return parsed.value_or(Money{});
}

std::optional<Money> Money::fromDecimalText(QStringView raw) {
    QStringView text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        i = 1;
    }
    int64_t whole = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i].isDigit(); ++i) {
        if (whole > 922337203685476LL)
            return std::nullopt; // does not fit
        whole = whole * 10 + text[i].digitValue();
        anyDigit = true;
    }
    QString fraction;
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && text[i].isDigit(); ++i) {
            fraction += text[i];
            anyDigit = true;
        }
    }
    if (!anyDigit || i != text.size())
        return std::nullopt;
    // Four decimals kept; the rest decides the rounding, halves to even.
    QString kept = fraction.left(4).leftJustified(4, u'0');
    QString rest = fraction.mid(4);
    int64_t units = whole * 10000 + kept.toLongLong();
    if (!rest.isEmpty()) {
        QChar first = rest[0];
        bool moreAfter = false;
        for (qsizetype k = 1; k < rest.size() && !moreAfter; ++k)
            moreAfter = rest[k] != u'0';
        if (first > u'5' || (first == u'5' && moreAfter) || (first == u'5' && !moreAfter && (units % 2) == 1))
            units += 1;
    }
    return fromUnits(negative ? -units : units);
}

Money Money::roundedTo(int decimals) const {
    if (decimals >= 4)
        return *this;
    if (decimals < 0)
        decimals = 0;
    int64_t step = 1;
    for (int k = decimals; k < 4; ++k)
        step *= 10;
    int64_t q = units_ / step, r = units_ % step;
    int64_t absR = std::llabs(r) * 2;
    if (absR > step || (absR == step && (q % 2) != 0))
        q += (units_ < 0 ? -1 : 1);
    return fromUnits(q * step);
}

QString Money::toFixedText(int decimals) const {
    decimals = std::clamp(decimals, 0, 4);
    Money r = roundedTo(decimals);
    int64_t u = std::llabs(r.units_);
    QString s = QString::number(u / 10000);
    if (decimals > 0)
        s += u'.' + QString::number(u % 10000).rightJustified(4, u'0').left(decimals);
    if (r.units_ < 0)
        s.prepend(u'-');
    return s;
}

QString Money::toPlainText() const {
    QString s = toFixedText(4);
    while (s.endsWith(u'0'))
        s.chop(1);
    if (s.endsWith(u'.'))
        s.chop(1);
    return s;
}

} // namespace zel
