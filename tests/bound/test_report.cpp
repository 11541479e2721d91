// The report engine through its page model, and real PDF output.
#include "bound/report.h"
#include "bound/reportpreview.h"
#include "support/testdb.h"

#include <QFile>
#include <QPrintPreviewWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zel;
using namespace zel::report;

namespace {

Design sample() {
    Design d;
    d.name = "rptSample";
    d.caption = "Sample Report";
    d.addSection("Section4", SectionKind::ReportHeader, 0);
    Section& ph = d.addSection("Section2", SectionKind::PageHeader, 1000);
    ph.controls << label("Label1", "Title", 100, 0, 4000, 480, Align::Left, Font{"Arial", 15.75, true});
    ph.controls << label("lblDate", "%D", 6000, 0, 3000, 270);
    Section& det = d.addSection("Section1", SectionKind::Detail, 270);
    det.controls << textBox("txtItem", "Item", 0, 0, 800, 270, Align::Center);
    det.controls << textBox("txtPrice", "Unit Price", 5000, 0, 1400, 270, Align::Right);
    Section& pf = d.addSection("Section3", SectionKind::PageFooter, 500);
    pf.controls << label("lblPage", "Page %p of %P", 8000, 100, 2000, 270);
    Section& rf = d.addSection("Section5", SectionKind::ReportFooter, 2000);
    rf.controls << label("lblEnd", "End of report", 0, 0, 3000, 270) << rectangle("Shape1", 4000, 300, 2000, 1200);
    return d;
}

ReportData rows(int n) {
    ReportData data;
    data.rows.columns = {"Item", "Unit Price"};
    for (int i = 1; i <= n; ++i)
        data.rows.rows.push_back({i, QString::number(i) + ".5000"});
    data.kinds = {Kind::Integer, Kind::Money};
    return data;
}

} // namespace

TEST(ReportLayout, HeadersAndFootersOnEveryPageAndTheReportFooterOnce) {
    Design d = sample();
    Document doc = layout(d, rows(100), QDate(2026, 3, 5));
    EXPECT_EQ(doc.caption, "Sample Report");
    // A4 less two 360-twip margins leaves 16117 twips; 1000 header + 500 footer
    // leave room for 54 lines of 270 twips a page.
    ASSERT_EQ(doc.pages.size(), 2);
    EXPECT_EQ(doc.pages[0].find("txtItem").size(), 54);
    EXPECT_EQ(doc.pages[1].find("txtItem").size(), 46);
    for (const Page& p : doc.pages) {
        EXPECT_EQ(p.text("Label1"), "Title");
        EXPECT_EQ(p.text("lblPage"), QStringLiteral("Page %1 of 2").arg(p.number));
        EXPECT_EQ(p.text("lblDate"), "Thursday, 5 March 2026"); // the long date form
        EXPECT_EQ(p.find("lblPage").first()->rect.top(), doc.printableHeightTwips - 500 + 100);
    }
    EXPECT_FALSE(doc.pages[0].has("lblEnd"));
    ASSERT_TRUE(doc.pages[1].has("lblEnd"));
    // Rows keep their order and the report footer follows the last one.
    auto second = doc.pages[1].find("txtItem");
    EXPECT_EQ(second.first()->text, "55");
    EXPECT_EQ(second.last()->text, "100");
    EXPECT_EQ(doc.pages[1].find("lblEnd").first()->rect.top(), second.last()->rect.bottom() + 1);
    EXPECT_EQ(doc.pages[0].find("txtPrice").first()->text, "1.50");
}

TEST(ReportLayout, AReportFooterThatDoesNotFitStartsANewPage) {
    Design d = sample();
    Document doc = layout(d, rows(53), QDate(2026, 3, 5));
    ASSERT_EQ(doc.pages.size(), 2);
    EXPECT_EQ(doc.pages[1].find("txtItem").size(), 0);
    EXPECT_TRUE(doc.pages[1].has("lblEnd"));
    EXPECT_TRUE(doc.pages[1].has("Label1"));
    // No rows: one page with headers, footer and the report footer.
    Document empty = layout(d, rows(0));
    ASSERT_EQ(empty.pages.size(), 1);
    EXPECT_TRUE(empty.pages[0].has("lblEnd"));
    EXPECT_EQ(empty.pages[0].text("lblPage"), "Page 1 of 1");
}

TEST(ReportLayout, ControlsAreFilledByNameAndAWideLayoutIsFittedToThePage) {
    Design d = sample();
    d.setCaption("Label1", "Purchase Order Schedule");
    d.control("lblEnd").visible = false;
    EXPECT_THROW(d.control("NoSuchControl"), std::out_of_range);
    Document doc = layout(d, rows(1));
    EXPECT_EQ(doc.pages[0].text("Label1"), "Purchase Order Schedule");
    EXPECT_FALSE(doc.pages[0].has("lblEnd"));
    EXPECT_DOUBLE_EQ(doc.scale, 1.0);
    d.section("Section2")->controls << label("wide", "x", 10000, 0, 2630, 200);
    Document wide = layout(d, rows(1));
    EXPECT_LT(wide.scale, 0.9);
    EXPECT_GT(wide.printableHeightTwips, doc.printableHeightTwips);
}

TEST(ReportPdf, WritesARealPdfAndRefusesAnUnwritablePath) {
    QTemporaryDir dir;
    const QString path = dir.filePath("sample.pdf");
    writePdf(layout(sample(), rows(80)), path);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray head = f.read(5);
    EXPECT_EQ(head, "%PDF-");
    EXPECT_GT(f.size(), 2000);
    try {
        writePdf(layout(sample(), rows(1)), "/nonexistent/dir/x.pdf");
        FAIL();
    } catch (const std::runtime_error& e) {
        EXPECT_TRUE(QString(e.what()).contains("/nonexistent/dir/x.pdf"));
    }
}

TEST(ReportPreviewWindow, CarriesTheCaptionAndShowsEveryPage) {
    ReportPreview* preview = showReport(layout(sample(), rows(100)));
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->windowTitle(), "Sample Report");
    preview->view()->updatePreview();
    EXPECT_EQ(preview->view()->pageCount(), 2);
    // A second print of the same report replaces the preview.
    ReportPreview* again = showReport(layout(sample(), rows(10)));
    EXPECT_NE(again, preview);
    again->view()->updatePreview();
    EXPECT_EQ(again->view()->pageCount(), 1);
    again->close();
    test::settle();
}
