#pragma once
// E-mailing a purchase order: the order's PDF, laid out as Print lays it
// out, attached to a new message to the supplier in the workstation's mail
// program, for the user to check and send.
#include "app/mailer.h"
#include "bound/orderhub.h"
#include "bound/report.h"
#include "data/suppliers.h"

#include <QString>
#include <functional>
#include <optional>

namespace zel {
class ReportPreview;
}

namespace zel::reports {

// Where the e-mailed PDFs are kept while the mail program may still read
// them: "Emailed orders" in the workstation folder. A PDF older than
// kEmailedKeepDays is removed when the next one is written.
QString emailFolder();
inline constexpr int kEmailedKeepDays = 30;

// The file an order's PDF is written to in emailFolder().
QString emailPdfPath(const report::Document& doc, qint64 orderKey);

// The message to the supplier: to its address, the subject and body naming
// the order's reference, its number and the practice.
mail::Message orderMessage(const suppliers::OrderSupplier& order, const QString& practice,
                           const QString& pdfPath);

// E-mails order `orderKey`: the supplier must have an e-mail address (else
// the user is told and nothing opens); an order that is not approved is
// sent only when the user says so (default No). Then `makeDocument` lays
// the order out (nothing: it has no lines), its PDF is written and the mail
// program opens the message. True when the mail program took it.
bool emailOrder(qint64 orderKey,
                const std::function<std::optional<report::Document>()>& makeDocument);

// The Email button of the purchase order window: refused as Print refuses,
// then the order as Print shows it.
bool emailFromHub(OrderHub& hub);

// Gives the preview of order `orderKey` an "Email…" tool that sends the
// document the preview shows; `unsavedChanges` when it was printed from
// changes not saved, which the tool then refuses to send.
void offerEmail(ReportPreview& preview, qint64 orderKey, bool unsavedChanges);

} // namespace zel::reports
