#pragma once
// The goods inward window: deliveries are booked in against the lines of an
// existing purchase order. It shows the order's header and totals and its
// lines in a grid, where the quantity and date booked in are typed and
// written to the line at once. It saves the header, stamps a status on every
// line, deletes an order and hands a line's part code to the practice's
// stock control program.
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

namespace zel {

class frmGoodsIn : public HubWindow, public OrderHub, public SupplierBlock, public TotalsBlock {
    Q_OBJECT
public:
    explicit frmGoodsIn(QWidget* parent = nullptr);

    // How a save ended.
    using SaveResult = orderform::SaveResult;

    // Windows opened from here that come from other parts of the program;
    // each stays inert until the program wires it.
    struct Openers {
        // The goods order finder.
        std::function<void(OrderHub&)> orderFinder;
        // Exports and shows the goods-in schedule.
        std::function<void(OrderHub&)> print;
    };
    static Openers& openers();

    // Grid columns, as the lines statement returns them.
    enum Column {
        colID = 0,
        colOrderID,
        colProductID,
        colPartId,
        colDescription,
        colUnitPrice,
        colQuantity,
        colQtyBI,
        colDateBI,
        colDiscount,
        colExtendedPrice,
        colPartsStatus,
        colNotes,
        colLoc,
        colQtyOS,
        colGoodsDel,
        colGoodsDelNotes,
        colDueDate
    };

    // OrderHub
    QWidget* hubWidget() override { return this; }
    DataCombo* custRef() override { return CustRef; }
    void CustRef_Click(int area) override;
    void Disp_DataList() override;
    void Disp_MainData() override;

    void Form_Load();
    void InitForm(bool all);
    void cmbLoadList();
    void cmbLoadList1();
    void cmbLoadList2();

    Money getSubTotal();
    void ReCalc();

    // Header save; the last failure is kept for the caller to show.
    SaveResult SaveMainData();
    QString lastSaveError() const { return lastSaveError_; }
    void Status_Click(int area);

    // The grid's handlers.
    void DataGrid1_AfterColEdit(int column);
    void DataGrid1_DblClick();

    void Command3_Click();  // Save
    void Command4_Click();  // Delete
    void Command5_Click();  // Print
    void Command6_Click();  // EXIT
    void Command10_Click(); // Find

    // The current order's key: the numeric value of CustRef's bound value.
    qint64 orderKey() const;

    // Controls, named as the window has always named them.
    // (The supplier block and the totals come with SupplierBlock and TotalsBlock.)
    QLabel *Label6, *Label7, *Label9, *Label10, *Label11, *Label12;
    QLineEdit *SalesRep, *QuotedDate;
    QLabel* lblFullName;
    DataCombo *CustRef, *Status;
    DataGrid* DataGrid1;
    QPushButton* Command10; // Find
    QPushButton* Command4;  // Delete
    QPushButton* Command3;  // Save
    QPushButton* Command5;  // Print
    QPushButton* Command6;  // EXIT
    QGroupBox *Frame2, *Frame3;

private:
    void buildUi();
    // Header fields in the order they are saved: the goods inward subset.
    QList<orders::HeaderField> headerFields() const;
    std::optional<QVariantMap> newLineDefaults();
    // A line as the delete question names it: part code and description.
    QString describeLine(int row) const;
    // The question before booking in more than was ordered, "" when none.
    QString overBookingQuestion(int row, int column, const QVariant& booked) const;
    void open(const std::function<void(OrderHub&)>& opener);
    // The window's title names the order on screen.
    void showWhichOrder();

    QString lastSaveError_;
    // The row of the last cell the grid wrote.
    int lastEditRow_ = -1;
};

} // namespace zel
