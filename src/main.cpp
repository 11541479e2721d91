// The entry: hands the two hub windows to the start-up.
#include "app/startup.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"
#include "refdata/openers.h"

int main(int argc, char** argv) {
    zel::refdata::wireOpeners(zel::frmPurchaseOrder::openers());
    zel::Hubs hubs;
    hubs.purchaseOrder = [] { return new zel::frmPurchaseOrder; };
    hubs.goodsIn = [] { return new zel::frmGoodsIn; };
    return zel::runProgram(argc, argv, hubs);
}
