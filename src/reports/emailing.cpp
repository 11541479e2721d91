#include "reports/emailing.h"
#include "app/messages.h"
#include "bound/reportpreview.h"
#include "connection/rowsetfile.h"
#include "connection/settings.h"
#include "data/statuses.h"
#include "reports/printing.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <stdexcept>

namespace zel::reports {

namespace {

const QString kTitle = QStringLiteral("E-mail order");

// A busy cursor while the mail program starts.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// "the supplier Henley Dental Ltd", or "the supplier of order 57" without a name.
QString supplierNamed(const suppliers::OrderSupplier& s) {
    return s.name.isEmpty() ? QStringLiteral("The supplier of order %1").arg(s.orderKey)
                            : QStringLiteral("The supplier %1").arg(s.name);
}

// Says why the order cannot go to its supplier's address; false when it can.
bool refusedForAddress(const suppliers::OrderSupplier& s) {
    const QString fix = QStringLiteral(
        "Enter it under Utils > Edit Customer/Supplier Address, then press Email... again.");
    if (s.email.isEmpty()) {
        messages().info(QStringLiteral("%1 has no e-mail address, so order %2 was not e-mailed. %3")
                            .arg(supplierNamed(s))
                            .arg(s.orderKey)
                            .arg(s.supplierKnown
                                     ? fix
                                     : QStringLiteral("The order names no supplier of the "
                                                      "supplier list: choose the supplier with "
                                                      "Start, save the order, then press "
                                                      "Email... again.")),
                        kTitle);
        return true;
    }
    if (const QString bad = mail::notAnAddress(s.email); !bad.isEmpty()) {
        messages().info(QStringLiteral("%1 has the e-mail address \"%2\", which is not an e-mail "
                                       "address, so order %3 was not e-mailed. Correct it under "
                                       "Utils > Edit Customer/Supplier Address, then press "
                                       "Email... again.")
                            .arg(supplierNamed(s), bad)
                            .arg(s.orderKey),
                        kTitle);
        return true;
    }
    return false;
}

// Removes the e-mailed PDFs that no mail program needs any more.
void removeOldPdfs(const QDir& folder) {
    const QDateTime before = QDateTime::currentDateTime().addDays(-kEmailedKeepDays);
    for (const QFileInfo& f :
         folder.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files | QDir::NoSymLinks))
        if (f.lastModified() < before)
            QFile::remove(f.filePath());
}

} // namespace

QString emailFolder() {
    return QDir(workstationFolder()).filePath(QStringLiteral("Emailed orders"));
}

QString emailPdfPath(const report::Document& doc, qint64 orderKey) {
    const QString name = doc.fileName.isEmpty() ? doc.caption : doc.fileName;
    return QDir(emailFolder())
        .filePath(safeFileName(QStringLiteral("%1 (order %2)").arg(name).arg(orderKey)) +
                  QStringLiteral(".pdf"));
}

mail::Message orderMessage(const suppliers::OrderSupplier& order, const QString& practice,
                           const QString& pdfPath) {
    mail::Message m;
    m.to = order.email;
    const QString from = practice.isEmpty() ? QString() : QStringLiteral(" from ") + practice;
    m.subject = QStringLiteral("Purchase order %1 (order %2)%3")
                    .arg(order.customerRef)
                    .arg(order.orderKey)
                    .arg(from);
    m.body = QStringLiteral("Please find attached our purchase order %1 (order number %2)%3.\n\n"
                            "Please quote %1 on the delivery note and the invoice.\n\n"
                            "Kind regards\n%4")
                 .arg(order.customerRef)
                 .arg(order.orderKey)
                 .arg(from, practice.isEmpty() ? QStringLiteral("Purchasing") : practice);
    m.attachment = pdfPath;
    return m;
}

bool emailOrder(qint64 orderKey,
                const std::function<std::optional<report::Document>()>& makeDocument) {
    const auto order = suppliers::ofOrder(orderKey);
    if (!order) {
        messages().info(
            QStringLiteral("Order %1 is no longer stored, so it was not e-mailed.").arg(orderKey),
            kTitle);
        return false;
    }
    if (refusedForAddress(*order))
        return false;
    if (!statuses::isApproved(order->status) &&
        !messages().questionDefaultNo(
            QStringLiteral("Order %1 (%2) is not approved. E-mail it to %3 all the same?")
                .arg(orderKey)
                .arg(order->customerRef, order->name.isEmpty() ? order->email : order->name),
            kTitle))
        return false;

    const std::optional<report::Document> doc = makeDocument();
    if (!doc) {
        messages().info(
            QStringLiteral("Order %1 has no lines, so there is nothing to e-mail.").arg(orderKey),
            kTitle);
        return false;
    }
    const QString pdf = emailPdfPath(*doc, orderKey);
    const QDir folder(emailFolder());
    try {
        if (!folder.exists() && !QDir().mkpath(folder.path()))
            throw std::runtime_error(
                QStringLiteral("The folder %1 cannot be made").arg(folder.path()).toStdString());
        removeOldPdfs(folder);
        report::writePdf(*doc, pdf);
    } catch (const std::runtime_error& e) {
        messages().error(QStringLiteral("Order %1 was not e-mailed: %2.")
                             .arg(orderKey)
                             .arg(QString::fromStdString(e.what())),
                         kTitle);
        return false;
    }

    mail::Outcome outcome;
    {
        BusyCursor busy;
        outcome = mail::compose(orderMessage(*order, suppliers::practiceName(), pdf));
    }
    if (!outcome.taken)
        messages().info(outcome.why, kTitle);
    return outcome.taken;
}

bool emailFromHub(OrderHub& hub) {
    const PrintInputs in = inputsFromHub(hub);
    if (auto refusal = printRefusal(Schedule::PurchaseOrder, in)) {
        messages().info(*refusal);
        return false;
    }
    try {
        return emailOrder(in.orderKey, [&] { return prepare(Schedule::PurchaseOrder, in); });
    } catch (const RowSetFileError& e) {
        messages().error(e.message());
        return false;
    }
}

void offerEmail(ReportPreview& preview, qint64 orderKey, bool unsavedChanges) {
    preview.addTool(
        QStringLiteral("Email…"), QStringLiteral("actEmail"),
        [&preview, orderKey, unsavedChanges] {
            if (unsavedChanges) {
                messages().info(
                    QStringLiteral("This preview shows changes to order %1 that are not saved. "
                                   "Save the order, print it again, then press Email... again.")
                        .arg(orderKey),
                    kTitle);
                return;
            }
            emailOrder(orderKey, [&] { return std::optional(preview.document()); });
        },
        Qt::CTRL | Qt::Key_E);
}

} // namespace zel::reports
