// The last prices paid for a product and the outstanding deliveries list on
// a large practice, with the plan the server chooses for each; the list's
// statement also as it runs without the status index.
#include "connection/database.h"
#include "data/deliveries.h"
#include "data/priceshistory.h"
#include "data/statuses.h"
#include "deliveries/frmoutstanding.h"
#include "explain.h"
#include "purchasing/frmpurchaseorder.h"
#include "runwindows.h"

#include <benchmark/benchmark.h>

using namespace zel;

namespace {

// Lines of orders spread over the practice's years: a product, its order's
// supplier account and the order, as an order window asks for them. `every`
// and `at` pick the orders (`Quote ID` % every = at), one line of each.
struct Asked {
    qlonglong product;
    QString account;
    qint64 order;
};
QList<Asked> askedLines(int every, int at) {
    QList<Asked> out;
    const RowSet rs = gConn().select(
        QStringLiteral(
            "SELECT MIN(`Order Details`.`Product ID`), `Order Information`.`Account No`, "
            "`Order Information`.`Quote ID` FROM `Order Information` INNER JOIN "
            "`Order Details` ON `Order Details`.`Order ID` = `Order Information`.`Quote ID` "
            "WHERE `Order Information`.`Quote ID` % ? = ? "
            "GROUP BY `Order Information`.`Quote ID` LIMIT 1000"),
        {every, at});
    for (const auto& row : rs.rows)
        out << Asked{row[0].toLongLong(), row[1].toString(), row[2].toLongLong()};
    if (out.isEmpty())
        throw std::runtime_error("no orders to ask about");
    return out;
}

void lookUp(benchmark::State& state, const QList<Asked>& lines, qsizetype& next) {
    qsizetype found = 0, looks = 0;
    for (auto _ : state) {
        const Asked& a = lines[next++ % lines.size()];
        found += prices::lastPaid(a.product, a.account, a.order).size();
        ++looks;
    }
    state.counters["prices"] = looks ? double(found) / double(looks) : 0;
    const Asked& a = lines.first();
    bench::explainOnce(prices::lastPaidStatement(prices::kShown, prices::orderIndexPresent()),
                       {a.product, a.account, a.order}, "last prices paid");
}

// The first look at each product since the server started: a different
// product every time, its orders' pages not yet read by the server. Runs
// before anything else has warmed the server's pages.
void BM_LastPricesPaid_FirstLook(benchmark::State& state) {
    try {
        static const QList<Asked> lines = askedLines(1000, 501);
        static qsizetype next = 0;
        lookUp(state, lines, next);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// The same 50 products over and over: a product looked at again.
void BM_LastPricesPaid(benchmark::State& state) {
    try {
        static const QList<Asked> lines = askedLines(20000, 7);
        static qsizetype next = 0;
        lookUp(state, lines, next);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// What opening the list asks of the server: the count by supplier and the
// first page of lines by due date.
void BM_OutstandingSummary(benchmark::State& state) {
    try {
        int lines = 0;
        for (auto _ : state)
            lines = deliveries::summary().lines;
        state.counters["lines"] = lines;
        bench::explainOnce(deliveries::summaryStatement(QDate::currentDate()),
                           {statuses::kApproved}, "outstanding deliveries, count by supplier");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void BM_OutstandingFirstPage(benchmark::State& state) {
    try {
        const deliveries::View view;
        int lines = 0;
        for (auto _ : state)
            lines = int(
                deliveries::outstanding(view, QDate::currentDate(), 0, OutstandingModel::kPageSize)
                    .size());
        state.counters["lines"] = lines;
        bench::explainOnce(deliveries::outstandingStatement(view, QDate::currentDate(), 0,
                                                            OutstandingModel::kPageSize),
                           {statuses::kApproved}, "outstanding deliveries, first page");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// Every line, as printing and saving the whole list read them.
void BM_OutstandingAllLines(benchmark::State& state) {
    try {
        int lines = 0;
        for (auto _ : state)
            lines = int(deliveries::outstanding().size());
        state.counters["lines"] = lines;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// The count where the administrator has not added the status index.
void BM_OutstandingSummary_WithoutIndex(benchmark::State& state) {
    try {
        QString sql = deliveries::summaryStatement(QDate::currentDate());
        sql.replace(
            QStringLiteral("FROM `Order Information` INNER JOIN"),
            QStringLiteral("FROM `Order Information` IGNORE INDEX (`ix_status`) INNER JOIN"));
        int lines = 0;
        for (auto _ : state)
            lines = gConn().select(sql, {statuses::kApproved}).size();
        state.counters["orders"] = lines;
        bench::explainOnce(sql, {statuses::kApproved}, "outstanding deliveries without ix_status");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

// Opening the window: the count, the first page into the list and the
// supplier list, until it is shown.
void BM_OutstandingWindowOpen(benchmark::State& state) {
    try {
        static frmPurchaseOrder* hub = bench::keepForRun(new frmPurchaseOrder);
        int lines = 0;
        for (auto _ : state) {
            auto* w = new frmOutstanding(*hub);
            w->show();
            lines = w->shownCount();
            state.PauseTiming();
            delete w;
            state.ResumeTiming();
        }
        state.counters["lines"] = lines;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

BENCHMARK(BM_LastPricesPaid_FirstLook)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(300);
BENCHMARK(BM_LastPricesPaid)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OutstandingSummary)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OutstandingFirstPage)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OutstandingAllLines)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OutstandingSummary_WithoutIndex)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);
BENCHMARK(BM_OutstandingWindowOpen)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
