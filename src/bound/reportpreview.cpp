#include "bound/reportpreview.h"
#include "app/dialogs.h"
#include "app/guard.h"
#include "app/messages.h"

#include <QDir>
#include <QFileDialog>
#include <QLabel>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QToolBar>
#include <QVBoxLayout>

namespace zel {

ReportPreview::ReportPreview(report::Document doc, QWidget* parent)
    : QWidget(parent, Qt::Window), doc_(std::move(doc)) {
    setObjectName(QStringLiteral("ReportPreview"));
    setWindowTitle(doc_.caption);
    printer_ = new QPrinter(QPrinter::HighResolution);
    printer_->setDocName(doc_.caption);
    view_ = new QPrintPreviewWidget(printer_, this);
    view_->setObjectName(QStringLiteral("PreviewPages"));
    connect(view_, &QPrintPreviewWidget::paintRequested, this,
            [this](QPrinter* p) { guarded([&] { report::paint(doc_, *p); }); });

    bar_ = new QToolBar(this);
    // Each tool has a key, so the preview works by keyboard alone (Escape closes it).
    addTool(
        QStringLiteral("Print…"), QStringLiteral("actPrint"), [this] { print(); },
        QKeySequence::Print);
    addTool(
        QStringLiteral("Save as PDF…"), QStringLiteral("actSavePdf"), [this] { saveAsPdf(); },
        QKeySequence::Save);
    // Tools a report adds go here, beside Print and Save.
    outputEnd_ = bar_->addSeparator();
    addTool(
        QStringLiteral("First"), QStringLiteral("actFirst"), [this] { view_->setCurrentPage(1); },
        Qt::CTRL | Qt::Key_Home);
    addTool(
        QStringLiteral("Previous"), QStringLiteral("actPrevious"),
        [this] { view_->setCurrentPage(std::max(1, view_->currentPage() - 1)); }, Qt::Key_PageUp);
    addTool(
        QStringLiteral("Next"), QStringLiteral("actNext"),
        [this] { view_->setCurrentPage(std::min(view_->pageCount(), view_->currentPage() + 1)); },
        Qt::Key_PageDown);
    addTool(
        QStringLiteral("Last"), QStringLiteral("actLast"),
        [this] { view_->setCurrentPage(view_->pageCount()); }, Qt::CTRL | Qt::Key_End);
    pageLabel_ = new QLabel(this);
    pageLabel_->setObjectName(QStringLiteral("PageNumber"));
    bar_->addWidget(pageLabel_);
    bar_->addSeparator();
    addTool(
        QStringLiteral("Zoom in"), QStringLiteral("actZoomIn"), [this] { view_->zoomIn(); },
        QKeySequence::ZoomIn);
    addTool(
        QStringLiteral("Zoom out"), QStringLiteral("actZoomOut"), [this] { view_->zoomOut(); },
        QKeySequence::ZoomOut);
    addTool(QStringLiteral("Fit width"), QStringLiteral("actFitWidth"),
            [this] { view_->fitToWidth(); });
    addTool(QStringLiteral("Whole page"), QStringLiteral("actFitPage"),
            [this] { view_->fitInView(); });
    bar_->addSeparator();
    addTool(QStringLiteral("Close"), QStringLiteral("actClose"), [this] { close(); });
    ownToolsPlaced_ = true;
    connect(view_, &QPrintPreviewWidget::previewChanged, this, [this] { updatePageLabel(); });

    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addWidget(bar_);
    v->addWidget(view_, 1);
    // Never so narrow that tools go behind the bar's overflow arrow; the
    // page keeps room below the bar.
    pageLabel_->setMinimumWidth(
        pageLabel_->fontMetrics().horizontalAdvance(QStringLiteral("  Page 999 of 999  ")));
    ensurePolished();
    setMinimumWidth(bar_->sizeHint().width());
    view_->setMinimumHeight(240);
    resize(std::max(900, minimumWidth()), 1000);
    view_->fitToWidth();
}

QAction* ReportPreview::addTool(const QString& text, const QString& name, std::function<void()> fn,
                                const QKeySequence& key) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    bar_->insertAction(ownToolsPlaced_ ? outputEnd_ : nullptr, a);
    // The window's own too, so its keys work wherever the focus is in it.
    addAction(a);
    connect(a, &QAction::triggered, this, [fn = std::move(fn)] { guarded(fn); });
    if (!key.isEmpty()) {
        a->setShortcut(key);
        // The key of a tool is shown with its name.
        a->setToolTip(QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
    }
    // A tool added to a preview on screen gets its letter as the others got theirs.
    if (isVisible()) {
        assignMnemonics(this);
        setMinimumWidth(std::max(minimumWidth(), bar_->sizeHint().width()));
    }
    return a;
}

void ReportPreview::updatePageLabel() {
    pageLabel_->setText(
        QStringLiteral("  Page %1 of %2  ").arg(view_->currentPage()).arg(view_->pageCount()));
}

void ReportPreview::print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc_.caption);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Print %1").arg(doc_.caption));
    if (dialog.exec() == QDialog::Accepted)
        report::paint(doc_, printer);
}

QString safeFileName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (const QChar c : name) {
        const bool unsafe =
            c.unicode() < 0x20 || c.unicode() == 0x7f || QStringView(u"/\\:*?\"<>|").contains(c);
        out += unsafe ? u'-' : c;
    }
    while (!out.isEmpty() && (out.front().isSpace() || out.front() == u'.'))
        out.remove(0, 1);
    while (!out.isEmpty() && (out.back().isSpace() || out.back() == u'.'))
        out.chop(1);
    out = out.left(120);
    return out.isEmpty() ? QStringLiteral("Report") : out;
}

QString ReportPreview::proposedPdfPath() const {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty())
        dir = QDir::homePath();
    return QDir(dir).filePath(safeFileName(doc_.fileName.isEmpty() ? doc_.caption : doc_.fileName) +
                              QStringLiteral(".pdf"));
}

void ReportPreview::saveAsPdf() {
    const QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Save as PDF"), proposedPdfPath(),
                                     QStringLiteral("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    savePdfTo(path);
}

void ReportPreview::savePdfTo(const QString& path) {
    report::writePdf(doc_, path);
    messages().info(
        QStringLiteral("%1 was saved as %2").arg(doc_.caption, QDir::toNativeSeparators(path)));
}

ReportPreview* showReport(const report::Document& doc) {
    // A new print replaces the preview of the same report.
    const QString kind = QStringLiteral("report:") + doc.caption;
    if (QWidget* open = dialogs().find(kind)) {
        dialogs().forget(kind);
        open->close();
    }
    return dialogs().show<ReportPreview>(kind, [&] { return new ReportPreview(doc); });
}

} // namespace zel
