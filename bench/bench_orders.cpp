// Reading orders: a header by its key, an order's lines into the grid's model.
#include "bound/gridmodel.h"
#include "connection/database.h"
#include "data/schema.h"
#include "practice.h"

#include <benchmark/benchmark.h>
#include <map>
#include <random>

using namespace zel;

namespace {

const QString headerSql = QStringLiteral("Select * From `Order Information` Where `Quote ID` = ?");

// The lines statement of the purchase order window.
const QString linesSql = QStringLiteral(
    "SELECT `Order Details`.ID, `Order Details`.`Order ID`, `Order Details`.`Product ID`, "
    "`Order Details`.`Part Id`, `Order Details`.Description, `Order Details`.`Unit Price`, "
    "`Order Details`.Quantity, `Order Details`.Discount, "
    "CAST((`Order Details`.`Unit Price`*`Quantity`*(1-`Discount`)*100)/100 AS DECIMAL(10,2)) AS "
    "`Extended Price`, `Order Details`.`Parts Status`, `Order Details`.`Qty BI`, "
    "`Order Details`.`Date BI`, `Order Details`.Notes, `Order Details`.Loc, "
    "`Quantity`-`Qty BI` AS `Qty OS`, `Order Details`.GoodsDel, `Order Details`.GoodsDelNotes, "
    "`Order Details`.DueDate From `Order Details` Where `Order ID` = ?");

// Keys of existing orders in random order, read once.
const std::vector<int>& sampleOrderIds() {
    static const std::vector<int> ids = [] {
        std::vector<int> out;
        const RowSet rs = gConn().select(QStringLiteral(
            "SELECT `Quote ID` FROM `Order Information` ORDER BY RAND(42) LIMIT 4096"));
        for (const auto& row : rs.rows)
            out.push_back(row[0].toInt());
        return out;
    }();
    return ids;
}

void BM_BoundSelect(benchmark::State& state) {
    try {
        const auto& ids = sampleOrderIds();
        if (ids.empty()) {
            state.SkipWithError("no orders: run zel-bench-generate first");
            return;
        }
        std::size_t next = 0;
        qint64 found = 0;
        for (auto _ : state) {
            const RowSet rs = gConn().select(headerSql, {ids[next++ % ids.size()]});
            found += rs.size();
            benchmark::DoNotOptimize(rs);
        }
        if (found != state.iterations())
            state.SkipWithError("an order read by its key was not found");
        state.SetItemsProcessed(state.iterations());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
// The work is mostly the server's: rates are per second of wall time.
BENCHMARK(BM_BoundSelect)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LoadOrderLinesIntoGrid(benchmark::State& state) {
    const int lines = int(state.range(0));
    try {
        static std::map<int, int> orderFor; // lines -> order, made once a run
        if (!orderFor.count(lines))
            orderFor[lines] = bench::ensureOrderWithLines(gConn(), lines);
        const int orderId = orderFor[lines];

        // As the purchase order window sets its lines grid up.
        GridModel model;
        model.setWriteTarget(schema::OrderDetails, QStringLiteral("ID"));
        for (auto _ : state)
            model.load(linesSql, {orderId});
        if (model.rowCount() != lines)
            state.SkipWithError("the order does not have the lines it should");
        state.SetItemsProcessed(state.iterations() * lines);
        state.counters["lines"] = lines;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_LoadOrderLinesIntoGrid)
    ->Arg(10)
    ->Arg(100)
    ->Arg(1000)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace
