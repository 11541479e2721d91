#include "reports/printing.h"
#include "app/messages.h"
#include "bound/reportpreview.h"
#include "connection/database.h"
#include "connection/rowsetfile.h"
#include "connection/settings.h"
#include "data/orders.h"
#include "reports/designs.h"
#include "values/convert.h"
#include "values/localetext.h"
#include "values/val.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <memory>

namespace zel::reports {

namespace {

QString box(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

QString employeeBlock(const RowSet& rs) {
    if (rs.isEmpty())
        return {};
    QList<QVariant> fields;
    for (const char* c : {"Forenames", "Address1", "Address2", "Town", "County", "Post Code"})
        fields << rs.at(0, QString::fromLatin1(c));
    return addressBlock(fields);
}

} // namespace

PrintInputs inputsFromHub(OrderHub& hub) {
    PrintInputs in;
    in.orderKey = qint64(Val(hub.custRef()->BoundText()));
    in.custRef = hub.custRef()->Text();
    in.accountNo = hub.controlText(QStringLiteral("AccountNo"));
    in.customerName = hub.controlText(QStringLiteral("CustomerName"));
    in.street = hub.controlText(QStringLiteral("Street"));
    in.street2 = hub.controlText(QStringLiteral("Street2"));
    in.town = hub.controlText(QStringLiteral("Town"));
    in.postcode = hub.controlText(QStringLiteral("Postcode"));
    in.invoiceTo = hub.controlText(QStringLiteral("InvoiceTo"));
    in.shipToId = hub.controlText(QStringLiteral("txtShipto_ID"));
    in.quotedDate = hub.controlText(QStringLiteral("QuotedDate"));
    in.fullName = hub.controlText(QStringLiteral("lblFullName"));
    in.vat = hub.controlText(QStringLiteral("VAT"));
    in.packagePrice = hub.controlText(QStringLiteral("PackagePrice"));
    in.subTotal = hub.controlText(QStringLiteral("lblSubTotal"));
    in.finalTotal = hub.controlText(QStringLiteral("lblFinalTotal"));
    in.calcPkg = hub.controlText(QStringLiteral("lblCalcPkg"));
    if (auto* ck = hub.hubWidget()->findChild<QCheckBox*>(QStringLiteral("ckPPrice")))
        in.packageMode = ck->isChecked();
    return in;
}

std::optional<PrintInputs> inputsFromDatabase(Schedule schedule, qint64 orderKey) {
    RowSet rs = gConn().select(
        QStringLiteral("Select * From `Order Information` Where `Quote ID` = ?"), {orderKey});
    if (rs.isEmpty())
        return std::nullopt;
    auto text = [&](const char* column, Kind kind = Kind::Text) {
        return displayText(kind, rs.at(0, QString::fromLatin1(column)));
    };
    PrintInputs in;
    in.orderKey = orderKey;
    in.custRef = text("Customer Ref");
    in.accountNo = text("Account No");
    in.customerName = text("Customer Name");
    in.street = text("Street");
    in.street2 = text("Street2");
    in.town = text("Town");
    in.postcode = text("County/Postcode");
    in.invoiceTo = text("InvoiceTo", Kind::Integer);
    in.shipToId = text("Shipto id", Kind::Integer);
    in.quotedDate = text("Quoted Date", Kind::Date);
    in.fullName = text("Name");
    in.packagePrice = text("package price", Kind::Money);
    // The goods inward window never shows the order's own discount and VAT.
    QString discount = QStringLiteral("0");
    if (schedule == Schedule::PurchaseOrder) {
        if (!rs.at(0, "Discount").isNull())
            discount = text("Discount", Kind::Number);
        in.vat = text("VAT", Kind::Number);
    }
    const Money S = orders::subTotal(orderKey);
    const orders::Totals t =
        orders::computeTotals(S.toDouble(), Val(discount), Val(in.vat), Val(in.packagePrice));
    in.subTotal = currencyText(S);
    in.finalTotal = currencyText(Money::fromDouble(t.finalTotal));
    in.calcPkg = currencyText(Money::fromDouble(t.packageTotal), 2);
    in.packageMode = Val(in.packagePrice) > 0;
    return in;
}

QString addressBlock(const QList<QVariant>& fields) {
    QString out;
    for (const QVariant& f : fields)
        if (f.isValid() && !f.isNull())
            out += f.toString() + QStringLiteral("\r\n");
    return out;
}

QString rtnCustomerAddress(const PrintInputs& in) {
    if (in.accountNo.isEmpty()) {
        messages().info(QStringLiteral("Please select a supplier"));
        return {};
    }
    QList<QVariant> fields;
    for (const QString& t : {in.customerName, in.street, in.street2, in.town, in.postcode})
        fields << (t.isEmpty() ? QVariant() : QVariant(t));
    return addressBlock(fields);
}

QString rtnEmployeeIdAddress(qint64 payrollId) {
    return employeeBlock(gConn().select(
        QStringLiteral(
            "Select * From `Employee Data` Where `Payroll ID` = ? ORDER BY `Employee ID` LIMIT 1"),
        {payrollId}));
}

QString rtnInvoiceToAddress(qint64 employeeId) {
    return employeeBlock(gConn().select(
        QStringLiteral("Select * From `Employee Data` Where `Employee ID` = ?"), {employeeId}));
}

QString rtnHeadOfficeAddress() {
    return employeeBlock(gConn().select(QStringLiteral(
        "Select * From `Employee Data` Where `Type` = 'Practice' ORDER BY `Employee ID` LIMIT 1")));
}

QString rtnPOInstruction() {
    return box(gConn().scalar(QStringLiteral("Select `TextValue` From `tblGlobalSysConfig` Where "
                                             "`Item` = 'POSuppliersAdditionalText'")));
}

QString exportPath(Schedule schedule) {
    return QDir(workstationFolder())
        .filePath(schedule == Schedule::PurchaseOrder
                      ? QStringLiteral("ExportOrderDetails.adtg")
                      : QStringLiteral("ExportOrderDetailsGI.adtg"));
}

namespace {

QList<RowSetFileColumn> exportColumns(Schedule schedule) {
    QList<RowSetFileColumn> cols = {{QStringLiteral("Item"), Kind::Integer, 0, false},
                                    {QStringLiteral("Part Id"), Kind::Text, 50, false},
                                    {QStringLiteral("Quantity"), Kind::Integer, 0, false},
                                    {QStringLiteral("Description"), Kind::Text, 255, false},
                                    {QStringLiteral("Unit Price"), Kind::Money, 0, false},
                                    {QStringLiteral("Extended Price"), Kind::Number, 0, false}};
    if (schedule == Schedule::GoodsIn)
        cols << RowSetFileColumn{QStringLiteral("Qty BI"), Kind::Integer, 0, false};
    return cols;
}

void removeOld(const QString& path) {
    if (QFile::exists(path) && !QFile::remove(path))
        throw RowSetFileError(path,
                              QStringLiteral("The export file %1 cannot be replaced.").arg(path));
}

} // namespace

bool ExportOrderDetails(Schedule schedule, qint64 orderKey) {
    if (orderKey == 0)
        return false;
    QString sql = QStringLiteral("SELECT 1 AS Item, `Order Details`.`Part Id`, `Order "
                                 "Details`.Quantity, `Order Details`.Description, "
                                 "`Order Details`.`Unit Price`, CAST(((`Order Details`.`Unit "
                                 "Price`*`Quantity`*(1-`Discount`)*100)/100) AS "
                                 "DECIMAL(10,2)) AS `Extended Price` ");
    if (schedule == Schedule::GoodsIn)
        sql += QStringLiteral(", `Order Details`.`Qty BI` ");
    sql += QStringLiteral("FROM `Order Details` Where `Order ID` = ? ORDER BY `Order Details`.ID");
    RowSet rows = gConn().select(sql, {orderKey});
    if (rows.isEmpty())
        return false;
    writeRowSetFile(exportPath(schedule), exportColumns(schedule), rows);
    return true;
}

void AmendExportOrderDetails(Schedule schedule) {
    const QString path = exportPath(schedule);
    RowSetFile file = readRowSetFile(path);
    const int item = file.rows.indexOf(QStringLiteral("Item"));
    if (item < 0)
        throw RowSetFileError(path,
                              QStringLiteral("The export file %1 has no Item column.").arg(path));
    for (int r = 0; r < file.rows.size(); ++r)
        file.rows.rows[r][item] = qlonglong(r + 1);
    writeRowSetFile(path, file.columns, file.rows);
}

report::Document PrintData(Schedule schedule, const PrintInputs& in, QDate today) {
    RowSetFile file = readRowSetFile(exportPath(schedule));
    report::ReportData data;
    data.rows = file.rows;
    for (const RowSetFileColumn& c : file.columns)
        data.kinds << (c.name == QLatin1String("Extended Price") ? Kind::Money : c.kind);

    report::Design d;
    if (schedule == Schedule::PurchaseOrder) {
        d = rptPOSchedule();
        d.fileName = QStringLiteral("PO ") + in.custRef;
        d.setCaption(QStringLiteral("lblCustRef"), in.custRef);
        d.setCaption(QStringLiteral("lblAddress"), rtnCustomerAddress(in));
        // The practice's own addresses: invoices to the invoice-to row, goods
        // to the ship-to row.
        d.setCaption(QStringLiteral("lblInvAddress"),
                     rtnInvoiceToAddress(qint64(Val(in.invoiceTo))));
        d.setCaption(QStringLiteral("lblDelAddress"),
                     rtnEmployeeIdAddress(qint64(Val(in.shipToId))));
        d.setCaption(QStringLiteral("lblHeadOffice"), rtnHeadOfficeAddress());
        d.setCaption(QStringLiteral("ibiPOInstruct"), rtnPOInstruction());
        if (!in.packageMode) {
            d.setCaption(QStringLiteral("lblSubTotal"), in.subTotal);
            d.setCaption(QStringLiteral("lblVAT"), in.vat);
            d.setCaption(QStringLiteral("lblTotals"), in.finalTotal);
        } else {
            d.setCaption(QStringLiteral("Label4"), QStringLiteral("Package Price"));
            d.setCaption(QStringLiteral("Label6"), QStringLiteral("Total Package Price"));
            d.setCaption(QStringLiteral("lblSubTotal"), in.packagePrice);
            d.setCaption(QStringLiteral("lblVAT"), QStringLiteral("0"));
            d.setCaption(QStringLiteral("lblTotals"), in.calcPkg);
        }
    } else {
        d = rptGoodsInward();
        d.fileName = QStringLiteral("Goods In ") + in.custRef;
        d.setCaption(QStringLiteral("lblAddress"), rtnCustomerAddress(in));
        d.setCaption(QStringLiteral("lblAccountNo"), in.accountNo);
        d.setCaption(QStringLiteral("lblCustRef"), in.custRef);
        d.setCaption(QStringLiteral("lblOrderDate"), in.quotedDate);
        d.setCaption(QStringLiteral("lblOrderBy"), in.fullName);
        if (!in.packageMode) {
            d.setCaption(QStringLiteral("lblSubTotal"), in.subTotal);
            d.setCaption(QStringLiteral("lblVAT"), in.vat);
            d.setCaption(QStringLiteral("lblTotals"), in.finalTotal);
        } else {
            d.setCaption(QStringLiteral("Label7"), QStringLiteral("Package Price"));
            d.setCaption(QStringLiteral("Label9"), QStringLiteral("Total Package Price"));
            d.setCaption(QStringLiteral("lblSubTotal"), in.packagePrice);
            d.setCaption(QStringLiteral("lblVAT"), QStringLiteral("0"));
            d.setCaption(QStringLiteral("lblTotals"), in.calcPkg);
        }
    }
    return report::layout(d, data, today);
}

std::optional<report::Document> prepare(Schedule schedule, const PrintInputs& in) {
    removeOld(exportPath(schedule));
    if (!ExportOrderDetails(schedule, in.orderKey))
        return std::nullopt;
    AmendExportOrderDetails(schedule);
    return PrintData(schedule, in);
}

void printFromHub(OrderHub& hub, Schedule schedule) {
    try {
        if (auto doc = prepare(schedule, inputsFromHub(hub)))
            showReport(*doc);
    } catch (const RowSetFileError& e) {
        messages().error(e.message());
    }
}

namespace {

// Without a window nobody can answer a message box: each message goes to
// standard error instead, and a question is answered No.
class StderrMessages : public MessageService {
public:
    void info(const QString& text, const QString&) override { say(text); }
    void error(const QString& text, const QString&) override { say(text); }
    bool question(const QString& text, const QString&) override {
        say(text + QStringLiteral(" (answered No: there is no window to ask in)"));
        return false;
    }
    int told = 0;

private:
    void say(const QString& text) {
        ++told;
        QTextStream(stderr) << "zel-purchasing: " << text << "\n";
    }
};

} // namespace

std::optional<QString> printRefusal(Schedule schedule, const PrintInputs& in) {
    if (schedule == Schedule::PurchaseOrder) {
        if (Val(in.accountNo) == 0)
            return QStringLiteral("Please click the Start button");
        if (in.custRef.isEmpty())
            return QStringLiteral("Please select a Suppliers Reference");
    } else if (Val(in.accountNo) == 0 || in.custRef.isEmpty()) {
        return QStringLiteral("Please select a Suppliers Reference");
    }
    return std::nullopt;
}

int printWithoutWindow(Schedule schedule, qint64 orderKey, const QString& pdfPath) {
    auto said = std::make_shared<StderrMessages>();
    setMessageService(said);
    QTextStream err(stderr);
    try {
        auto in = inputsFromDatabase(schedule, orderKey);
        if (!in) {
            err << "zel-purchasing: there is no order " << orderKey << "\n";
            return 3;
        }
        if (auto refusal = printRefusal(schedule, *in)) {
            err << "zel-purchasing: order " << orderKey << " cannot be printed: " << *refusal
                << (Val(in->accountNo) == 0 ? " (it has no Account No)"
                                            : " (it has no Customer Ref)")
                << "\n";
            return 5;
        }
        auto doc = prepare(schedule, *in);
        if (!doc) {
            err << "zel-purchasing: order " << orderKey << " has no lines to print\n";
            return 4;
        }
        if (said->told > 0) {
            err << "zel-purchasing: order " << orderKey << " was not printed\n";
            return 5;
        }
        report::writePdf(*doc, pdfPath);
        return 0;
    } catch (const DbError& e) {
        err << "zel-purchasing: " << e.userMessage() << "\n";
    } catch (const RowSetFileError& e) {
        err << "zel-purchasing: " << e.message() << "\n";
    } catch (const std::exception& e) {
        err << "zel-purchasing: " << e.what() << "\n";
    }
    return 1;
}

} // namespace zel::reports
