// The order finder's five modes on a large practice, through the window, and
// the plan the server chooses for each; the month search beside the same
// search written as a comparison of formatted dates.
#include "app/messages.h"
#include "connection/database.h"
#include "explain.h"
#include "purchasing/frmpurchaseorder.h"
#include "runwindows.h"
#include "search/frmfindrecord.h"

#include <QDateTime>
#include <benchmark/benchmark.h>

using namespace zel;

namespace {

// A rare product group and a rare dentist, each on a couple of hundred orders.
void ensureMarkers() {
    static bool done = false;
    if (done)
        return;
    done = true;
    Database& db = gConn();
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM `Products` WHERE `group id` = 900"))
            .toInt() == 0) {
        db.transaction([&] {
            qint64 product = db.insert(QStringLiteral(
                "INSERT INTO `Products` (`Product Name`, `English Name`, "
                "`Unit Price`, `group id`) VALUES ('RARE-1', 'Rare item', 9.99, 900)"));
            db.execute(
                QStringLiteral(
                    "INSERT INTO `Order Details` (`Order ID`, `Product ID`, `Part Id`, `Quantity`) "
                    "SELECT `Quote ID`, ?, 'RARE-1', 1 FROM `Order Information` "
                    "WHERE `Quote ID` % 500 = 7"),
                {product});
            db.execute(QStringLiteral(
                "INSERT INTO `Employee Data` (`Payroll ID`, `Forenames`, `Surname`, `Type`) "
                "VALUES (2999, 'Rare', 'Dentist', 'Dentist')"));
            db.execute(QStringLiteral(
                "UPDATE `Order Information` SET `Sales Rep` = '2999' WHERE `Quote ID` % 500 = 11"));
        });
    }
}

// The finder and its order window, kept for the run.
struct Finder {
    frmPurchaseOrder* hub = nullptr;
    frmFindRecord* finder = nullptr;
};

Finder& finder() {
    static Finder f = [] {
        ensureMarkers();
        Finder x;
        x.hub = bench::keepForRun(new frmPurchaseOrder);
        x.finder = bench::keepForRun(new frmFindRecord(*x.hub));
        return x;
    }();
    return f;
}

// A day in the middle of the practice's orders.
QDate middleDay() {
    static const QDate d =
        gConn()
            .scalar(QStringLiteral("SELECT DATE(`Quoted Date`) FROM `Order Information` "
                                   "ORDER BY `Quoted Date` LIMIT 1 OFFSET 50000"))
            .toDate();
    return d.isValid() ? d : QDate(2025, 6, 2);
}

void run(benchmark::State& state, int mode, const std::function<void(frmFindRecord&)>& criteria,
         const char* name) {
    try {
        frmFindRecord& f = *finder().finder;
        f.FindOptions_Click(mode);
        criteria(f);
        for (auto _ : state)
            f.Command1_Click();
        state.counters["orders"] = f.ListDetails->rowCount();
        const frmFindRecord::Search plan = f.searchSQL();
        bench::explainOnce(plan.sql, plan.binds, name);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}

void BM_FindBySingleDate(benchmark::State& state) {
    run(
        state, 1,
        [](frmFindRecord& f) {
            f.SingleDate->setText(middleDay().toString(QStringLiteral("dd/MM/yyyy")));
        },
        "mode 1 (single date)");
}
void BM_FindByMonth(benchmark::State& state) {
    run(
        state, 2,
        [](frmFindRecord& f) {
            f.SingleMonth->setText(QString::number(middleDay().month()));
            f.Yearfield->setText(QString::number(middleDay().year()));
        },
        "mode 2 (month)");
}
void BM_FindByDateRange(benchmark::State& state) {
    run(
        state, 3,
        [](frmFindRecord& f) {
            f.FirstDate->setText(middleDay().toString(QStringLiteral("dd/MM/yyyy")));
            f.SecondDate->setText(middleDay().addDays(3).toString(QStringLiteral("dd/MM/yyyy")));
        },
        "mode 3 (date range)");
}
void BM_FindByProductGroup(benchmark::State& state) {
    run(
        state, 4, [](frmFindRecord& f) { f.ProductGroup->setText(QStringLiteral("900")); },
        "mode 4 (product group)");
}
void BM_FindByDentist(benchmark::State& state) {
    run(
        state, 5,
        [](frmFindRecord& f) {
            f.cmbLoadRep();
            f.RepsHeld->setBoundText(QStringLiteral("2999"));
            f.ButtonSingle_Click();
        },
        "mode 5 (dentist)");
}

// The month search's statement as the finder builds it, run on its own.
frmFindRecord::Search monthSearch() {
    frmFindRecord& f = *finder().finder;
    f.FindOptions_Click(2);
    f.SingleMonth->setText(QString::number(middleDay().month()));
    f.Yearfield->setText(QString::number(middleDay().year()));
    f.Command1_Click();
    return f.searchSQL();
}

// The same statement choosing the month by formatting every order's date.
frmFindRecord::Search literalMonthSearch() {
    frmFindRecord::Search s = monthSearch();
    const QString range = QStringLiteral("WHERE `Order Information`.`Quoted Date` >= ? AND "
                                         "`Order Information`.`Quoted Date` < ? ");
    if (!s.sql.contains(range))
        throw std::runtime_error("the month search is not the range it was");
    s.sql.replace(range, QStringLiteral(
                             "WHERE DATE_FORMAT(`Order Information`.`Quoted Date`, '%m/%Y') = ? "));
    s.binds = {middleDay().toString(QStringLiteral("MM/yyyy"))};
    return s;
}

void runStatement(benchmark::State& state, const frmFindRecord::Search& s, const char* name) {
    int rows = 0;
    for (auto _ : state)
        rows = gConn().select(s.sql, s.binds).size();
    state.counters["orders"] = rows;
    bench::explainOnce(s.sql, s.binds, name);
}

void BM_MonthSearch_Program(benchmark::State& state) {
    try {
        runStatement(state, monthSearch(), "month search, program's statement");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
void BM_MonthSearch_Literal(benchmark::State& state) {
    try {
        runStatement(state, literalMonthSearch(), "month search, DATE_FORMAT(...) = '...'");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_MonthSearch_Program)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_MonthSearch_Literal)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_FindBySingleDate)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindByMonth)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindByDateRange)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindByProductGroup)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_FindByDentist)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
