#include "values/money.h"
#include "values/val.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zel {

MoneyOverflow::MoneyOverflow()
    : std::overflow_error("The amount is larger than the largest amount that can be stored.") {}

Money Money::fromDouble(double value) {
    // 9.2e14 pounds is the end of the range; past it (or not a number) is an error.
    if (!std::isfinite(value) || std::fabs(value) >= 922337203685477.0)
        throw MoneyOverflow();
    // Scale through a decimal text so 0.125 * 10000 is not spoilt by binary error.
    auto parsed = fromDecimalText(QString::number(value, 'f', 8));
    if (!parsed)
        throw MoneyOverflow();
    return *parsed;
}

Money Money::operator+(Money o) const {
    int64_t r;
    if (__builtin_add_overflow(units_, o.units_, &r))
        throw MoneyOverflow();
    return fromUnits(r);
}

Money Money::operator-(Money o) const {
    int64_t r;
    if (__builtin_sub_overflow(units_, o.units_, &r))
        throw MoneyOverflow();
    return fromUnits(r);
}

Money Money::operator-() const {
    if (units_ == INT64_MIN)
        throw MoneyOverflow();
    return fromUnits(-units_);
}

namespace {

// Reads a plain decimal of ASCII digits. `overflow` is set when it is well
// formed but beyond the range.
std::optional<Money> readDecimal(QStringView raw, bool& overflow) {
    overflow = false;
    QStringView text = raw.trimmed();
    if (text.isEmpty())
        return std::nullopt;
    bool negative = false;
    qsizetype i = 0;
    if (text[0] == u'-' || text[0] == u'+') {
        negative = text[0] == u'-';
        i = 1;
    }
    auto ascii = [](QChar c) { return c >= u'0' && c <= u'9'; };
    // Whole pounds in unsigned 64 bits; the check keeps the units in range.
    uint64_t whole = 0;
    bool anyDigit = false, big = false;
    for (; i < text.size() && ascii(text[i]); ++i) {
        if (!big) {
            whole = whole * 10 + uint64_t(text[i].unicode() - u'0');
            big = whole > 922337203685477ULL;
        }
        anyDigit = true;
    }
    QString fraction;
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && ascii(text[i]); ++i) {
            fraction += text[i];
            anyDigit = true;
        }
    }
    if (!anyDigit || i != text.size())
        return std::nullopt;
    if (big) {
        overflow = true;
        return std::nullopt;
    }
    // Four decimals kept; the rest decides the rounding, halves to even.
    QString kept = fraction.left(4).leftJustified(4, u'0');
    QString rest = fraction.mid(4);
    uint64_t units = whole * 10000 + uint64_t(kept.toLongLong());
    if (!rest.isEmpty()) {
        QChar first = rest[0];
        bool moreAfter = false;
        for (qsizetype k = 1; k < rest.size() && !moreAfter; ++k)
            moreAfter = rest[k] != u'0';
        if (first > u'5' || (first == u'5' && moreAfter) ||
            (first == u'5' && !moreAfter && (units % 2) == 1))
            units += 1;
    }
    if (units > uint64_t(INT64_MAX)) {
        overflow = true;
        return std::nullopt;
    }
    return Money::fromUnits(negative ? -int64_t(units) : int64_t(units));
}

} // namespace

std::optional<Money> Money::fromDecimalText(QStringView raw) {
    bool overflow = false;
    return readDecimal(raw, overflow);
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
    int64_t rounded;
    if (__builtin_mul_overflow(q, step, &rounded))
        throw MoneyOverflow();
    return fromUnits(rounded);
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
