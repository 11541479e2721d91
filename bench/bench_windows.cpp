// The purchase order window on large orders: opening one, a keystroke in a
// totals box, and printing it to PDF.
#include "app/database.h"
#include "app/messages.h"
#include "app/settings.h"
#include "practice.h"
#include "purchasing/frmpurchaseorder.h"
#include "reports/printing.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace zel;

namespace {

int orderWith(int lines) {
    static std::map<int, int> orderFor;
    if (!orderFor.count(lines))
        orderFor[lines] = bench::ensureOrderWithLines(gConn(), lines);
    return orderFor[lines];
}

// One window for the run: its start-up reads the whole reference list once.
frmPurchaseOrder& window() {
    static std::unique_ptr<frmPurchaseOrder> w = [] {
        setMessageService(std::make_shared<RecordingMessages>());
        return std::make_unique<frmPurchaseOrder>();
    }();
    return *w;
}

void open(frmPurchaseOrder& w, int key) {
    w.CustRef->refresh();
    w.CustRef->setBoundText(QString::number(key));
    w.CustRef_Click(DataCombo::List);
}

void BM_OpenOrderInWindow(benchmark::State& state) {
    try {
        const int key = orderWith(int(state.range(0)));
        frmPurchaseOrder& w = window();
        w.CustRef->refresh();
        w.CustRef->setBoundText(QString::number(key));
        for (auto _ : state)
            w.CustRef_Click(DataCombo::List); // lines, header and totals
        if (w.DataGrid1->rowCount() != state.range(0))
            state.SkipWithError("the order was not shown");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_OpenOrderInWindow)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DiscountKeystroke(benchmark::State& state) {
    try {
        frmPurchaseOrder& w = window();
        open(w, orderWith(int(state.range(0))));
        int i = 0;
        for (auto _ : state)
            w.Discount->setText(QString::number(10 + (i++ % 2))); // recomputes every total
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_DiscountKeystroke)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PrintOrderToPdf(benchmark::State& state) {
    try {
        QTemporaryDir dir;
        setWorkstationFolder(dir.path());
        const int key = orderWith(int(state.range(0)));
        for (auto _ : state) {
            auto in = reports::inputsFromDatabase(reports::Schedule::PurchaseOrder, key);
            auto doc = reports::prepare(reports::Schedule::PurchaseOrder, *in);
            report::writePdf(*doc, dir.filePath(QStringLiteral("order.pdf")));
        }
        setWorkstationFolder(QString());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_PrintOrderToPdf)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

} // namespace
