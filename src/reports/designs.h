#pragma once
// The printed reports' designs: sections and controls at their places in twips.
#include "bound/report.h"

namespace zel::reports {

// The purchase order ("Purchase Order Schedule").
report::Design rptPOSchedule();
// The goods-in schedule ("Goods In Schedue").
report::Design rptGoodsInward();

} // namespace zel::reports
