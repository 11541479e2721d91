#pragma once
// The purchase order window: the hub of purchase order entry. It shows one
// order at a time: the header, the lines in a grid with their totals, and the
// buttons and menu that open the pickers and editors.
#include "orderform/orderwindow.h"
#include "purchasing/lineprices.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace zel {

class frmPurchaseOrder : public OrderWindow {
    Q_OBJECT
public:
    explicit frmPurchaseOrder(QWidget* parent = nullptr);

    // Grid columns, as the lines statement returns them.
    using enum orders::poline::Column;

    // Windows opened from here that come from other parts of the program;
    // each stays inert until the program wires it.
    struct Openers {
        std::function<void(OrderHub&)> supplierPicker, shipToPicker, invoiceToPicker,
            purchaserPicker, orderFinder, poInstructions, editSuppliers, editPurchasers,
            editStatuses, deliveries; // deliveries: the outstanding deliveries list
        // The part finder for a product code (empty or known) and the prompt for an unknown one.
        std::function<void(OrderHub&, const QString&code)> partFinder, partNotFound;
        // Exports and shows the printed order; puts it in a new message to the supplier.
        std::function<void(OrderHub&)> print, email;
    };
    static Openers& openers();

    // OrderHub
    void Disp_DataList() override;
    void Disp_MainData() override;

    void InitForm(bool clearRef) override;

    // Header (load, save, approval)
    SaveResult SaveMainData();
    qint64 getid();
    void Status_Click(int area) override;

    // Lines and totals
    bool SaveRow();
    bool isPartFound(const QString& code);
    void PopulatefrmOrderDetails(class frmOrderDetails& dialog);
    // The grid's handlers.
    void DataGrid1_AfterColEdit(int column);
    void DataGrid1_DblClick();

    // Buttons and menu
    void Command1_Click(); // Start: the supplier picker
    void Command2_Click(); // Inv: the invoice-to picker
    void Command3_Click(); // Previuos: the last order
    void Command4_Click(); // New PO
    void Command5_Click(); // Print
    void Command6_Click(); // EXIT
    void Command7_Click(); // Find
    void Command8_Click(); // Save
    void Command9_Click(); // Delete
    void cmdEmail_Click(); // Email...
    void QuotedDate_DblClick();
    void SalesRep_Click();
    void ShippedTo_DblClick();

    // True when a header box differs from what was last loaded or saved.
    bool headerChanged() const;
    bool hasUnsavedChanges() override { return headerChanged(); }
    // The last prices paid beside the lines.
    LinePrices& linePrices() { return *linePrices_; }

    // Controls, named as the window has always named them.
    // (The reference selector, purchaser and date, supplier block and totals
    // come with OrderWindow.)
    QLabel *Label7, *Label8, *Label22;
    QLineEdit *ShippedTo, *txtShipto_ID, *InvoiceTo;
    DataGrid* DataGrid1;
    QPushButton* Command1; // Start
    QPushButton* Command2; // Inv
    QPushButton* Command3; // Previuos
    QPushButton* Command4; // New PO
    QPushButton* Command5; // Print
    QPushButton* Command6; // EXIT
    QPushButton* Command7; // Find
    QPushButton* Command8; // Save
    QPushButton* Command9; // Delete
    QPushButton* cmdEmail; // Email...: the printed order in a new message to the supplier
    QGroupBox *Frame2, *Frame5;
    QMenu* mnUtils;
    QAction *mnPOInstr, *mnAddress, *mnStaff, *mnStatus;
    QAction* mnDeliveries; // Utils: "Outstanding Deliveries..."

protected:
    void showLines() override { loadLines(); }
    void beforeAction() override { ensureLists(); }
    void rememberHeader() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The controls, their layout, menus and handlers (purchaseorderlayout.cpp).
    void buildUi();
    void buildAddresses(QWidget* central);
    void buildLines(QWidget* central);
    void buildButtons(QWidget* central);
    void buildMenu();
    void connectHandlers();
    void nameAndOrderControls();
    void Discount_Change();
    void VAT_Change();
    void PackagePrice_Change();
    // Header fields in the order they are saved.
    QList<orders::HeaderField> headerFields() const;
    std::optional<QVariantMap> newLineDefaults();
    // The lines of the order on screen, keeping the current cell where it can.
    void loadLines(bool keepCell = false);
    // The header boxes as last loaded or saved, for headerChanged().
    QStringList headerTexts() const;
    // After a failed write: the order as stored, so nothing unwritten stays on screen.
    void showStored();
    // After a refused status change: the status as stored.
    void showStoredStatus();
    // Package mode needs a package price, and out of it text left in the
    // package price box must still be an amount; false (told) when not.
    bool packageReady();
    // After a save out of package mode: an amount left in the package price
    // box was not stored; says so and empties the box.
    void tellPackagePriceNotKept();
    // EXIT and closing the window: offers to save unsaved header edits;
    // false when the user stays.
    bool confirmLeave();

    std::unique_ptr<LinePrices> linePrices_;
    bool loading_ = false;
    bool leaving_ = false;
    QStringList savedHeader_;
};

} // namespace zel
