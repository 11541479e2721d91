#pragma once
// The supplier, ship-to and invoice-to pickers: each lists rows of
// `Employee Data` in a drop-down, shows the address of the row picked, and on
// "Close" copies what it shows into the header of the order window that
// opened it. The three are one design with a different caption, list (its
// rows and key) and hand-over.
#include "bound/datacombo.h"
#include "data/people.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace zel {

class OrderHub;

class AddressPicker : public QWidget {
    Q_OBJECT
public:
    void Form_Load();
    void InitForm();
    void cmbLoadData();
    void cmbFindSupplier_Click(int area);
    // Shows the row picked in the list; every box is cleared first, so a NULL
    // column shows empty rather than the previous row's text.
    void Disp_Data();
    // "Close": hands the address over to the order window and closes.
    virtual void Command1_Click() = 0;

    // The key of the entry picked, as a number in plain decimal ("0" when none).
    QString selectedKeyNumber() const;

    DataCombo* cmbFindSupplier;
    QLineEdit *CustomerName, *Street, *Street2, *Town, *CustomerShortcode, *CUSTOMERID, *AccountNo,
        *postcode2, *Telephone;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9;
    QPushButton* Command1; // Close

protected:
    struct Design {
        const char* name;
        QString caption;
        QString nameLabel;
        people::AddressList list; // the rows listed, and the key each entry carries
    };
    AddressPicker(OrderHub& hub, Design design, QWidget* parent);

    // The order window, or nullptr when it has gone meanwhile.
    OrderHub* hub() const;

private:
    OrderHub* hub_;
    QPointer<QWidget> hubWidget_;
    Design design_;
};

class frmSupplierEntry : public AddressPicker {
    Q_OBJECT
public:
    explicit frmSupplierEntry(OrderHub& hub, QWidget* parent = nullptr);
    void Command1_Click() override;
};

class frmShipTo : public AddressPicker {
    Q_OBJECT
public:
    explicit frmShipTo(OrderHub& hub, QWidget* parent = nullptr);
    void Command1_Click() override;
};

class frmInvoiceTo : public AddressPicker {
    Q_OBJECT
public:
    // Opens on the row the order window's invoice-to box names.
    explicit frmInvoiceTo(OrderHub& hub, QWidget* parent = nullptr);
    // Loads the list, then selects and shows the order's current invoice-to row.
    void Form_Load();
    void Command1_Click() override;
};

} // namespace zel
