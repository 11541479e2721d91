#pragma once
// Opening the reference-data dialogs from an order window: each is shown
// modeless, and asking again while one is open brings it forward.
#include <QString>

namespace zel {

class OrderHub;

namespace refdata {

void openSupplierPicker(OrderHub& hub);  // "Start"
void openShipToPicker(OrderHub& hub);    // double click on the ship-to box
void openInvoiceToPicker(OrderHub& hub); // "Inv"
void openPurchaserPicker(OrderHub& hub); // click on the purchaser box
void openSupplierEditor(OrderHub& hub);  // Utils: "Edit Customer/Supplier Address"
void openPurchaserEditor(OrderHub& hub); // Utils: "Edit PO Staff"
void openStatusEditor(OrderHub& hub);    // Utils: "Edit PO Status"
void openPOInstructions(OrderHub& hub);  // Utils: "PO Instructions"

// Sets an order window's hooks for these dialogs; `Openers` is the window's
// table of hooks, which names them as below.
template <class Openers> void wireOpeners(Openers& o) {
    o.supplierPicker = &openSupplierPicker;
    o.shipToPicker = &openShipToPicker;
    o.invoiceToPicker = &openInvoiceToPicker;
    o.purchaserPicker = &openPurchaserPicker;
    o.editSuppliers = &openSupplierEditor;
    o.editPurchasers = &openPurchaserEditor;
    o.editStatuses = &openStatusEditor;
    o.poInstructions = &openPOInstructions;
}

} // namespace refdata
} // namespace zel
