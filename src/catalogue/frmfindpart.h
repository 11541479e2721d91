#pragma once
// The part finder ("Find Part"): picks one catalogue product by its code or
// by its supplier's description, shows its catalogue entry for correction,
// and on "OK" writes the corrections back and adds the product as a line of
// the order shown in the hub.
#include "bound/datacombo.h"
#include "connection/database.h"
#include "data/priceshistory.h"
#include "values/money.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>
#include <optional>

namespace zel {

class OrderHub;

class frmFindPart : public QWidget {
    Q_OBJECT
public:
    explicit frmFindPart(OrderHub& hub, QWidget* parent = nullptr);

    void Form_Load();
    void InitForm();
    void cmbLoadData();
    void cmbLoadData1();
    void cmbLoadData2();

    // Look-ups; each acts on a pick from the list (area 2) only.
    void ThePart_Click(int Area);
    void theDesc_Click(int Area);
    // Copies the chosen description (1 the supplier's, 2 the practice's) into PartDesc.
    void DescOptionGrp_Click(int Index);
    // OK: saves the corrections, adds the line, reloads the hub's lines and
    // totals (its header keeps what it shows) and closes; with no part
    // chosen it only closes.
    void Command2_Click();
    // Writes to the product chosen the descriptions and price the user
    // changed since it was shown; untouched and empty boxes leave their
    // columns as they are.
    void SaveChanges();
    // Adds the chosen product as a line of the hub's order; false when
    // nothing was added (no product chosen, or it is already on the order).
    bool UpdateEntry();

    // Fills the window for a product code, as the order lines ask for it.
    void showPart(const QString& code);
    // Reads the last prices paid for the chosen product to the order's
    // supplier and shows them; the unit price is marked when it is more than
    // 10 % above the last one.
    void showLastPrices();

    QLabel *Label7, *Label8; // "P" and "D"
    DataCombo *ThePart, *theDesc;
    QGroupBox* Frame2;
    QPushButton* Command1; // "Description": the frame's heading, no action
    QButtonGroup* DescOptionGrp;
    QRadioButton *DescOptionGrp1, *DescOptionGrp2; // supplier's, practice's description
    QPlainTextEdit* PartDesc;
    QGroupBox* Frame1;
    QLabel *Label2, *Label3, *Label4, *Label5, *Label6;
    QLineEdit *ProductName, *EnglishName, *QuoteDescName, *UnitPrice;
    QLabel* lblProductId;
    QPushButton* Command2;         // OK
    QLabel *Label9, *lblPriceMark; // "Last prices paid:", the mark of a price above them
    QPlainTextEdit* txtLastPrices;
    // Kept from the catalogue entry; nothing reads them back.
    QLineEdit* txtGroupId;
    QRadioButton* Button18;
    QLineEdit* Text40;

private:
    void buildUi();
    void buildDescriptionFrame();
    void buildEntryFrame();
    // Empties every box of the catalogue entry.
    void clearEntry();
    // Shows the first product whose `column` equals `value`; nothing found
    // leaves the window as it was.
    void lookUp(const QString& column, const QString& value, bool withGroup);
    qint64 orderNo() const;
    void showPriceMark();

    OrderHub& hub_;
    // The catalogue values as the look-up showed them, so that OK writes
    // back only what the user changed.
    struct Shown {
        QString englishName, quoteDescName;
        std::optional<Money> unitPrice;
    } shown_;
    QList<prices::Paid> paid_;
};

} // namespace zel
