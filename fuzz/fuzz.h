#pragma once
// What every fuzz target shares: the input as text, and a check that aborts.
#include <QLocale>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace zel::fuzz {

// The bytes as UTF-8 (what a file or the command line gives).
inline QString utf8(const uint8_t* data, size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A broken promise of the code under test.
#define ZEL_FUZZ_CHECK(cond)                                                                       \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            fprintf(stderr, "check failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);              \
            abort();                                                                               \
        }                                                                                          \
    } while (0)

} // namespace zel::fuzz
