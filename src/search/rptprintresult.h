#pragma once
// The printout of a search result: one line per order with its suppliers'
// reference and grand total, and their sum under a double rule.
#include "bound/report.h"
#include "connection/database.h"

#include <optional>

namespace zel::search {

report::Design rptPrintResult();

// The report over the rows of a search (any columns; `Customer Ref` and
// `Grand Total` are printed). Nothing when there are no rows.
std::optional<report::Document> printResult(const RowSet& rows, QDate today = QDate::currentDate());

} // namespace zel::search
