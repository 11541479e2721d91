// The part finder on a large catalogue: opening it (both selectors filled
// from every product), a look-up by code, and the selectors' suggestions
// while the user types.
#include "bound/datacombo.h"
#include "bound/orderhub.h"
#include "catalogue/frmfindpart.h"
#include "connection/database.h"
#include "practice.h"

#include <QApplication>
#include <QCompleter>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

using namespace zel;

namespace {

// The part finder needs a window that owns an order; looking parts up
// touches none of it.
class BenchHub : public OrderHub {
public:
    BenchHub() : combo_(new DataCombo(&widget_)) {
        combo_->setObjectName(QStringLiteral("CustRef"));
    }
    QWidget* hubWidget() override { return &widget_; }
    DataCombo* custRef() override { return combo_; }
    void CustRef_Click(int) override {}
    void Disp_DataList() override {}
    void Disp_MainData() override {}

private:
    QWidget widget_;
    DataCombo* combo_;
};

qint64 productCount() {
    return gConn().scalar(QStringLiteral("SELECT COUNT(*) FROM `Products`")).toLongLong();
}

void BM_OpenPartFinder(benchmark::State& state) {
    try {
        BenchHub hub;
        for (auto _ : state) {
            auto finder = std::make_unique<frmFindPart>(hub);
            finder->show();
            QApplication::processEvents();
            benchmark::DoNotOptimize(finder->ThePart->count());
        }
        state.counters["products"] = double(productCount());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_OpenPartFinder)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PartLookUpByCode(benchmark::State& state) {
    try {
        BenchHub hub;
        frmFindPart finder(hub);
        const RowSetListModel& list = finder.ThePart->listModel();
        if (list.rowCount() == 0) {
            state.SkipWithError("no products: run zel-bench-generate first");
            return;
        }
        std::mt19937 rng(7);
        std::uniform_int_distribution<int> row(0, list.rowCount() - 1);
        qint64 found = 0;
        for (auto _ : state) {
            // As the order lines ask: select the code, then look it up.
            const QString code = list.key(row(rng));
            finder.ThePart->setBoundText(code);
            finder.ThePart_Click(DataCombo::List);
            found += finder.ProductName->text() == code;
        }
        if (found != state.iterations())
            state.SkipWithError("a code picked from the list was not found");
        state.counters["products"] = double(list.rowCount());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_PartLookUpByCode)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A keystroke in a selector: the entries holding the typed text anywhere,
// in any letter case, read again on the server a page at a time.
void BM_SelectorSuggestions(benchmark::State& state) {
    try {
        BenchHub hub;
        frmFindPart finder(hub);
        DataCombo* box = state.range(0) == 0 ? finder.ThePart : finder.theDesc;
        const QStringList typed =
            state.range(0) == 0 ? QStringList{QStringLiteral("1"), QStringLiteral("12"),
                                              QStringLiteral("-1"), QStringLiteral("n-")}
                                : QStringList{QStringLiteral("s"), QStringLiteral("sy"),
                                              QStringLiteral("RIN"), QStringLiteral("gloves")};
        std::size_t next = 0;
        qint64 suggested = 0;
        bench::StatementCounter counter(gConn());
        for (auto _ : state) {
            const QString text = typed[next++ % typed.size()];
            box->lineEdit()->setText(text);
            emit box->lineEdit()->textEdited(text); // as a keystroke does
            suggested += box->count();
        }
        state.counters["suggested"] =
            benchmark::Counter(double(suggested), benchmark::Counter::kAvgIterations);
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_SelectorSuggestions)
    ->ArgName("description")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

// Dropping a selector's list down over every product.
void BM_SelectorDropDown(benchmark::State& state) {
    try {
        BenchHub hub;
        frmFindPart finder(hub);
        finder.show();
        QApplication::processEvents();
        for (auto _ : state) {
            finder.theDesc->showPopup();
            QApplication::processEvents();
            finder.theDesc->hidePopup();
            QApplication::processEvents();
        }
        state.counters["entries"] = double(finder.theDesc->count());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_SelectorDropDown)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
