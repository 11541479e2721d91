// zel-bench-startup: starts as the program does (an application, the
// connection to $ZEL_BENCH_DATABASE, the purchase order window shown) and
// prints "painted" once the window has been painted. Given an order's key it
// then opens that order in the window and prints its resident memory
// ("rss <kB>"). Ends with "done". zel-bench runs it.
#include "app/messages.h"
#include "connection/database.h"
#include "purchasing/frmpurchaseorder.h"

#include <QApplication>
#include <QFile>
#include <QLocale>
#include <QTimer>
#include <cstdio>

using namespace zel;

namespace {

// Tells once, after the event loop has finished painting the window.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                std::printf("painted\n");
                std::fflush(stdout);
            });
        }
        return QObject::eventFilter(o, e);
    }
    bool seen() const { return seen_; }

private:
    bool seen_ = false;
};

qint64 residentKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    // As the program's start-up does: the time zone read once, not per date.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
    QApplication app(argc, argv);
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    setMessageService(std::make_shared<RecordingMessages>());
    if (!gConn().open(parseDatabaseUrl(qEnvironmentVariable("ZEL_BENCH_DATABASE")))) {
        std::fprintf(stderr, "zel-bench-startup: %s\n", qPrintable(gConn().lastOpenError()));
        return 1;
    }
    const QString key = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();

    FirstPaint watch;
    auto* w = new frmPurchaseOrder;
    w->installEventFilter(&watch);
    w->show();
    QTimer::singleShot(0, [&] {
        // After the first paint: the order, shown and painted, then the memory.
        while (!watch.seen())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
        if (!key.isEmpty()) {
            w->CustRef->pickKey(key);
            w->repaint();
            QApplication::processEvents();
            if (w->DataGrid1->rowCount() == 0) {
                std::fprintf(stderr, "zel-bench-startup: order %s has no lines\n", qPrintable(key));
                app.exit(1);
                return;
            }
            std::printf("rss %lld\n", residentKb());
        }
        std::printf("done\n");
        std::fflush(stdout);
        app.quit();
    });
    const int rc = app.exec();
    delete w;
    gConn().release();
    return rc;
}
