#include "bound/report.h"

#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <algorithm>
#include <cmath>
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

Control label(const QString& name, const QString& caption, int left, int top, int width, int height,
              Align align, Font font) {
    return Control{name, ControlKind::Label, caption, {}, left, top, width, height, align, font,
                   true};
}

Control textBox(const QString& name, const QString& field, int left, int top, int width, int height,
                Align align, Font font) {
    return Control{name, ControlKind::TextBox, {}, field, left, top, width, height, align, font,
                   true};
}

Control rectangle(const QString& name, int left, int top, int width, int height) {
    return Control{name, ControlKind::Rectangle, {}, {}, left, top, width, height, Align::Left, {},
                   true};
}

Control line(const QString& name, int left, int top, int width, int height) {
    return Control{name,   ControlKind::Line, {}, {},  left, top, width,
                   height, Align::Left,       {}, true};
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

QFont qfont(const Font& f) {
    QFont font(f.family);
    font.setPointSizeF(f.pointSize);
    font.setBold(f.bold);
    font.setItalic(f.italic);
    return font;
}

// A paint device whose units are twips (1440 to the inch), to measure text on.
const QImage& twipsDevice() {
    static const QImage device = [] {
        QImage img(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = int(1440.0 / 0.0254 + 0.5);
        img.setDotsPerMeterX(dotsPerMetre);
        img.setDotsPerMeterY(dotsPerMetre);
        return img;
    }();
    return device;
}

QString paintedText(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

// Printers and PDF writers measure a little differently from the twips
// device; a box is taken to hold what fits in this share of its width.
constexpr double kWidthShare = 0.97;

// Fits a shrink-to-fit box to its text: the largest size from the design's
// down to the minimum at which the wrapped text fits the box; failing that the
// minimum size, and the height the text then needs. Returns the box's height.
int fit(Placed& p, const Control& c) {
    if (!c.shrinkToFit || p.text.isEmpty() || c.width <= 0)
        return c.height;
    const double width = c.width * kWidthShare;
    const double smallest = std::min(c.minPointSize, c.font.pointSize);
    Font f = c.font;
    for (double pt = c.font.pointSize; pt >= smallest - 1e-9; pt -= 0.25) {
        f.pointSize = pt;
        double widest = 0;
        const double h = textHeightTwips(f, p.text, int(width), false, &widest);
        if (widest <= width && h <= c.height) {
            p.font = f;
            return c.height;
        }
    }
    f.pointSize = smallest;
    double widest = 0;
    double h = textHeightTwips(f, p.text, int(width), false, &widest);
    if (widest > width) {
        p.wrapAnywhere = true;
        h = textHeightTwips(f, p.text, int(width), true);
    }
    p.font = f;
    return std::max(c.height, int(std::ceil(h)) + 15);
}

// A section's controls placed from its top, and the height it takes.
struct Band {
    QList<Placed> items;
    int height = 0;
};

// Places a section's controls; `row` is the data row for text boxes. A box
// that grows pushes down every control that lies wholly below it.
Band band(const Section& s, const ReportData& data, int row) {
    Band b;
    b.height = s.height;
    QList<const Control*> shown;
    QList<int> growth;
    for (const Control& c : s.controls) {
        if (!c.visible)
            continue;
        Placed p{c.name,    c.kind,  s.kind, QRect(c.left, c.top, c.width, c.height),
                 c.caption, c.align, c.font};
        if (c.kind == ControlKind::TextBox) {
            p.text.clear();
            int col = data.rows.indexOf(c.dataField);
            if (col >= 0 && row >= 0 && row < data.rows.size()) {
                const QVariant& v = data.rows.rows[row][col];
                Kind k = col < data.kinds.size() ? data.kinds[col] : Kind::Text;
                p.text = displayText(k, v);
            }
        }
        if (c.kind == ControlKind::Label || c.kind == ControlKind::TextBox) {
            const int h = fit(p, c);
            p.rect.setHeight(h);
            growth << h - c.height;
        } else {
            growth << 0;
        }
        shown << &c;
        b.items << p;
    }
    for (int i = 0; i < b.items.size(); ++i) {
        int shift = 0;
        for (int j = 0; j < shown.size(); ++j)
            if (growth[j] > 0 && shown[j]->top + shown[j]->height <= shown[i]->top)
                shift = std::max(shift, growth[j]);
        b.items[i].rect.translate(0, shift);
        b.height = std::max(b.height, b.items[i].rect.top() + b.items[i].rect.height());
    }
    return b;
}

void put(Page& page, const Band& b, int top) {
    for (Placed p : b.items) {
        p.rect.translate(0, top);
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

double textHeightTwips(const Font& font, const QString& text, int width, bool anywhere,
                       double* widest) {
    registerFontSubstitutes();
    // Every line of a long report measures with the same few fonts.
    static QHash<QString, QFontMetricsF> metrics;
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(font.family)
                            .arg(font.pointSize)
                            .arg(font.bold)
                            .arg(font.italic);
    auto it = metrics.find(key);
    if (it == metrics.end())
        it = metrics.insert(key, QFontMetricsF(qfont(font), &twipsDevice()));
    const QFontMetricsF& fm = *it;
    int flags = Qt::TextWordWrap | Qt::AlignTop | Qt::AlignLeft;
    if (anywhere)
        flags |= Qt::TextWrapAnywhere;
    const QRectF r = fm.boundingRect(QRectF(0, 0, width, 1e7), flags, paintedText(text));
    if (widest)
        *widest = r.width();
    return r.height();
}

Document layout(const Design& design, const ReportData& data, QDate today) {
    registerFontSubstitutes();
    Document doc;
    doc.caption = design.caption;
    doc.fileName = design.fileName.isEmpty() ? design.caption : design.fileName;
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
    const Band header = pageHeader ? band(*pageHeader, data, -1) : Band{};
    const Band footer = pageFooter ? band(*pageFooter, data, -1) : Band{};
    const int bodyBottom = H - footer.height;

    int y = 0;
    int pageTop = 0; // where the first detail band of the page goes
    auto newPage = [&] {
        if (!doc.pages.isEmpty() && pageFooter)
            put(doc.pages.last(), footer, bodyBottom);
        Page p;
        p.number = int(doc.pages.size()) + 1;
        doc.pages << p;
        y = 0;
        // The report header comes first, above the first page's header.
        if (p.number == 1 && reportHeader) {
            const Band rh = band(*reportHeader, data, -1);
            if (rh.height + header.height <= bodyBottom) {
                put(doc.pages.last(), rh, y);
                y += rh.height;
            }
        }
        if (pageHeader) {
            put(doc.pages.last(), header, y);
            y += header.height;
        }
        pageTop = y;
    };
    newPage();
    if (detail && detail->height > 0) {
        for (int r = 0; r < data.rows.size(); ++r) {
            const Band line = band(*detail, data, r);
            if (y + line.height > bodyBottom && y > pageTop)
                newPage();
            put(doc.pages.last(), line, y);
            y += line.height;
        }
    }
    if (reportFooter) {
        const Band rf = band(*reportFooter, data, -1);
        if (y + rf.height > bodyBottom && y > pageTop)
            newPage();
        put(doc.pages.last(), rf, y);
        y += rf.height;
    }
    if (pageFooter)
        put(doc.pages.last(), footer, bodyBottom);

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
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
    QFont::insertSubstitution(QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"));
}

namespace {

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
            // Point sizes are of the design; they shrink with the layout.
            f.setPointSizeF(item.font.pointSize * twipsToDevice * 1440.0 /
                            painter.device()->logicalDpiX());
            painter.setFont(f);
            painter.setPen(Qt::black);
            int flags = Qt::TextWordWrap | Qt::AlignTop;
            if (item.wrapAnywhere)
                flags |= Qt::TextWrapAnywhere;
            flags |= item.align == Align::Right    ? Qt::AlignRight
                     : item.align == Align::Center ? Qt::AlignHCenter
                                                   : Qt::AlignLeft;
            const QString text = paintedText(item.text);
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
    device.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm),
                          QPageLayout::Millimeter);
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
            throw std::runtime_error(QStringLiteral("The PDF %1 cannot be written: %2")
                                         .arg(path, probe.errorString())
                                         .toStdString());
    }
    QPdfWriter writer(path);
    writer.setResolution(1200);
    writer.setCreator(QStringLiteral("Zel Purchasing"));
    writer.setTitle(doc.caption);
    paint(doc, writer);
}

} // namespace zel::report
