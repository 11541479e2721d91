#pragma once
// Money as a fixed-point amount in ten-thousandths of a pound (four decimals),
// the way the ledger and the order totals store it.
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace zel {

// An amount, or a sum or product of amounts, beyond what the money type and
// the money columns (DECIMAL(19,4)) can hold.
class MoneyOverflow : public std::overflow_error {
public:
    MoneyOverflow();
};

// The range is that of 64-bit ten-thousandths: +-922,337,203,685,477.5807,
// inside what a DECIMAL(19,4) column holds.
class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromUnits(int64_t tenThousandths) {
        Money m;
        m.units_ = tenThousandths;
        return m;
    }
    // Rounds to four decimals, halves to even. Throws MoneyOverflow when the
    // value is not finite or beyond the range.
    static Money fromDouble(double value);
    // Plain decimal text ("12.5", "-3.14159") of ASCII digits; more than four
    // decimals are rounded half to even. Empty or malformed text, or an
    // amount beyond the range, gives nothing.
    static std::optional<Money> fromDecimalText(QStringView text);

    int64_t units() const { return units_; }
    double toDouble() const { return double(units_) / 10000.0; }
    // Plain decimal text with up to four decimals, trailing zeros dropped.
    QString toPlainText() const;
    // Plain decimal text with exactly `decimals` decimals (0..4), rounded half to even.
    QString toFixedText(int decimals) const;
    Money roundedTo(int decimals) const;
    // This amount x a/100 x b/100 for percentages a and b (taken to four
    // decimals), rounded once to four decimals, halves to even: a discount
    // of D per cent is timesPercents(100 - D), VAT on it timesPercents(100 - D, V).
    // Throws MoneyOverflow when a percentage is not finite or the result is
    // beyond the range.
    Money timesPercents(double a, double b = 100.0) const;

    // Sums and differences throw MoneyOverflow instead of wrapping round.
    Money operator+(Money o) const;
    Money operator-(Money o) const;
    Money operator-() const;
    Money& operator+=(Money o) { return *this = *this + o; }
    auto operator<=>(const Money&) const = default;

private:
    int64_t units_ = 0;
};

} // namespace zel
