#pragma once
// The prompt for a product code the catalogue does not hold ("Part Not
// Found"): search the catalogue, keep the code as a one-off, add it to the
// catalogue, or cancel.
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

namespace zel {

class OrderHub;

class frmNotFoundPart : public QWidget {
    Q_OBJECT
public:
    // `code` is the code typed in the order line that asked.
    frmNotFoundPart(OrderHub& hub, const QString& code, QWidget* parent = nullptr);
    // The prompt asked again for another line's code.
    void setCode(const QString& code) { code_ = code; }
    QString code() const { return code_; }

    void Command1_Click(); // SEARCH: the part finder
    void Command2_Click(); // ONE: the code stays on the line as a one-off
    void Command3_Click(); // ADD: the product entry, with the code filled in
    void Command4_Click(); // CANCEL

    QPlainTextEdit* Text1;
    QGroupBox* Frame1;
    QPushButton* Command1; // SEARCH
    QPushButton* Command2; // ONE
    QPushButton* Command3; // ADD
    QPushButton* Command4; // CANCEL

private:
    OrderHub& hub_;
    QString code_;
};

} // namespace zel
