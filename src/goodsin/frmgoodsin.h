#pragma once
// The goods inward window: booking deliveries in against order lines.
#include "app/hubwindow.h"

namespace zel {

class frmGoodsIn : public HubWindow {
    Q_OBJECT
public:
    explicit frmGoodsIn(QWidget* parent = nullptr);
};

} // namespace zel
