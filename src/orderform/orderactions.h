#pragma once
// What both order windows do alike with the order on screen: save its header
// and delete it.
#include "bound/datacombo.h"
#include "schema/orders.h"

#include <functional>

namespace zel::orderform {

// How a header save ended.
enum class SaveResult { Saved, Stopped, Failed };

// Saves the header of the order selected in `custRef` with `fields`, after
// its two checks ("Suppliers Reference cannot be empty", "Please provide a
// PO Status"). A new order is inserted, the list reloaded with `reloadList`
// and the new order selected. A refused field is told here (Stopped); a
// database failure is returned in `error` for the caller to show (Failed).
SaveResult saveHeader(DataCombo& custRef, const DataCombo& status, const QList<orders::HeaderField>& fields,
                      const std::function<void()>& reloadList, QString& error);

// The Save button: tells how the save ended.
void reportSave(SaveResult result, const QString& error);

// The Delete button: asks, then removes the order's lines and header in one
// transaction, clears the reference and runs `reload`. With no order
// selected it says so and removes nothing. True when the order was deleted.
bool deleteOrder(DataCombo& custRef, const std::function<void()>& reload);

} // namespace zel::orderform
