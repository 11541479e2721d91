#pragma once
// The preview of a laid-out report: its pages with zoom, "Print…" through the
// system's print dialog, and "Save as PDF…". Captioned with the report's caption.
#include "bound/report.h"

#include <QKeySequence>
#include <QWidget>
#include <functional>

class QAction;
class QPrintPreviewWidget;
class QToolBar;
class QLabel;
class QPrinter;

namespace zel {

class ReportPreview : public QWidget {
    Q_OBJECT
public:
    explicit ReportPreview(report::Document doc, QWidget* parent = nullptr);

    const report::Document& document() const { return doc_; }
    QPrintPreviewWidget* view() const { return view_; }
    void print();
    // Asks for a file name, proposing proposedPdfPath(), and writes the PDF there.
    void saveAsPdf();
    // The documents folder and the report's file name, made safe for a file name.
    QString proposedPdfPath() const;
    // Writes the PDF to `path` and says where it went.
    void savePdfTo(const QString& path);
    // Adds a tool after Print and Save: `fn` runs behind the guard; `key` works
    // anywhere in the preview and is shown in the tool's tip.
    QAction* addTool(const QString& text, const QString& name, std::function<void()> fn,
                     const QKeySequence& key = {});

private:
    void updatePageLabel();
    report::Document doc_;
    QPrintPreviewWidget* view_;
    QPrinter* printer_;
    QLabel* pageLabel_;
    QToolBar* bar_;
    QAction* outputEnd_ = nullptr; // the separator after Print and Save
    bool ownToolsPlaced_ = false;  // the preview's own tools are in place
};

// `name` as a file name: characters that file systems refuse or treat
// specially (/ \\ : * ? " < > | and control characters) become "-", and
// leading and trailing blanks and dots go. "Report" when nothing is left.
QString safeFileName(const QString& name);

// Shows a preview of the document (one preview window per report caption).
ReportPreview* showReport(const report::Document& doc);

} // namespace zel
