// Database URLs from the command line or the environment: read, or refused
// with std::invalid_argument; nothing else.
#include "connection/database.h"
#include "fuzz.h"

#include <cstdio>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = zel::fuzz::utf8(data, size);
    try {
        const zel::ConnectionSettings s = zel::parseDatabaseUrl(text);
        ZEL_FUZZ_CHECK(s.driver == QLatin1String("QMYSQL") || s.driver == QLatin1String("QODBC"));
        ZEL_FUZZ_CHECK(!s.database.isEmpty());
        (void)s.describe();
    } catch (const std::invalid_argument&) {
    }
    return 0;
}
