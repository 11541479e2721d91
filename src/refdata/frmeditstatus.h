#pragma once
// The order status editor: statuses listed by description, added, changed and
// deleted by their letter. Status "A" (approved) cannot be deleted, nor any
// status that orders carry. Letters are matched exactly, letter case and
// blanks included, and a new letter that differs from a stored one only by
// case or blanks is refused.
#include "bound/datacombo.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace zel {

class frmEditStatus : public QWidget {
    Q_OBJECT
public:
    explicit frmEditStatus(QWidget* parent = nullptr);

    void Form_Load();
    void InitForm();
    void cmbLoadData();
    void cmbStatus_Click(int area);
    void Command1_Click(); // New
    void Command2_Click(); // Delete
    void Command3_Click(); // Save
    void Command4_Click(); // Exit
    // Adds or updates the status whose letter is typed; true when saved.
    bool SaveData();

    QLabel* Label1; // heading
    QLabel* Label2; // the warning about status "A"
    QLabel *Label3, *Label4, *Label5;
    DataCombo* cmbStatus;
    QLineEdit *StatusLetter, *StatusDescription;
    QGroupBox* Frame1;
    QPushButton* Command1; // New
    QPushButton* Command2; // Delete
    QPushButton* Command3; // Save
    QPushButton* Command4; // Exit
};

} // namespace zel
