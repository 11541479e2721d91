#include "data/orderlines.h"
#include "connection/database.h"

namespace zel::orderlines {

qint64 update(const Edit& e) {
    return gConn().execute(
        QStringLiteral(
            "UPDATE `Order Details` SET `Description` = ?, `Unit Price` = ?, `Quantity` = ?, "
            "`Discount` = ?, `GoodsDelNotes` = ?, `GoodsDel` = ?, `DueDate` = ? "
            "WHERE `ID` = ?"),
        {e.description, e.unitPrice, e.quantity, e.discount, e.deliveryNotes, e.delivered ? 1 : 0,
         e.dueDate, e.id});
}

} // namespace zel::orderlines
