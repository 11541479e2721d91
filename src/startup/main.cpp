// The entry: hands the two hub windows to the start-up and wires the windows
// each hub opens.
#include "app/dialogs.h"
#include "catalogue/catalogue.h"
#include "deliveries/frmoutstanding.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"
#include "refdata/openers.h"
#include "reports/emailing.h"
#include "reports/printing.h"
#include "search/frmfindrecord.h"
#include "startup/startup.h"

#include <QTextStream>

using namespace zel;

namespace {

// --print-order QUOTEID --pdf FILE and --print-goods-in QUOTEID --pdf FILE.
std::optional<int> printWithoutWindow(const CommandLine& cl) {
    QString order, pdf;
    std::optional<reports::Schedule> schedule;
    for (int i = 0; i < cl.extra.size(); ++i) {
        const QString& a = cl.extra[i];
        const QString value = i + 1 < cl.extra.size() ? cl.extra[i + 1] : QString();
        if (a == QLatin1String("--print-order") || a == QLatin1String("--print-goods-in")) {
            schedule = a == QLatin1String("--print-order") ? reports::Schedule::PurchaseOrder
                                                           : reports::Schedule::GoodsIn;
            order = value;
            ++i;
        } else if (a == QLatin1String("--pdf")) {
            pdf = value;
            ++i;
        }
    }
    if (!schedule)
        return std::nullopt;
    QTextStream err(stderr);
    bool ok = false;
    const qint64 key = order.toLongLong(&ok);
    if (!ok || key <= 0 || pdf.isEmpty()) {
        err << "zel-purchasing: printing needs an order number and --pdf FILE\n";
        return 2;
    }
    OpenConnection(cl);
    return reports::printWithoutWindow(*schedule, key, pdf);
}

} // namespace

int main(int argc, char** argv) {
    auto& po = frmPurchaseOrder::openers();
    refdata::wireOpeners(po);
    po.partFinder = [](OrderHub& hub, const QString& code) { openPartFinder(hub, code); };
    po.partNotFound = [](OrderHub& hub, const QString& code) { openPartNotFound(hub, code); };
    po.deliveries = &deliveries::openOutstanding;
    po.print = [](OrderHub& hub) { reports::printFromHub(hub, reports::Schedule::PurchaseOrder); };
    po.email = [](OrderHub& hub) { reports::emailFromHub(hub); };
    po.orderFinder = [](OrderHub& hub) {
        dialogs().show<frmFindRecord>(QStringLiteral("frmFindRecord"),
                                      [&] { return new frmFindRecord(hub); });
    };

    auto& gi = frmGoodsIn::openers();
    gi.deliveries = &deliveries::openOutstanding;
    gi.print = [](OrderHub& hub) { reports::printFromHub(hub, reports::Schedule::GoodsIn); };
    gi.orderFinder = [](OrderHub& hub) {
        dialogs().show<frmFindRecord>(QStringLiteral("frmFindGoodsRecord"), [&] {
            return new frmFindRecord(hub, frmFindRecord::Caller::GoodsIn);
        });
    };

    Hubs hubs;
    hubs.purchaseOrder = [] { return new frmPurchaseOrder; };
    hubs.goodsIn = [] { return new frmGoodsIn; };
    hubs.withoutWindow = printWithoutWindow;
    return runProgram(argc, argv, hubs);
}
