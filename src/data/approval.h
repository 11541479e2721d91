#pragma once
// Approving an order: the one place that posts an order's total to the
// practice's ledger (`Transaction`) and marks the order and its lines approved.
#include "values/money.h"

#include <QDate>
#include <QString>

namespace zel::approval {

// The order to approve and what its ledger row names.
struct Request {
    qint64 orderKey = 0;
    double shipTo = 0;          // the ledger row's account holder: the ship-to number
    double supplierAccount = 0; // the supplier's account number
    QString customerRef;        // named in the ledger row's item text
    QDate date;                 // the ledger row's date
};

enum class Outcome {
    Posted,        // the ledger row was written
    AlreadyPosted, // the order's approval was in the ledger already: nothing more was posted
    NoOrder        // no such order is stored: nothing was written
};

// What an approval did.
struct Result {
    Outcome outcome = Outcome::NoOrder;
    // The amount of the ledger row written: minus the order's total (zero
    // unless Posted).
    Money posted;
    // The lines stamped approved.
    qint64 lines = 0;
};

// Approves the order in one transaction (joining the caller's when one is
// open, as a header save's is): takes the order's row lock, posts its stored
// total to the ledger unless its approval is there already, gives the order
// the approved status and stamps it on every line. The total is the stored
// `Grand Total`; an order without one posts the total its stored lines,
// discount, VAT and package price give.
Result approve(const Request& request);

// True when the order's approval has been posted to the ledger (a
// `Transaction` row with its `Ref` and the `Type` "Stock Purchase").
bool isPosted(qint64 orderKey);

} // namespace zel::approval
