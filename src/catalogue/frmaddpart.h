#pragma once
// The product entry window ("Products Edit Entry"): adds a product to the
// catalogue, or overwrites the product that already has the code typed.
#include "bound/datacombo.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace zel {

class frmAddPart : public QWidget {
    Q_OBJECT
public:
    explicit frmAddPart(QWidget* parent = nullptr);

    void Form_Load();
    void IntForm();
    void cmbLoadData();
    // Writes the product; false when there is no product number. A value
    // that does not convert is refused (ConversionError) before anything is
    // written.
    bool SaveData();
    void Command1_Click(); // Save
    void Command2_Click(); // Close

    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6;
    QLineEdit *ProductName, *UnitPrice;
    QPlainTextEdit *EnglishName, *QuoteDescName;
    QCheckBox* QuoteDesc;
    DataCombo* groupId;
    QPushButton* Command1; // Save
    QPushButton* Command2; // Close
};

} // namespace zel
