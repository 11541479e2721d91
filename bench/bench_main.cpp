// zel-bench: the benchmarks, against the database named by
// $ZEL_BENCH_DATABASE (filled by zel-bench-generate; scripts/bench does both).
// Google Benchmark's options (--benchmark_filter=...) are taken as usual.
#include "app/database.h"

#include <QApplication>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <cstdio>

int main(int argc, char** argv) {
    // The grid's model lives in a widget application; no screen is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    benchmark::Initialize(&argc, argv);
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));

    const QString url = qEnvironmentVariable("ZEL_BENCH_DATABASE");
    if (url.isEmpty()) {
        std::fprintf(stderr, "zel-bench: set ZEL_BENCH_DATABASE to the database URL "
                             "(scripts/bench does)\n");
        return 2;
    }
    try {
        if (!zel::gConn().open(zel::parseDatabaseUrl(url))) {
            std::fprintf(stderr, "zel-bench: cannot open %s: %s\n", qPrintable(url),
                         qPrintable(zel::gConn().lastOpenError()));
            return 1;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zel-bench: %s\n", e.what());
        return 2;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zel::gConn().release();
    return 0;
}
