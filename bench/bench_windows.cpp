// The purchase order window on large orders: opening one, a keystroke in a
// totals box, the status stamp and printing it to PDF, each beside the
// statement-by-statement way (a statement per line, totals read again at
// every keystroke); the program's start-up and its memory with an order open.
#include "app/messages.h"
#include "bound/report.h"
#include "connection/database.h"
#include "connection/rowsetfile.h"
#include "connection/settings.h"
#include "data/orders.h"
#include "practice.h"
#include "purchasing/frmpurchaseorder.h"
#include "reports/printing.h"
#include "runwindows.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>

using namespace zel;

namespace {

int orderWith(int lines) {
    static std::map<int, int> orderFor;
    if (!orderFor.count(lines))
        orderFor[lines] = bench::ensureOrderWithLines(gConn(), lines);
    return orderFor[lines];
}

// One window for the run: its start-up reads the reference list once.
frmPurchaseOrder& window() {
    static frmPurchaseOrder* w = bench::keepForRun(new frmPurchaseOrder);
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
        bench::StatementCounter counter(gConn());
        for (auto _ : state)
            w.CustRef_Click(DataCombo::List); // lines, header and totals
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
        if (w.DataGrid1->rowCount() != state.range(0))
            state.SkipWithError("the order was not shown");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_OpenOrderInWindow)
    ->Arg(10)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A keystroke in the discount box: the program sums the lines the grid holds.
void BM_TotalsKeystroke_Program(benchmark::State& state) {
    try {
        frmPurchaseOrder& w = window();
        open(w, orderWith(int(state.range(0))));
        int i = 0;
        bench::StatementCounter counter(gConn());
        for (auto _ : state)
            w.Discount->setText(QString::number(10 + (i++ % 2))); // recomputes every total
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_TotalsKeystroke_Program)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same keystroke with the lines read again from the server for the totals.
void BM_TotalsKeystroke_Literal(benchmark::State& state) {
    try {
        frmPurchaseOrder& w = window();
        open(w, orderWith(int(state.range(0))));
        int i = 0;
        bench::StatementCounter counter(gConn());
        for (auto _ : state) {
            const bool was = w.Discount->blockSignals(true);
            w.Discount->setText(QString::number(10 + (i++ % 2)));
            w.Discount->blockSignals(was);
            w.ReCalc(); // the sub-total from the stored lines
        }
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_TotalsKeystroke_Literal)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The status stamp of every line of an order, as an approval or a status
// change writes it: one statement for all the lines.
void BM_StatusStamp_Program(benchmark::State& state) {
    try {
        const int key = orderWith(int(state.range(0)));
        int i = 0;
        bench::StatementCounter counter(gConn());
        for (auto _ : state) {
            const int status = 2 + (i++ % 2); // every line changes
            gConn().transaction([&] { orders::stampStatus(key, status); });
        }
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
        gConn().transaction([&] { orders::stampStatus(key, 2); });
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_StatusStamp_Program)->Arg(10000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The stamp line by line: the lines' keys read, then an update per line (in
// one transaction, so only the statements differ).
void BM_StatusStamp_Literal(benchmark::State& state) {
    try {
        const int key = orderWith(int(state.range(0)));
        int i = 0;
        bench::StatementCounter counter(gConn());
        for (auto _ : state) {
            const int status = 2 + (i++ % 2);
            gConn().transaction([&] {
                const RowSet ids = gConn().select(
                    QStringLiteral("SELECT `ID` FROM `Order Details` WHERE `Order ID` = ?"), {key});
                for (const auto& row : ids.rows)
                    gConn().execute(
                        QStringLiteral(
                            "UPDATE `Order Details` SET `Parts Status` = ? WHERE `ID` = ?"),
                        {status, row[0]});
            });
        }
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
        gConn().transaction([&] { orders::stampStatus(key, 2); });
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_StatusStamp_Literal)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// An order to PDF: the lines exported in one statement, numbered, laid out and written.
void BM_PrintOrderToPdf_Program(benchmark::State& state) {
    try {
        QTemporaryDir dir;
        setWorkstationFolder(dir.path());
        const int key = orderWith(int(state.range(0)));
        bench::StatementCounter counter(gConn());
        for (auto _ : state) {
            auto in = reports::inputsFromDatabase(reports::Schedule::PurchaseOrder, key);
            auto doc = reports::prepare(reports::Schedule::PurchaseOrder, *in);
            report::writePdf(*doc, dir.filePath(QStringLiteral("order.pdf")));
        }
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
        setWorkstationFolder(QString());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_PrintOrderToPdf_Program)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The same print with the lines read one statement each for the export file.
void BM_PrintOrderToPdf_Literal(benchmark::State& state) {
    try {
        QTemporaryDir dir;
        setWorkstationFolder(dir.path());
        const int key = orderWith(int(state.range(0)));
        const QList<RowSetFileColumn> columns = {
            {QStringLiteral("Item"), Kind::Integer, 0, false},
            {QStringLiteral("Part Id"), Kind::Text, 50, false},
            {QStringLiteral("Quantity"), Kind::Integer, 0, false},
            {QStringLiteral("Description"), Kind::Text, 255, false},
            {QStringLiteral("Unit Price"), Kind::Money, 0, false},
            {QStringLiteral("Extended Price"), Kind::Number, 0, false}};
        const QString lineSql =
            QStringLiteral("SELECT 1 AS Item, `Part Id`, Quantity, Description, `Unit Price`, "
                           "CAST(((`Unit Price`*`Quantity`*(1-`Discount`)*100)/100) AS "
                           "DECIMAL(10,2)) AS `Extended Price` "
                           "FROM `Order Details` WHERE `ID` = ?");
        bench::StatementCounter counter(gConn());
        for (auto _ : state) {
            auto in = reports::inputsFromDatabase(reports::Schedule::PurchaseOrder, key);
            const RowSet ids = gConn().select(
                QStringLiteral(
                    "SELECT `ID` FROM `Order Details` WHERE `Order ID` = ? ORDER BY `ID`"),
                {key});
            RowSet lines;
            for (const auto& id : ids.rows) {
                RowSet one = gConn().select(lineSql, {id[0]});
                if (lines.columns.isEmpty())
                    lines.columns = one.columns;
                lines.rows += one.rows;
            }
            writeRowSetFile(reports::exportPath(reports::Schedule::PurchaseOrder), columns, lines);
            reports::AmendExportOrderDetails(reports::Schedule::PurchaseOrder);
            auto doc = reports::PrintData(reports::Schedule::PurchaseOrder, *in);
            report::writePdf(doc, dir.filePath(QStringLiteral("order.pdf")));
        }
        state.counters["queries"] =
            benchmark::Counter(double(counter.count()), benchmark::Counter::kAvgIterations);
        setWorkstationFolder(QString());
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_PrintOrderToPdf_Literal)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// ---- the program as a process of its own ----------------------------------

QString probePath() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/zel-bench-startup");
}

// Runs the start-up probe; returns what it printed, or throws.
QStringList runProbe(const QStringList& args, qint64* paintedAfterMs = nullptr) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    p.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    p.start(probePath(), args);
    if (!p.waitForStarted(10000))
        throw std::runtime_error("cannot start " + probePath().toStdString());
    QStringList lines;
    QByteArray pending;
    while (true) {
        if (!p.waitForReadyRead(30000))
            break;
        pending += p.readAllStandardOutput();
        int nl;
        while ((nl = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending.left(nl));
            pending.remove(0, nl + 1);
            if (line == QLatin1String("painted") && paintedAfterMs)
                *paintedAfterMs = clock.elapsed();
            lines << line;
        }
        if (lines.contains(QStringLiteral("done")))
            break;
    }
    p.waitForFinished(10000);
    if (!lines.contains(QStringLiteral("done")))
        throw std::runtime_error("the start-up probe failed: " +
                                 QString::fromUtf8(p.readAllStandardError()).toStdString());
    return lines;
}

// From starting the process to the purchase order window's first paint.
void BM_StartUpToFirstPaint(benchmark::State& state) {
    try {
        for (auto _ : state) {
            qint64 ms = -1;
            runProbe({}, &ms);
            if (ms < 0)
                throw std::runtime_error("the window was never painted");
            state.SetIterationTime(ms / 1000.0);
        }
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_StartUpToFirstPaint)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

// The program's resident memory with an order of that many lines open in its window.
void BM_ResidentMemoryWithOrderOpen(benchmark::State& state) {
    try {
        const int key = orderWith(int(state.range(0)));
        double mb = 0;
        for (auto _ : state) {
            for (const QString& line : runProbe({QString::number(key)}))
                if (line.startsWith(QLatin1String("rss ")))
                    mb = line.mid(4).toDouble() / 1024.0;
        }
        state.counters["rss_MB"] = mb;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_ResidentMemoryWithOrderOpen)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

} // namespace
