#pragma once
// The lines of an order (`Order Details`) as the line dialog edits them.
#include <QVariant>

namespace zel::orderlines {

// What the line dialog writes, each value already converted for its column
// (the discount as a fraction, not a percentage).
struct Edit {
    qlonglong id = 0; // `Order Details`.`ID`
    QVariant description, unitPrice, quantity, discount, deliveryNotes;
    bool delivered = false; // `GoodsDel`
    QVariant dueDate;
};

// Writes the line's edited columns in one statement; the line's other
// columns (its product, part id, quantity booked in) are kept. Returns the
// number of lines changed (0 when the line is gone, or nothing changed).
qint64 update(const Edit& edit);

} // namespace zel::orderlines
