#pragma once
// What both order windows do alike with the order on screen: check, save
// and delete its header, and keep the window on that order while the user
// edits its reference.
#include "bound/datacombo.h"
#include "bound/orderhub.h"
#include "data/orders.h"

#include <functional>

namespace zel::orderform {

// How a header save ended. Opened: the user chose to open the order that
// already carries the typed reference; it is on screen and nothing was written.
enum class SaveResult { Saved, Stopped, Failed, Opened };

// The checks before a header is written, each told to the user when it
// stops the save: the reference and the status are given ("Suppliers
// Reference cannot be empty", "Please provide a PO Status"), a typed status
// is one of the list, and a reference that another order already carries
// asks whether to open that order (Yes), save this one with the same
// reference (No) or go back (Cancel). Saved means the save may go on.
SaveResult checkHeader(OrderHub& hub, const DataCombo& status);

// After a load: remembers, column by column, what the header boxes show
// (`shown`) and the stored row they came from (empty when no order is
// shown). A save writes only the columns changed since, and refuses to
// replace a column another workstation changed meanwhile.
void rememberLoaded(OrderHub& hub, const RowSet& header, const QList<orders::HeaderField>& shown);

// Writes the header of the order on screen (the key is the bound value of
// the hub's reference list, its text the reference): a new order is
// inserted, listed with `reloadList` and selected; a changed reference
// renames the order. Only the columns changed since the load are written; a
// column changed on another workstation too asks whether to reload the order
// (nothing is written), and an order deleted on another workstation asks
// whether to save it as a new order (default No). `alsoInTransaction` runs in the same transaction
// with the order's key, so everything is written or nothing. A refused field is told here
// (Stopped); a database failure is returned in `error` for the caller to show (Failed).
SaveResult writeHeader(OrderHub& hub, const QList<orders::HeaderField>& fields,
                       const std::function<void()>& reloadList, QString& error,
                       const std::function<void(qint64)>& alsoInTransaction = {});

// checkHeader, then writeHeader.
SaveResult saveHeader(OrderHub& hub, const DataCombo& status,
                      const QList<orders::HeaderField>& fields,
                      const std::function<void()>& reloadList, QString& error,
                      const std::function<void(qint64)>& alsoInTransaction = {});

// For alsoInTransaction: stamps the status chosen in `status` on every line.
std::function<void(qint64)> stampLines(const DataCombo& status);

// The Save button: tells how the save ended.
void reportSave(SaveResult result, const QString& error);

// The Delete button: asks, then removes the order's lines and header in one
// transaction, clears the reference and runs `reload`. With no order
// selected it says so and removes nothing. True when the order was deleted.
bool deleteOrder(DataCombo& custRef, const std::function<void()>& reload);

// Typing into the reference list edits the reference of the order on
// screen; it never selects (and so never switches to) another order whose
// reference the typed text happens to match. Only a pick from the list, or
// code, changes the order.
void keepOrderWhileTyping(DataCombo& custRef);

// How many references the reference list holds at a time.
inline constexpr int kRefPage = 100;

// Lists the orders by reference without reading them all: the list holds
// the first references in order, the ones starting with what the user
// types, and the order on screen; each is read from the server as needed.
// Called again, it reads the list afresh and keeps the order selected.
void listRefs(DataCombo& custRef);

} // namespace zel::orderform
