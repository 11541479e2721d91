#pragma once
// The parts both order windows show alike: the supplier block and the
// totals beside the lines. A window inherits them, so their controls are its
// own members under the names the windows have always used.
#include "connection/database.h"
#include "values/money.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

namespace zel {

struct SupplierBlock {
    QGroupBox* Frame1 = nullptr;
    QLabel *Label1 = nullptr, *Label2 = nullptr, *Label3 = nullptr, *Label4 = nullptr,
           *Label5 = nullptr;
    QLineEdit *CustomerShortname = nullptr, *CustomerName = nullptr, *Street = nullptr,
              *Street2 = nullptr, *Town = nullptr, *Postcode = nullptr, *AccountNo = nullptr,
              *Title = nullptr, *Initial = nullptr, *ContactName = nullptr,
              *Position_Department = nullptr, *Telephone = nullptr, *txtCustID = nullptr;
    // The block's heading row, where a window may add a button.
    QHBoxLayout* supplierHeading = nullptr;

    void buildSupplierBlock(QWidget* parent);
    // Empties the contact boxes (account, title, initial, name, position, telephone).
    void clearContact();
    // Shows the supplier columns of an order's header row; a NULL column
    // leaves its box as it was.
    void showSupplier(const RowSet& header);
};

// Shows one column of an order's header row in a box, as the program shows
// that column's kind; a NULL leaves the box as it was.
void showHeaderColumn(QLineEdit* box, const RowSet& header, const QString& column);

struct TotalsBlock {
    QGroupBox* Frame4 = nullptr;
    QLabel *Label13 = nullptr, *Label14 = nullptr, *Label15 = nullptr, *Label16 = nullptr,
           *Label17 = nullptr, *Label18 = nullptr, *Label19 = nullptr, *Label20 = nullptr,
           *Label21 = nullptr;
    QLineEdit *Discount = nullptr, *VAT = nullptr, *ValVal = nullptr, *PackagePrice = nullptr;
    QLabel *lblSubTotal = nullptr, *lblDiscountValue = nullptr, *lblFinalTotal = nullptr,
           *lblCalcPkg = nullptr;
    QCheckBox* ckPPrice = nullptr;

    void buildTotalsBlock(QWidget* parent);
    // Every total from the order's sub-total and the discount, VAT and package
    // price boxes, in the workstation's currency (the package total with 2 decimals).
    void showTotals(Money subTotal);
    // Shows either the sub-total controls or the package controls, as ckPPrice says.
    void PackagePriceFlg();
};

} // namespace zel
