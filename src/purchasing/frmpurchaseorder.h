#pragma once
// The purchase order window: the hub of purchase order entry. It shows one
// order at a time: the header, the lines in a grid with their totals, and the
// buttons and menu that open the pickers and editors.
#include "app/hubwindow.h"
#include "bound/datacombo.h"
#include "bound/datagrid.h"
#include "bound/orderhub.h"
#include "orderform/orderactions.h"
#include "orderform/orderblocks.h"
#include "schema/orders.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

class QAction;
class QMenu;

namespace zel {

class frmPurchaseOrder : public HubWindow,
                         public OrderHub,
                         public SupplierBlock,
                         public TotalsBlock {
    Q_OBJECT
public:
    explicit frmPurchaseOrder(QWidget* parent = nullptr);

    // How a save ended.
    using SaveResult = orderform::SaveResult;

    // Windows opened from here that come from other parts of the program;
    // each stays inert until the program wires it.
    struct Openers {
        std::function<void(OrderHub&)> supplierPicker, shipToPicker, invoiceToPicker,
            purchaserPicker, orderFinder, poInstructions, editSuppliers, editPurchasers,
            editStatuses;
        // The part finder for a product code (empty or known) and the prompt for an unknown one.
        std::function<void(OrderHub&, const QString&code)> partFinder, partNotFound;
        // Exports and shows the printed order.
        std::function<void(OrderHub&)> print;
    };
    static Openers& openers();

    // OrderHub
    QWidget* hubWidget() override { return this; }
    DataCombo* custRef() override { return CustRef; }
    void CustRef_Click(int area) override;
    void Disp_DataList() override;
    void Disp_MainData() override;

    void Form_Load();
    void InitForm(bool clearRef);
    void cmbLoadList();
    void cmbLoadList1();
    void cmbLoadList2();

    // Header (load, save, approval)
    SaveResult SaveMainData();
    qint64 getid();
    void Status_Click(int area);
    // Posts the approval of order `key` to the ledger (within the approval's transaction).
    void UpdateTransaction(qint64 key);
    // The last failure of SaveMainData, for its caller to show.
    QString lastSaveError() const { return lastSaveError_; }

    // Lines and totals
    bool SaveRow();
    bool isPartFound(const QString& code);
    Money getSubTotal();
    void ReCalc();
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
    void QuotedDate_DblClick();
    void SalesRep_Click();
    void ShippedTo_DblClick();

    // The current order's key: the numeric value of CustRef's bound value.
    qint64 orderKey() const;
    // True when a header box differs from what was last loaded or saved.
    bool headerChanged() const;

    // Controls, named as the window has always named them.
    // (The supplier block and the totals come with SupplierBlock and TotalsBlock.)
    QLabel *Label6, *Label7, *Label8, *Label9, *Label10, *Label11, *Label12, *Label22;
    QLineEdit *SalesRep, *ShippedTo, *txtShipto_ID, *InvoiceTo, *QuotedDate;
    QLabel* lblFullName;
    DataCombo *CustRef, *Status;
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
    QGroupBox *Frame2, *Frame3, *Frame5;
    QMenu* mnUtils;
    QAction *mnPOInstr, *mnAddress, *mnStaff, *mnStatus;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void Discount_Change();
    void VAT_Change();
    void PackagePrice_Change();
    // Header fields in the order they are saved.
    QList<orders::HeaderField> headerFields() const;
    std::optional<QVariantMap> newLineDefaults();
    void open(const std::function<void(OrderHub&)>& opener);
    // Reads the reference and status lists when they have not been read yet
    // (the window opened while the database could not be reached).
    void ensureLists();
    // The lines of the order on screen, keeping the current cell where it can.
    void loadLines(bool keepCell = false);
    // The window's title names the order on screen.
    void showWhichOrder();
    // The header boxes as last loaded or saved, for headerChanged().
    QStringList headerTexts() const;
    void rememberHeader();
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

    bool loading_ = false;
    bool listsLoaded_ = false;
    bool leaving_ = false;
    int lastEditRow_ = -1;
    QStringList savedHeader_;
    QString lastSaveError_;
    // What the approval being saved posted to the ledger.
    std::optional<Money> posted_;
};

} // namespace zel
