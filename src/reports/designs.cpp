#include "reports/designs.h"

namespace zel::reports {

using namespace zel::report;

namespace {
const Font kTitle{QStringLiteral("Arial"), 15.75, true};

// A box filled from the order: what a supplier needs is never cut, so text
// that does not fit is printed smaller or wrapped.
Control fitted(Control c) {
    c.shrinkToFit = true;
    return c;
}
} // namespace

Design rptPOSchedule() {
    Design d;
    d.name = QStringLiteral("rptPOSchedule");
    d.caption = QStringLiteral("Purchase Order Schedule");
    d.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 0);

    Section& ph = d.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 3075);
    ph.controls << label("Label1", "Purchase Order Schedule", 4155, 0, 4110, 480, Align::Left,
                         kTitle)
                << fitted(label("lblAddress", "lblAddress", 150, 570, 3435, 1710))
                << label("Label2", "Invoice Address", 4080, 570, 1410, 195, Align::Right)
                << fitted(label("lblInvAddress", "lblInvAddress", 5700, 570, 2880, 1410))
                << label("Label3", "Delivery Address", 8715, 570, 1455, 240, Align::Right)
                << fitted(label("lblDelAddress", "Label4", 10305, 570, 2325, 1365))
                << label("Label13", "%D", 10155, 2340, 2325, 270)
                << label("Label7", "Our Re:", 165, 2355, 735, 240, Align::Right)
                << fitted(label("lblCustRef", "lblCustRef", 1035, 2370, 1485, 240))
                << label("Label14", "Item", 45, 2805, 870, 270, Align::Center)
                << label("Label15", "Product", 1020, 2805, 945, 270)
                << label("Label16", "Quantity", 2355, 2805, 750, 270)
                << label("Label17", "Description", 3225, 2805, 5235, 270)
                << label("Label18", "Unit Cost", 8595, 2805, 1305, 270, Align::Right)
                << label("Label19", "Total Cost", 10230, 2805, 990, 270, Align::Right);

    Section& det = d.addSection(QStringLiteral("Section1"), SectionKind::Detail, 270);
    det.controls << fitted(textBox("txtItem", "Item", 15, 0, 1020, 270, Align::Center))
                 << fitted(textBox("txtProduct", "Part Id", 1020, 0, 1335, 270))
                 << fitted(textBox("txtQty", "Quantity", 2355, 0, 810, 270))
                 << fitted(textBox("txtDesc", "Description", 3195, 0, 5325, 270))
                 << fitted(textBox("txtUnitCost", "Unit Price", 8550, 0, 1410, 270, Align::Right))
                 << fitted(textBox("txtTotalCost", "Extended Price", 9960, 0, 1305, 270,
                                   Align::Right));

    Section& pf = d.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 1725);
    pf.controls << label("Label4", "Sub Total:", 7680, 60, 2010, 195, Align::Right)
                << label("Label5", "VAT @", 8100, 405, 1605, 195, Align::Right)
                << label("Label6", "Totals:", 7695, 720, 1995, 210, Align::Right)
                << fitted(label("lblSubTotal", "lblSubTotal", 9870, 75, 1335, 225, Align::Right))
                << fitted(label("lblVAT", "lblVAT", 9900, 465, 1335, 210, Align::Right))
                << fitted(label("lblTotals", "lblTotals", 9900, 795, 1305, 210, Align::Right))
                << label("Label12", "Pages %p of %P", 9660, 1365, 1935, 315);

    Section& rf = d.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 2310);
    rf.controls << fitted(label("lblHeadOffice", "lblHeadOffice", 15, 15, 4080, 1590))
                << fitted(
                       label("ibiPOInstruct", "ibiPOInstruct", 345, 1815, 9105, 345, Align::Center))
                << label("Label9", "Authorised Signature", 4245, 60, 2790, 225)
                << label("Label11", "Comments", 7365, 60, 4395, 255)
                << rectangle("Shape1", 4170, 375, 2955, 1230)
                << rectangle("Shape2", 7395, 360, 4320, 1200);
    return d;
}

Design rptGoodsInward() {
    Design d;
    d.name = QStringLiteral("rptGoodsInward");
    d.caption = QStringLiteral("Goods In Schedue");
    d.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 0);

    Section& ph = d.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 3435);
    ph.controls << label("Label1", "Goods In Schedule", 5490, 135, 4110, 480, Align::Left, kTitle)
                << fitted(label("lblAddress", "lblAddress", 60, 780, 3435, 1710))
                << label("Label2", "Supplier Account No:", 4395, 1173, 2280, 285, Align::Right)
                << label("Label3", "Our ref:", 4365, 1548, 2340, 210, Align::Right)
                << label("Label4", "Date Ordered:", 4395, 1818, 2235, 240, Align::Right)
                << label("Label5", "Order Placed by:", 4395, 2148, 2220, 255, Align::Right)
                << fitted(label("lblAccountNo", "lblAccountNo", 6885, 1233, 1425, 225))
                << fitted(label("lblCustRef", "lblCustRef", 6930, 1533, 1425, 225))
                << fitted(label("lblOrderDate", "lblOrderDate", 6930, 1848, 1410, 225))
                << fitted(label("lblOrderBy", "lblOrderBy", 6915, 2193, 2460, 210))
                << label("Label6", "%D", 9645, 2505, 2325, 270)
                << label("Label11", "Item", 30, 3120, 825, 270, Align::Center)
                << label("Label12", "Quantity", 930, 3135, 765, 255, Align::Center)
                << label("Label13", "Description", 1785, 3135, 4815, 255)
                << label("Label14", "Unit Cost", 7530, 3150, 1185, 255, Align::Right)
                << label("Label15", "Total Cost", 8970, 3150, 795, 225, Align::Right)
                << label("Label16", "Quantity Booked In", 9990, 3150, 1560, 195);

    Section& det = d.addSection(QStringLiteral("Section1"), SectionKind::Detail, 270);
    det.controls << fitted(textBox("txtItem", "Item", 15, 0, 825, 270))
                 << fitted(textBox("txtQty", "Quantity", 870, 0, 870, 270))
                 << fitted(textBox("txtDesc", "Description", 1740, 0, 5250, 270))
                 << fitted(textBox("txtUnitCost", "Unit Price", 7035, 0, 1725, 270, Align::Right))
                 << fitted(
                        textBox("txtTotalCost", "Extended Price", 8790, 0, 1035, 270, Align::Right))
                 << fitted(textBox("txtQtyBI", "Qty BI", 9870, 0, 1500, 270, Align::Center));

    Section& pf = d.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 1278);
    pf.controls << label("Label7", "Sub Total:", 7995, 120, 2010, 198, Align::Right)
                << label("Label8", "VAT @", 8415, 465, 1605, 198, Align::Right)
                << label("Label9", "Totals:", 8010, 780, 1995, 213, Align::Right)
                << fitted(label("lblSubTotal", "lblSubTotal", 10185, 135, 1335, 228, Align::Right))
                << fitted(label("lblVAT", "lblVAT", 10215, 525, 1335, 213, Align::Right))
                << fitted(label("lblTotals", "lblTotals", 10215, 855, 1305, 213, Align::Right));

    Section& rf = d.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 597);
    rf.controls << label("Label10", "Page %p of %P", 9405, 135, 2205, 225);
    return d;
}

Design rptOutstanding() {
    const Font body{QStringLiteral("Arial"), 8.25};
    const Font heading{QStringLiteral("Arial"), 8.25, true};
    Design d;
    d.name = QStringLiteral("rptOutstanding");
    d.caption = QStringLiteral("Outstanding Deliveries");
    Section& rh = d.addSection(QStringLiteral("Section4"), SectionKind::ReportHeader, 900);
    rh.controls << label("Label1", "Outstanding Deliveries", 60, 0, 5000, 480, Align::Left, kTitle)
                << label("Label2", "%D", 8400, 120, 2700, 270, Align::Right, body)
                << fitted(
                       label("lblFilter", "All suppliers", 60, 540, 8000, 270, Align::Left, body));

    // Columns: left edge and width in twips; the page is 11186 twips wide.
    struct Col {
        const char *head, *field;
        int left, width;
        Align align;
    };
    const Col cols[] = {
        {"Supplier", "Supplier", 0, 1900, Align::Left},
        {"Order Ref", "Customer Ref", 1950, 1350, Align::Left},
        {"Ordered", "Quoted Date", 3350, 950, Align::Left},
        {"Due", "DueDate", 4350, 950, Align::Left},
        {"Product", "Part Id", 5350, 1150, Align::Left},
        {"Description", "Description", 6550, 2300, Align::Left},
        {"Qty", "Quantity", 8900, 500, Align::Right},
        {"In", "Qty BI", 9450, 500, Align::Right},
        {"O/S", "Qty OS", 10000, 500, Align::Right},
        {"Late", "Days Late", 10550, 600, Align::Right},
    };
    // Each section is filled before the next is added: adding one moves the others.
    QList<Control> heads, boxes;
    int n = 0;
    for (const Col& c : cols) {
        ++n;
        heads << label(QStringLiteral("Head%1").arg(n), QString::fromLatin1(c.head), c.left, 60,
                       c.width, 255, c.align, heading);
        boxes << fitted(
            textBox(QStringLiteral("txt%1").arg(QString::fromLatin1(c.field)).remove(u' '),
                    QString::fromLatin1(c.field), c.left, 0, c.width, 255, c.align, body));
    }
    heads << line("Line1", 0, 345, 11150, 0);
    d.addSection(QStringLiteral("Section2"), SectionKind::PageHeader, 390).controls = heads;
    d.addSection(QStringLiteral("Section1"), SectionKind::Detail, 255).controls = boxes;

    Section& pf = d.addSection(QStringLiteral("Section3"), SectionKind::PageFooter, 450);
    pf.controls << label("Label3", "Page %p of %P", 8900, 120, 2250, 255, Align::Right, body);
    Section& rf = d.addSection(QStringLiteral("Section5"), SectionKind::ReportFooter, 420);
    rf.controls << line("Line2", 0, 60, 11150, 0)
                << label("lblCount", "", 60, 120, 6000, 255, Align::Left, heading);
    return d;
}

} // namespace zel::reports
