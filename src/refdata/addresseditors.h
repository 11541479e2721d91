#pragma once
// The supplier and purchaser editors: rows of `Employee Data` picked by name,
// edited, created under a freshly allocated account number (`Payroll ID`),
// saved and deleted. The two are one design for a different `Type`.
#include "bound/datacombo.h"
#include "connection/database.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace zel {

namespace refdata {

// Hands out the next account number from the counter 'PatNo' of
// `tblGlobalSysConfig` and leaves the counter one above it. The read and the
// advance are one locking transaction, so workstations allocating at the same
// moment never get the same number; a number some row already carries is
// passed over. Returns 0 when there is no counter to allocate from.
qint64 allocateAccountNumber(Database& db);

// Writes the row of account number `n` as a row of kind `type` with the given
// column values: updated when a row of that kind carries the number, else
// inserted, in one transaction that holds the allocation counter's lock, so
// saves and allocations on several workstations never deadlock and two rows
// never share a number. Returns, in words, the kind of row the number already
// belongs to when that is another kind ("a dentist"); nothing is written then.
QString saveAccountRow(Database& db, qint64 n, const QString& type,
                       const QList<QPair<QString, QVariant>>& values);

} // namespace refdata

class AddressEditor : public QWidget {
    Q_OBJECT
public:
    void Form_Load();
    // Empties the eleven boxes, and the list's edit text when `withList`.
    void InitForm(bool withList);
    void cmbLoadData();
    void comboShort_Click(int area);
    void Command1_Click(); // New
    void Command2_Click(); // Delete
    void Command3_Click(); // Save
    void Command4_Click(); // Exit
    // A new account number, or 0 when none can be handed out.
    qint64 GetPatNo();
    // Writes the row shown; true when it was saved. Refusals and failures are
    // told and leave the boxes as typed.
    bool SaveData();

    QLabel* Label1; // heading
    QLabel* Label2; // label of the list
    DataCombo* comboShort;
    QLabel *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10, *Label11,
        *Label12, *Label13;
    QLineEdit *CustomerShortname, *AccountNo, *CustomerName, *Street, *Street2, *Town,
        *County_Postcode, *postcode2, *BusinessNo, *EMail, *WebSite;
    QGroupBox* Frame1;
    QPushButton* Command1; // New
    QPushButton* Command2; // Delete
    QPushButton* Command3; // Save
    QPushButton* Command4; // Exit

protected:
    struct Design {
        const char* name;
        QString caption;
        QString heading;
        QString listLabel;
        QString type;           // the rows listed, and the `Type` written
        QString businessColumn; // the column behind the box BusinessNo
    };
    AddressEditor(Design design, QWidget* parent);

private:
    // The boxes in the order they are written, with their columns and fields.
    struct Field {
        QLineEdit* box;
        QString column;
        QString label;
    };
    QList<Field> fields() const;
    void showRow(const RowSet& rs);
    // The SQL expression a row is listed by: its name, else its short name.
    static QString listName();
    // How many orders name the row with that account number.
    qint64 ordersReferringTo(qint64 accountNo);

    Design design_;
};

class frmEditAddress : public AddressEditor {
    Q_OBJECT
public:
    explicit frmEditAddress(QWidget* parent = nullptr);
};

class frmEditPurchaser : public AddressEditor {
    Q_OBJECT
public:
    explicit frmEditPurchaser(QWidget* parent = nullptr);
};

} // namespace zel
