#include "search/rptprintresult.h"
#include "values/localetext.h"
#include "values/money.h"

namespace zel::search {

using namespace zel::report;

Design rptPrintResult() {
    const Font body{QStringLiteral("Arial"), 9.75};
    const Font heading{QStringLiteral("Arial"), 9.75, true};
    const Font title{QStringLiteral("Times New Roman"), 14.25, true};
    Design d;
    d.name = QStringLiteral("rptPrintResult");
    d.caption = QStringLiteral("Find Quotation Report");
    d.fileName = QStringLiteral("Purchase Order Search");
    Section& rh = d.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 1275);
    rh.controls << label("Label1", "Purchase Order Search", 90, 120, 3165, 525, Align::Left, title)
                << label("Label2", "%D", 120, 825, 3045, 345, Align::Left, body);
    Section& ph = d.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 450);
    ph.controls << label("Label3", "Customer Ref", 75, 75, 2025, 255, Align::Left, heading)
                << label("Label4", "Grand Total", 4995, 60, 2040, 270, Align::Right, heading);
    Section& det = d.addSection(QStringLiteral("Section1"), SectionKind::Detail, 495);
    det.controls << textBox("CustRef", "Customer Ref", 135, 75, 2220, 285, Align::Left, body)
                 << textBox("GrandTotal", "Grand Total", 5115, 75, 1905, 285, Align::Right, body);
    // A long reference or total prints smaller rather than cut.
    for (Control& c : det.controls)
        c.shrinkToFit = true;
    Section& pf = d.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 720);
    pf.controls << label("Label5", "Page %p of %P", 5370, 105, 1710, 330, Align::Left, body);
    Section& rf = d.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 1050);
    rf.controls << line("Line1", 5130, 330, 2265, 0) << line("Line2", 5145, 360, 2280, 0)
                << label("Label7", "Grand Total:", 3795, 570, 1215, 270, Align::Right, body)
                << label("Label6", QString(), 5370, 525, 1635, 255, Align::Right, body);
    rf.controls.last().shrinkToFit = true;
    return d;
}

std::optional<report::Document> printResult(const RowSet& rows, QDate today) {
    if (rows.isEmpty())
        return std::nullopt;
    Money total;
    const int col = rows.indexOf(QStringLiteral("Grand Total"));
    for (const auto& row : rows.rows)
        if (col >= 0 && !row[col].isNull())
            total += Money::fromDecimalText(row[col].toString()).value_or(Money{});
    Design d = rptPrintResult();
    d.setCaption(QStringLiteral("Label6"), currencyText(total));
    ReportData data;
    data.rows = rows;
    // Each order's total in the currency form of the sum beneath them.
    if (col >= 0)
        for (auto& row : data.rows.rows)
            if (auto m =
                    row[col].isNull() ? std::nullopt : Money::fromDecimalText(row[col].toString()))
                row[col] = currencyText(*m);
    for (int c = 0; c < rows.columns.size(); ++c)
        data.kinds << Kind::Text;
    return layout(d, data, today);
}

} // namespace zel::search
