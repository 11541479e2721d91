// Currency texts and typed numbers: a text is read exactly or not at all,
// and the conversions refuse what they cannot store without throwing
// anything but their own refusal.
#include "fuzz.h"
#include "values/convert.h"
#include "values/localetext.h"
#include "values/money.h"

#include <cmath>
#include <cstdio>

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::utf8(data, size);
    if (auto m = parseCurrency(text)) {
        // What the totals show reads back exactly.
        const auto back = parseCurrency(currencyText(*m, 4));
        ZEL_FUZZ_CHECK(back.has_value() && back->units() == m->units());
        (void)currencyText(*m);
    }
    try {
        const QVariant v = toColumnValue(Kind::Money, text, QStringLiteral("Unit Price"));
        if (!v.isNull()) {
            const auto m = Money::fromDecimalText(v.toString());
            ZEL_FUZZ_CHECK(m.has_value());
            ZEL_FUZZ_CHECK(m->toPlainText() == v.toString());
        }
    } catch (const ConversionError&) {
    }
    try {
        const QVariant v = toColumnValue(Kind::Number, text, QStringLiteral("Discount"));
        if (!v.isNull()) {
            bool ok = false;
            const double d = v.toString().toDouble(&ok);
            ZEL_FUZZ_CHECK(ok && std::isfinite(d) && std::fabs(d) < 1e15);
        }
    } catch (const ConversionError&) {
    }
    try {
        const QVariant v = toColumnValue(Kind::Integer, text, QStringLiteral("Quantity"));
        ZEL_FUZZ_CHECK(v.isNull() ||
                       (v.toLongLong() >= -2147483648LL && v.toLongLong() <= 2147483647LL));
    } catch (const ConversionError&) {
    }
    // Sums of what was read refuse rather than wrap.
    if (auto a = Money::fromDecimalText(text)) {
        try {
            Money s = *a + *a;
            s = s - *a;
            ZEL_FUZZ_CHECK(s == *a);
            (void)(-*a);
            (void)a->roundedTo(2).toFixedText(2);
        } catch (const MoneyOverflow&) {
        }
    }
    return 0;
}
