#include "bound/report.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <stdexcept>

namespace zel::report {

Section& Design::addSection(const QString& name, SectionKind kind, int height) {
    sections.append(Section{name, kind, height, {}});
    return sections.last();
}

Section* Design::section(const QString& name) {
    for (Section& s : sections)
        if (s.name == name)
            return &s;
    return nullptr;
}

const Section* Design::section(SectionKind kind) const {
    for (const Section& s : sections)
        if (s.kind == kind)
            return &s;
    return nullptr;
}

Control& Design::control(const QString& name) {
    for (Section& s : sections)
        for (Control& c : s.controls)
            if (c.name == name)
                return c;
    throw std::out_of_range(("the report has no control " + name).toStdString());
}

int Design::extentTwips() const {
    int right = 0;
    for (const Section& s : sections)
        for (const Control& c : s.controls)
            right = std::max(right, c.left + c.width);
    return right;
}

Control label(const QString& name, const QString& caption, int left, int top, int width, int height, Align align,
              Font font) {
    return Control{name, ControlKind::Label, caption, {}, left, top, width, height, align, font, true};
}

Control textBox(const QString& name, const QString& field, int left, int top, int width, int height, Align align,
                Font font) {
    return Control{name, ControlKind::TextBox, {}, field, left, top, width, height, align, font, true};
}

Control rectangle(const QString& name, int left, int top, int width, int height) {
    return Control{name, ControlKind::Rectangle, {}, {}, left, top, width, height, Align::Left, {}, true};
}

Control line(const QString& name, int left, int top, int width, int height) {
    return Control{name, ControlKind::Line, {}, {}, left, top, width, height, Align::Left, {}, true};
}

QList<const Placed*> Page::find(const QString& name) const {
    QList<const Placed*> out;
    for (const Placed& p : items)
        if (p.name == name)
            out << &p;
    return out;
}

QString Page::text(const QString& name) const {
    auto found = find(name);
    return found.isEmpty() ? QString() : found.first()->text;
}

namespace {

// Places a section's controls at `top`; `row` is the data row for text boxes.
void place(Page& page, const Section& s, int top, const ReportData& data, int row) {
    for (const Control& c : s.controls) {
        if (!c.visible)
            continue;
        Placed p{c.name, c.kind, s.kind, QRect(c.left, top + c.top, c.width, c.height), c.caption, c.align, c.font};
        if (c.kind == ControlKind::TextBox) {
            p.text.clear();
            int col = data.rows.indexOf(c.dataField);
            if (col >= 0 && row >= 0 && row < data.rows.size()) {
                const QVariant& v = data.rows.rows[row][col];
                Kind k = col < data.kinds.size() ? data.kinds[col] : Kind::Text;
                p.text = displayText(k, v);
            }
        }
        page.items << p;
    }
}

QString resolve(QString text, int page, int pages, const QString& longDate) {
    if (!text.contains(u'%'))
        return text;
    text.replace(QLatin1String("%p"), QString::number(page));
    text.replace(QLatin1String("%P"), QString::number(pages));
    text.replace(QLatin1String("%D"), longDate);
    return text;
}

} // namespace

Document layout(const Design& design, const ReportData& data, QDate today) {
    Document doc;
    doc.caption = design.caption;
    doc.pageSize = design.pageSize;
    doc.marginTwips = design.marginTwips;
    const QSizeF paper = design.pageSize.size(QPageSize::Inch) * 1440.0;
    const double printableWidth = paper.width() - 2.0 * design.marginTwips;
    const int extent = design.extentTwips();
    doc.scale = extent > printableWidth ? printableWidth / extent : 1.0;
    doc.printableHeightTwips = int((paper.height() - 2.0 * design.marginTwips) / doc.scale);
    const int H = doc.printableHeightTwips;

    const Section* reportHeader = design.section(SectionKind::ReportHeader);
    const Section* pageHeader = design.section(SectionKind::PageHeader);
    const Section* detail = design.section(SectionKind::Detail);
    const Section* pageFooter = design.section(SectionKind::PageFooter);
    const Section* reportFooter = design.section(SectionKind::ReportFooter);
    const int footerHeight = pageFooter ? pageFooter->height : 0;
    const int bodyBottom = H - footerHeight;

    int y = 0;
    auto newPage = [&] {
        if (!doc.pages.isEmpty() && pageFooter)
            place(doc.pages.last(), *pageFooter, bodyBottom, data, -1);
        Page p;
        p.number = int(doc.pages.size()) + 1;
        doc.pages << p;
        y = 0;
        if (pageHeader) {
            place(doc.pages.last(), *pageHeader, 0, data, -1);
            y = pageHeader->height;
        }
    };
    newPage();
    if (reportHeader && reportHeader->height + y <= bodyBottom) {
        place(doc.pages.last(), *reportHeader, y, data, -1);
        y += reportHeader->height;
    }
    if (detail && detail->height > 0) {
        for (int r = 0; r < data.rows.size(); ++r) {
            if (y + detail->height > bodyBottom && y > (pageHeader ? pageHeader->height : 0))
                newPage();
            place(doc.pages.last(), *detail, y, data, r);
            y += detail->height;
        }
    }
    if (reportFooter) {
        if (y + reportFooter->height > bodyBottom)
            newPage();
        place(doc.pages.last(), *reportFooter, y, data, -1);
        y += reportFooter->height;
    }
    if (pageFooter)
        place(doc.pages.last(), *pageFooter, bodyBottom, data, -1);

    const QString longDate = QLocale().toString(today, QLocale::LongFormat);
    const int pages = int(doc.pages.size());
    for (Page& p : doc.pages)
        for (Placed& item : p.items)
            item.text = resolve(item.text, p.number, pages, longDate);
    return doc;
}

void registerFontSubstitutes() {
    static bool done = false;
    if (done)
        return;
    done = true;
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

namespace {

QFont qfont(const Font& f) {
    QFont font(f.family);
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    return font;
}

void paintPage(QPainter& painter, const Page& page, double twipsToDevice) {
    for (const Placed& item : page.items) {
        const QRectF r(item.rect.left() * twipsToDevice, item.rect.top() * twipsToDevice,
                       item.rect.width() * twipsToDevice, item.rect.height() * twipsToDevice);
        switch (item.kind) {
        case ControlKind::Rectangle:
            painter.setPen(QPen(Qt::black, 0));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(r);
            break;
        case ControlKind::Line:
            painter.setPen(QPen(Qt::black, 0));
            painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case ControlKind::Label:
        case ControlKind::TextBox: {
            if (item.text.isEmpty())
                break;
            QFont f = qfont(item.font);
            // Point sizes are of the design; scale them with the layout.
            // Point sizes are of the design; they shrink with the layout.
            f.setPointSizeF(item.font.pointSize * twipsToDevice * 1440.0 / painter.device()->logicalDpiX());
            painter.setFont(f);
            painter.setPen(Qt::black);
            int flags = Qt::TextWordWrap | Qt::AlignTop;
            flags |= item.align == Align::Right ? Qt::AlignRight
                     : item.align == Align::Center ? Qt::AlignHCenter
                                                   : Qt::AlignLeft;
            QString text = item.text;
            text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
            painter.save();
            painter.setClipRect(r.adjusted(0, 0, 0, 1));
            painter.drawText(r, flags, text);
            painter.restore();
            break;
        }
        }
    }
}

} // namespace

void paint(const Document& doc, QPagedPaintDevice& device) {
    registerFontSubstitutes();
    device.setPageSize(doc.pageSize);
    device.setPageOrientation(QPageLayout::Portrait);
    const double marginMm = doc.marginTwips / 1440.0 * 25.4;
    device.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
    QPainter painter;
    if (!painter.begin(&device))
        throw std::runtime_error("the printer could not be started");
    // Device units per design twip, after fitting the layout to the page.
    const double twipsToDevice = device.logicalDpiX() / 1440.0 * doc.scale;
    for (int i = 0; i < doc.pages.size(); ++i) {
        if (i > 0)
            device.newPage();
        paintPage(painter, doc.pages[i], twipsToDevice);
    }
    painter.end();
}

void writePdf(const Document& doc, const QString& path) {
    {
        QFile probe(path);
        if (!probe.open(QIODevice::WriteOnly))
            throw std::runtime_error(
                QStringLiteral("The PDF %1 cannot be written: %2").arg(path, probe.errorString()).toStdString());
    }
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Zel Purchasing"));
    writer.setTitle(doc.caption);
    paint(doc, writer);
}

} // namespace zel::report
