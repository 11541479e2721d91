#pragma once
// The instruction text to suppliers printed on every purchase order: shown
// for editing and stored when the dialog is closed with its "Close" button.
// Closing by the frame discards the edits.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace zel {

class frmPOInstr : public QWidget {
    Q_OBJECT
public:
    explicit frmPOInstr(QWidget* parent = nullptr);

    void Form_Load();
    // Stores the text; true when stored. A refusal or failure is told and the
    // dialog keeps the text.
    bool SaveData();
    void Command1_Click(); // Close

    QLabel *Label1, *Label2, *Label3;
    QPlainTextEdit* Text1;
    QPushButton* Command1; // Close
};

} // namespace zel
