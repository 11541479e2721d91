#pragma once
// The preview of a laid-out report: its pages with zoom, "Print…" through the
// system's print dialog, and "Save as PDF…". Captioned with the report's caption.
#include "bound/report.h"

#include <QWidget>

class QPrintPreviewWidget;
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
    // Asks for a file name and writes the PDF there.
    void saveAsPdf();

private:
    void updatePageLabel();
    report::Document doc_;
    QPrintPreviewWidget* view_;
    QPrinter* printer_;
    QLabel* pageLabel_;
};

// Shows a preview of the document (one preview window per report caption).
ReportPreview* showReport(const report::Document& doc);

} // namespace zel
