#pragma once
// The purchase order window: the hub of purchase order entry.
#include "app/hubwindow.h"

namespace zel {

class frmPurchaseOrder : public HubWindow {
    Q_OBJECT
public:
    explicit frmPurchaseOrder(QWidget* parent = nullptr);
};

} // namespace zel
