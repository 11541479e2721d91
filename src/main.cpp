// The entry: hands the two hub windows to the start-up.
#include "app/startup.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"

int main(int argc, char** argv) {
    zel::Hubs hubs;
    hubs.purchaseOrder = [] { return new zel::frmPurchaseOrder; };
    hubs.goodsIn = [] { return new zel::frmGoodsIn; };
    return zel::runProgram(argc, argv, hubs);
}
