#include "purchasing/frmpurchaseorder.h"

namespace zel {

frmPurchaseOrder::frmPurchaseOrder(QWidget* parent) : HubWindow(parent) {
    setObjectName(QStringLiteral("frmPurchaseOrder"));
    setWindowTitle(QStringLiteral("Purchase Ordering"));
    resize(1000, 700);
}

} // namespace zel
