#pragma once
// Printing an order: its lines exported to the workstation's export file,
// numbered, and read back into the purchase order or the goods-in schedule,
// with the address blocks and totals of the window (or of the stored order
// when printing without a window).
#include "bound/orderhub.h"
#include "bound/report.h"

#include <QString>
#include <optional>

namespace zel::reports {

enum class Schedule { PurchaseOrder, GoodsIn };

// What a printout takes from its window: the boxes and labels as shown.
struct PrintInputs {
    qint64 orderKey = 0;
    QString custRef, accountNo, customerName, street, street2, town, postcode;
    QString invoiceTo, shipToId, quotedDate, fullName;
    QString vat, packagePrice, subTotal, finalTotal, calcPkg;
    bool packageMode = false;
};

// From the hub's controls.
PrintInputs inputsFromHub(OrderHub& hub);
// From the stored order, as its window would show it after loading it.
// Throws DbError; nothing when there is no such order.
std::optional<PrintInputs> inputsFromDatabase(Schedule schedule, qint64 orderKey);

// Address blocks: one line per field with a value, each ended by CR LF. A
// window box without text, or a NULL column, leaves no line; an empty
// string stored in a column leaves an empty line.
QString addressBlock(const QList<QVariant>& fields);
// The supplier block from the window's boxes ("Please select a supplier" and
// nothing when there is no account number).
QString rtnCustomerAddress(const PrintInputs& in);
// The block of the `Employee Data` row with that `Payroll ID`.
QString rtnEmployeeIdAddress(qint64 payrollId);
// The block of the `Employee Data` row with that `Employee ID` (the invoice-to row).
QString rtnInvoiceToAddress(qint64 employeeId);
// The block of the first practice row, the head office.
QString rtnHeadOfficeAddress();
// The instruction text printed on every purchase order.
QString rtnPOInstruction();

// The export file of the schedule in the workstation folder.
QString exportPath(Schedule schedule);
// Exports the order's lines; false (and no file) when it has none. Throws
// RowSetFileError when the file cannot be written, DbError on the database.
bool ExportOrderDetails(Schedule schedule, qint64 orderKey);
// Numbers the exported lines 1, 2, 3 ... in file order and saves the file again.
void AmendExportOrderDetails(Schedule schedule);
// Reads the export file and lays the report out with the window's values.
report::Document PrintData(Schedule schedule, const PrintInputs& in,
                           QDate today = QDate::currentDate());

// The whole print: delete the old file, export, renumber, lay out. Nothing
// when the order has no lines. Throws RowSetFileError / DbError.
std::optional<report::Document> prepare(Schedule schedule, const PrintInputs& in);

// The print command of a hub: prepares and shows the preview (a purchase
// order's with its Email tool); a file that cannot be written is told, never
// replaced by the previous order's.
void printFromHub(OrderHub& hub, Schedule schedule);

// The message the print command gives instead of printing (no Account No,
// no Customer Ref), or nothing when the order can be printed.
std::optional<QString> printRefusal(Schedule schedule, const PrintInputs& in);

// Printing without a window: writes the PDF of the stored order. Returns the
// exit code (0 printed, 3 no such order, 4 no lines, 5 refused as the print
// command would refuse it, 1 other failures); says why on standard error.
// Never waits on a message box: every message goes to standard error.
int printWithoutWindow(Schedule schedule, qint64 orderKey, const QString& pdfPath);

} // namespace zel::reports
