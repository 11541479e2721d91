#pragma once
// Purchaser selection: the practice's dentists listed by full name; picking
// one writes the dentist's code and name into the order window and closes
// the dialog in the same click. Closing by the frame changes nothing.
#include "bound/datacombo.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWidget>

namespace zel {

class OrderHub;

class frmSalesRep : public QWidget {
    Q_OBJECT
public:
    explicit frmSalesRep(OrderHub& hub, QWidget* parent = nullptr);

    void Form_Load();
    void InitForm();
    void cmbLoadData();
    void RepID_Click(int area);
    void Disp_Data();
    void UpdateSaleRep();

    QLabel* Label1; // heading
    DataCombo* RepID;
    QLabel *Label2, *Label3, *Label4, *Label5;
    QLineEdit *ID, *RepCode, *txtName, *CostCentre;

private:
    OrderHub* hub_;
    QPointer<QWidget> hubWidget_;
};

} // namespace zel
