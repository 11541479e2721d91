#pragma once
// The order line details dialog ("More Info...."): one line of the order on
// screen with the fields the grid has no room for. "Close" writes the line
// back and has the hub reload its lines.
#include "data/priceshistory.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace zel {

class OrderHub;

class frmOrderDetails : public QWidget {
    Q_OBJECT
public:
    explicit frmOrderDetails(OrderHub& hub, QWidget* parent = nullptr);

    void InitForm();
    // Writes the dialog to its line; false (with the reason told) when refused.
    bool UpdateEntry();
    void Command1_Click(); // Close
    // Shows the last prices paid for the line's product and marks the unit
    // price when it is more than 10 % above the last one; the mark follows
    // the price as it is typed.
    void showLastPrices(const QList<prices::Paid>& paid, std::optional<Money> price);

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8;
    QLineEdit *txtPartId, *txtUnitPrice, *txtQty, *txtDiscount, *txtExtendedPrice, *txtDueDate,
        *txtID, *txtOrderID;
    QPlainTextEdit *txtDesc, *txtGoodaDelNotes;
    QCheckBox* GoodsDel;
    QPushButton* Command1;         // Close
    QLabel *Label9, *lblPriceMark; // "Last prices paid:", the mark of a price above them
    QPlainTextEdit* txtLastPrices;

private:
    void showPriceMark(std::optional<Money> price);
    OrderHub& hub_;
    QList<prices::Paid> paid_;
};

} // namespace zel
