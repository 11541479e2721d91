#include "data/suppliers.h"
#include "connection/database.h"
#include "values/val.h"

namespace zel::suppliers {

std::optional<OrderSupplier> ofOrder(qint64 orderKey) {
    const RowSet order = gConn().select(
        QStringLiteral("SELECT `Customer Ref`, `Status`, `CUSTOMER ID`, `Account No`, "
                       "`Customer Name` FROM `Order Information` WHERE `Quote ID` = ?"),
        {orderKey});
    if (order.isEmpty())
        return std::nullopt;
    OrderSupplier s;
    s.orderKey = orderKey;
    s.customerRef = order.at(0, "Customer Ref").toString();
    s.status = order.at(0, "Status");
    s.name = order.at(0, "Customer Name").toString();
    // The row the supplier picker chose comes first; an order saved without
    // it is matched by its account number.
    const QVariant employeeId = order.at(0, "CUSTOMER ID");
    const qint64 account = qint64(Val(order.at(0, "Account No").toString()));
    const RowSet supplier = gConn().select(
        QStringLiteral("SELECT `Forenames`, `E-Mail` FROM `Employee Data` "
                       "WHERE `Type` = 'Supplier' AND (`Employee ID` = ? OR `Payroll ID` = ?) "
                       "ORDER BY (`Employee ID` <=> ?) DESC, `Employee ID` LIMIT 1"),
        {employeeId, account, employeeId});
    if (!supplier.isEmpty()) {
        s.supplierKnown = true;
        if (const QString name = supplier.at(0, "Forenames").toString().trimmed(); !name.isEmpty())
            s.name = name;
        s.email = supplier.at(0, "E-Mail").toString().trimmed();
    }
    return s;
}

QString practiceName() {
    return gConn()
        .scalar(QStringLiteral("SELECT `Forenames` FROM `Employee Data` WHERE `Type` = 'Practice' "
                               "ORDER BY `Employee ID` LIMIT 1"))
        .toString();
}

} // namespace zel::suppliers
