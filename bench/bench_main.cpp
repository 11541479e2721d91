// zel-bench: the benchmarks, against the database named by
// $ZEL_BENCH_DATABASE (filled by zel-bench-generate; scripts/bench does both).
// Google Benchmark's options (--benchmark_filter=...) are taken as usual.
// After the runs it prints each target beside what was measured, and each
// program's way beside the statement-by-statement way with their ratio.
#include "app/messages.h"
#include "connection/database.h"
#include "runwindows.h"

#include <QApplication>
#include <QLocale>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

struct Measured {
    double ms = 0;
    std::map<std::string, double> counters;
};

// The console report, keeping each run's wall time in milliseconds.
class KeepingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.run_type != Run::RT_Iteration || r.error_occurred)
                continue;
            Measured m;
            m.ms = r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e3;
            for (const auto& [name, c] : r.counters)
                m.counters[name] = c.value;
            results[r.benchmark_name()] = m;
        }
    }
    // The first run whose name starts with `prefix`.
    const std::pair<const std::string, Measured>* find(const std::string& prefix) const {
        for (const auto& entry : results)
            if (entry.first.rfind(prefix, 0) == 0)
                return &entry;
        return nullptr;
    }
    std::map<std::string, Measured> results;
};

struct Target {
    const char* benchmark; // the start of its name
    const char* what;
    const char* counter; // nullptr: wall time in ms
    double limit;
};

const Target targets[] = {
    {"BM_OpenOrderInWindow/10000/", "open a 10,000-line order", nullptr, 50},
    {"BM_TotalsKeystroke_Program/10000/", "totals keystroke on it", nullptr, 1},
    {"BM_TotalsKeystroke_Program/10000/", "  queries per keystroke", "queries", 0},
    {"BM_StatusStamp_Program/10000/", "status stamp of 10,000 lines", nullptr, 50},
    {"BM_FindBySingleDate", "search: single date", nullptr, 50},
    {"BM_FindByMonth", "search: month", nullptr, 50},
    {"BM_FindByDateRange", "search: date range", nullptr, 50},
    {"BM_FindByProductGroup", "search: product group", nullptr, 50},
    {"BM_FindByDentist", "search: dentist", nullptr, 50},
    {"BM_OpenPartFinder", "part finder open", nullptr, 100},
    {"BM_PrintOrderToPdf_Program/10000/", "10,000-line order to PDF", nullptr, 1000},
    {"BM_ResidentMemoryWithOrderOpen/10000/", "resident memory, 10,000-line order open (MB)",
     "rss_MB", 150},
    {"BM_StartUpToFirstPaint", "start-up to first painted window", nullptr, 300},
};

void printSummary(const KeepingReporter& rep) {
    std::printf("\nTargets\n");
    std::printf("  %-46s %12s %10s  %s\n", "", "measured", "target", "");
    for (const Target& t : targets) {
        const auto* r = rep.find(t.benchmark);
        if (!r) {
            std::printf("  %-46s %12s %10s\n", t.what, "not run", "");
            continue;
        }
        double v = r->second.ms;
        if (t.counter) {
            auto c = r->second.counters.find(t.counter);
            if (c == r->second.counters.end())
                continue;
            v = c->second;
        }
        const bool ok = t.counter && t.limit == 0 ? v == 0 : v < t.limit;
        std::printf("  %-46s %12.3f %9s%g  %s\n", t.what, v, t.limit == 0 ? "= " : "< ", t.limit,
                    ok ? "ok" : "MISSED");
    }
    std::printf("\nSide by side (statement by statement / program)\n");
    std::printf("  %-34s %14s %14s %9s %16s\n", "", "literal ms", "program ms", "ratio",
                "queries lit/prog");
    for (const auto& [name, lit] : rep.results) {
        const auto at = name.find("_Literal");
        if (at == std::string::npos)
            continue;
        // The same benchmark's program way, whatever iterations each was given.
        const auto stem = [](std::string n) {
            const auto it = n.find("/iterations:");
            if (it != std::string::npos)
                n.erase(it, n.find('/', it + 1) - it);
            return n;
        };
        std::string programName = name;
        programName.replace(at, 8, "_Program");
        auto p = rep.results.end();
        for (auto e = rep.results.begin(); e != rep.results.end(); ++e)
            if (stem(e->first) == stem(programName))
                p = e;
        if (p == rep.results.end())
            continue;
        const auto q = [](const Measured& m) {
            auto c = m.counters.find("queries");
            return c == m.counters.end() ? -1.0 : c->second;
        };
        std::string shown = stem(name);
        shown.replace(shown.find("_Literal"), 8, "");
        if (shown.rfind("BM_", 0) == 0)
            shown.erase(0, 3);
        const auto rt = shown.find("/real_time");
        if (rt != std::string::npos)
            shown.erase(rt);
        char queries[64] = "";
        if (q(lit) >= 0)
            std::snprintf(queries, sizeof queries, "%.0f / %.0f", q(lit), q(p->second));
        std::printf("  %-34s %14.3f %14.3f %8.0fx %16s\n", shown.c_str(), lit.ms, p->second.ms,
                    p->second.ms > 0 ? lit.ms / p->second.ms : 0.0, queries);
    }
}

} // namespace

int main(int argc, char** argv) {
    // As the program's start-up does: the time zone read once, not per date.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
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
    // No benchmark waits on a message box: what would be said is said at the end.
    auto said = std::make_shared<zel::RecordingMessages>();
    zel::setMessageService(said);
    KeepingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    QStringList texts = said->texts();
    texts.removeDuplicates();
    for (const QString& t : texts)
        std::fprintf(stderr, "zel-bench: the program said: %s\n", qPrintable(t));
    benchmark::Shutdown();
    // The windows the benchmarks kept go while the application object is still there.
    zel::bench::endRun();
    zel::gConn().release();
    return 0;
}
