#pragma once
// The printed reports' designs: sections and controls at their places in twips.
#include "bound/report.h"

namespace zel::reports {

// The purchase order ("Purchase Order Schedule").
report::Design rptPOSchedule();
// The goods-in schedule ("Goods In Schedue").
report::Design rptGoodsInward();
// The list of order lines still to be delivered ("Outstanding Deliveries").
// Its detail band shows the columns `Supplier`, `Customer Ref`,
// `Quoted Date`, `DueDate`, `Part Id`, `Description`, `Quantity`, `Qty BI`,
// `Qty OS` and `Days Late`; the report header's `lblFilter` names the
// supplier shown, and the footer's `lblCount` how many lines are listed.
report::Design rptOutstanding();

} // namespace zel::reports
