#include "refdata/openers.h"
#include "app/dialogs.h"
#include "refdata/addresseditors.h"
#include "refdata/frmeditstatus.h"
#include "refdata/frmpoinstr.h"
#include "refdata/frmsalesrep.h"
#include "refdata/pickers.h"

namespace zel::refdata {

namespace {

template <class T, class... Args> void showOne(const char* kind, Args&... args) {
    dialogs().show<T>(QString::fromLatin1(kind), [&] { return new T(args...); });
}

} // namespace

void openSupplierPicker(OrderHub& hub) {
    showOne<frmSupplierEntry>("frmSupplierEntry", hub);
}
void openShipToPicker(OrderHub& hub) {
    showOne<frmShipTo>("frmShipTo", hub);
}
void openInvoiceToPicker(OrderHub& hub) {
    showOne<frmInvoiceTo>("frmInvoiceTo", hub);
}
void openPurchaserPicker(OrderHub& hub) {
    showOne<frmSalesRep>("frmSalesRep", hub);
}
void openSupplierEditor(OrderHub&) {
    showOne<frmEditAddress>("frmEditAddress");
}
void openPurchaserEditor(OrderHub&) {
    showOne<frmEditPurchaser>("frmEditPurchaser");
}
void openStatusEditor(OrderHub&) {
    showOne<frmEditStatus>("frmEditStatus");
}
void openPOInstructions(OrderHub&) {
    showOne<frmPOInstr>("frmPOInstr");
}

} // namespace zel::refdata
