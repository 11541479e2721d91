#pragma once
// The base of the two order windows (purchase order and goods inward): what
// both do with the order on screen, written once. It carries the reference
// selector (the supplier-reference list `CustRef` and the status list
// `Status`), the supplier block and the totals, loads the stored header,
// lists the references and statuses, deletes the order and hands it to the
// printout. A window adds its own lines grid, header boxes and buttons.
#include "app/guard.h"
#include "app/hubwindow.h"
#include "bound/datacombo.h"
#include "bound/datagrid.h"
#include "bound/orderhub.h"
#include "data/orders.h"
#include "orderform/orderactions.h"
#include "orderform/orderblocks.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <functional>

namespace zel {

class OrderWindow : public HubWindow, public OrderHub, public SupplierBlock, public TotalsBlock {
    Q_OBJECT
public:
    // How a save ended.
    using SaveResult = orderform::SaveResult;

    // OrderHub
    QWidget* hubWidget() override { return this; }
    DataCombo* custRef() override { return CustRef; }
    // A pick from the reference list shows that order: its lines, then its header.
    void CustRef_Click(int area) override;

    // Clears the window and, with a connection, lists the references and
    // statuses and shows the order selected (none).
    void Form_Load();
    // Empties the header boxes and totals; `clearRef` empties the reference too.
    virtual void InitForm(bool clearRef);
    // The references and the statuses.
    void cmbLoadList();
    void cmbLoadList1();
    void cmbLoadList2();

    // The order's sub-total from its stored lines, and every total from it.
    Money getSubTotal();
    void ReCalc();

    // The current order's key: the numeric value of CustRef's bound value.
    qint64 orderKey() const;
    // The last failure of a header save, for its caller to show.
    QString lastSaveError() const { return lastSaveError_; }

    // Controls both windows have, named as they have always been named.
    QGroupBox* Frame3; // the reference selector
    QLabel *Label11, *Label12;
    DataCombo *CustRef, *Status;
    // The purchaser and the date entered.
    QLabel *Label6, *Label9, *Label10;
    QLineEdit *SalesRep, *QuotedDate;
    QLabel* lblFullName;

protected:
    // `title` is the window's caption; the order on screen is named after it.
    OrderWindow(const QString& title, QWidget* parent);

    // Builds the reference selector (Frame3) with the reference and status
    // rows and wires their handlers; returns its grid for rows a window adds.
    QGridLayout* buildReferenceSelector(QWidget* parent);
    // Makes the purchaser and date controls on `parent`, for the window to place.
    void buildPurchaserAndDate(QWidget* parent);
    // The status list's pick.
    virtual void Status_Click(int area) = 0;
    // Shows the lines of the order on screen.
    virtual void showLines() = 0;
    // What runs before a handler of the reference selector (default nothing).
    virtual void beforeAction() {}
    // After the window was cleared on load: what a window remembers of the empty header.
    virtual void rememberHeader() {}

    // Reads the header of the order on screen and shows the columns both
    // windows show (supplier, purchaser, date, reference, status, package
    // price); returns the row, empty when no order is stored. With none,
    // package mode is off.
    RowSet showStoredHeader();
    // Package mode follows the order shown: on when it has a package price.
    void showPackageMode();

    // Header fields both windows save, in the order they are saved.
    QList<orders::HeaderField> supplierFields() const;
    QList<orders::HeaderField> purchaserFields() const;
    QList<orders::HeaderField> contactFields() const;

    // The Delete button: asks, deletes the order with its lines, and shows none.
    void deleteShownOrder();
    // The Print button: needs the supplier's account and a reference
    // (`noAccount` says what to do without an account), then hands the order
    // on screen to `print`.
    void printShown(const std::function<void(OrderHub&)>& print, const QString& noAccount);
    // The Email button: the order on screen must be stored and saved as
    // shown (`unsaved` when it is not); then it goes as Print would print it
    // (`noAccount` as for Print) to `email`.
    void emailShown(const std::function<void(OrderHub&)>& email, bool unsaved,
                    const QString& noAccount);
    // Runs a dialog opener behind the guard, when the program wired it.
    void open(const std::function<void(OrderHub&)>& opener);
    // Reads the reference and status lists when they have not been read yet
    // (the window opened while the database could not be reached).
    void ensureLists();
    // The window's title names the order on screen.
    void showWhichOrder();

    // Each (control, handler) pair: `signal` of the control runs the
    // window's handler behind the guard, after reading the lists the window
    // could not read when it opened when `readLists` is set.
    template <class Window, class Sender, class Signal>
    void handleEach(Signal signal,
                    std::initializer_list<std::pair<Sender*, void (Window::*)()>> pairs,
                    bool readLists) {
        for (auto [sender, handler] : pairs)
            connect(sender, signal, this, [this, handler, readLists] {
                guarded([&] {
                    if (readLists)
                        ensureLists();
                    (static_cast<Window*>(this)->*handler)();
                });
            });
    }

    QString lastSaveError_;
    // The row of the last cell the grid wrote.
    int lastEditRow_ = -1;

private:
    QString title_;
    bool listsLoaded_ = false;
};

} // namespace zel
