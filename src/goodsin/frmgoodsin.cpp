#include "goodsin/frmgoodsin.h"

namespace zel {

frmGoodsIn::frmGoodsIn(QWidget* parent) : HubWindow(parent) {
    setObjectName(QStringLiteral("frmGoodsIn"));
    setWindowTitle(QStringLiteral("Good In"));
    resize(1000, 700);
}

} // namespace zel
