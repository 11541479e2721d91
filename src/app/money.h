#pragma once
// Money as a fixed-point amount in ten-thousandths of a pound (four decimals),
// the way the ledger and the order totals store it.
#include <QString>
#include <compare>
#include <cstdint>
#include <optional>

namespace zel {

class Money {
public:
    constexpr Money() = default;
    static constexpr Money fromUnits(int64_t tenThousandths) {
        Money m;
        m.units_ = tenThousandths;
        return m;
    }
    // Rounds to four decimals, halves to even.
    static Money fromDouble(double value);
    // Plain decimal text ("12.5", "-3.14159"); more than four decimals are
    // rounded half to even. Empty or malformed text gives nothing.
    static std::optional<Money> fromDecimalText(QStringView text);

    int64_t units() const { return units_; }
    double toDouble() const { return double(units_) / 10000.0; }
    // Plain decimal text with up to four decimals, trailing zeros dropped.
    QString toPlainText() const;
    // Plain decimal text with exactly `decimals` decimals (0..4), rounded half to even.
    QString toFixedText(int decimals) const;
    Money roundedTo(int decimals) const;

    Money operator+(Money o) const { return fromUnits(units_ + o.units_); }
    Money operator-(Money o) const { return fromUnits(units_ - o.units_); }
    Money operator-() const { return fromUnits(-units_); }
    Money& operator+=(Money o) {
        units_ += o.units_;
        return *this;
    }
    auto operator<=>(const Money&) const = default;

private:
    int64_t units_ = 0;
};

} // namespace zel
