// Val and its rounding: any text gives a finite number, never undefined behaviour.
#include "fuzz.h"
#include "values/val.h"

#include <cmath>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = zel::fuzz::utf8(data, size);
    const double v = zel::Val(text);
    ZEL_FUZZ_CHECK(std::isfinite(v));
    (void)zel::valToInt(text);
    (void)zel::plainNumber(v);
    ZEL_FUZZ_CHECK(std::isfinite(zel::roundHalfEven(v)));
    return 0;
}
