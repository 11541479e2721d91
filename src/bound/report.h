#pragma once
// The report engine: a report design is data (sections with heights; labels,
// bound text boxes, rectangles and lines placed in twips, with alignment and
// fonts), filled by name from code, laid out into pages and painted onto a
// printer or a PDF. The laid-out pages can be inspected without painting.
#include "connection/database.h"
#include "values/convert.h"

#include <QDate>
#include <QList>
#include <QMarginsF>
#include <QPageSize>
#include <QRect>
#include <QString>

class QPagedPaintDevice;
class QPainter;

namespace zel::report {

enum class Align { Left, Center, Right };
enum class ControlKind { Label, TextBox, Rectangle, Line };
enum class SectionKind { ReportHeader, PageHeader, Detail, PageFooter, ReportFooter };

struct Font {
    QString family = QStringLiteral("Arial");
    double pointSize = 8.25;
    bool bold = false;
    bool italic = false;
};

struct Control {
    QString name;
    ControlKind kind = ControlKind::Label;
    QString caption;   // labels: the text, with %p, %P and %D resolved when laid out
    QString dataField; // text boxes: the column shown
    int left = 0, top = 0, width = 0, height = 0; // twips, within the section
    Align align = Align::Left;
    Font font;
    bool visible = true;
    // Text that does not fit its box is printed smaller, down to
    // minPointSize, wrapping at word breaks within the box; what still does
    // not fit at that size wraps (anywhere, if need be) and the box grows
    // downwards with its section, so every character prints. Controls below a
    // grown box move down with it; nothing moves sideways.
    bool shrinkToFit = false;
    double minPointSize = 6.0;
};

struct Section {
    QString name;
    SectionKind kind = SectionKind::Detail;
    int height = 0; // twips
    QList<Control> controls;
};

class Design {
public:
    QString name;     // e.g. rptPOSchedule
    QString caption;  // the preview window's caption
    QString fileName; // proposed name of a saved copy, without ".pdf" (the caption when empty)
    QList<Section> sections;
    QPageSize pageSize = QPageSize(QPageSize::A4);
    int marginTwips = 360;

    Section& addSection(const QString& name, SectionKind kind, int height);
    Section* section(const QString& name);
    const Section* section(SectionKind kind) const;
    // The control of that name in any section; throws std::out_of_range when absent.
    Control& control(const QString& name);
    void setCaption(const QString& controlName, const QString& caption) {
        control(controlName).caption = caption;
    }
    void setDataField(const QString& controlName, const QString& field) {
        control(controlName).dataField = field;
    }
    // The widest right edge of any control, in twips.
    int extentTwips() const;
};

// Helpers for building designs.
Control label(const QString& name, const QString& caption, int left, int top, int width, int height,
              Align align = Align::Left, Font font = {});
Control textBox(const QString& name, const QString& field, int left, int top, int width, int height,
                Align align = Align::Left, Font font = {});
Control rectangle(const QString& name, int left, int top, int width, int height);
Control line(const QString& name, int left, int top, int width, int height);

// One control placed on a page, in design twips from the top left of the
// printable area; its text resolved.
struct Placed {
    QString name;
    ControlKind kind;
    SectionKind section;
    QRect rect;
    QString text;
    Align align;
    Font font;                 // the size it prints at, after any shrinking
    bool wrapAnywhere = false; // a word wider than the box breaks within it
};

struct Page {
    int number = 0;
    QList<Placed> items;
    // Every item of that control name on this page, in order.
    QList<const Placed*> find(const QString& name) const;
    // The text of the first item of that name ("" when absent).
    QString text(const QString& name) const;
    bool has(const QString& name) const { return !find(name).isEmpty(); }
};

struct Document {
    QString caption;
    QString fileName;
    QPageSize pageSize;
    int marginTwips = 360;
    double scale = 1.0;           // design twips to paper twips
    int printableHeightTwips = 0; // in design twips
    QList<Page> pages;
};

// The rows a report shows: a row set and the kind of each column, so values
// print the way the program shows them.
struct ReportData {
    RowSet rows;
    QVector<Kind> kinds; // empty: everything shown as its text
};

// Lays the design out over the rows: the report header once at the top of the
// first page, then the page header (on every page), a detail band per row,
// the report footer once after the last row and the page footer at the foot
// of every page; %p, %P and %D (today's date in the long form) resolved.
// Boxes marked shrinkToFit are fitted to their text.
Document layout(const Design& design, const ReportData& data, QDate today = QDate::currentDate());

// Paints the pages onto a printer or PDF writer (page size and margins set here).
void paint(const Document& doc, QPagedPaintDevice& device);
// Writes a PDF; throws std::runtime_error with the path when it cannot.
void writePdf(const Document& doc, const QString& path);

// The height in twips that `text` takes in a box `width` twips wide at the
// font's size, wrapped at word breaks (or anywhere, when `anywhere`); and,
// through `widest`, the width of its widest line.
double textHeightTwips(const Font& font, const QString& text, int width, bool anywhere,
                       double* widest = nullptr);

// Arial and Times New Roman map to their metric-compatible Liberation fonts.
void registerFontSubstitutes();

} // namespace zel::report
