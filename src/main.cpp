// The entry: hands the two hub windows to the start-up.
#include "app/startup.h"
#include "catalogue/catalogue.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"

int main(int argc, char** argv) {
    auto& open = zel::frmPurchaseOrder::openers();
    open.partFinder = [](zel::OrderHub& hub, const QString& code) { zel::openPartFinder(hub, code); };
    open.partNotFound = [](zel::OrderHub& hub, const QString& code) { zel::openPartNotFound(hub, code); };

    zel::Hubs hubs;
    hubs.purchaseOrder = [] { return new zel::frmPurchaseOrder; };
    hubs.goodsIn = [] { return new zel::frmGoodsIn; };
    return zel::runProgram(argc, argv, hubs);
}
