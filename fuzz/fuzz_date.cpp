// Typed dates: a text is a valid date (with a valid time, if any) or nothing,
// and what the conversion takes reads back as the same date.
#include "fuzz.h"
#include "values/convert.h"
#include "values/localetext.h"

#include <cstdio>

using namespace zel;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = fuzz::utf8(data, size);
    const TypedDate typed = readUserDate(text);
    if (typed.date)
        ZEL_FUZZ_CHECK(typed.date->isValid());
    if (typed.hasTime && typed.timeValid)
        ZEL_FUZZ_CHECK(typed.time.isValid());
    const auto parsed = parseUserDate(text);
    ZEL_FUZZ_CHECK(!parsed || (typed.date && *parsed == *typed.date && typed.timeValid));
    try {
        const QVariant v = toColumnValue(Kind::Date, text, QStringLiteral("Due Date"));
        if (!v.isNull()) {
            const QDate d = v.toDate();
            ZEL_FUZZ_CHECK(d.isValid());
            ZEL_FUZZ_CHECK(parseUserDate(shortDateText(d)) == d);
        }
    } catch (const ConversionError&) {
    }
    return 0;
}
