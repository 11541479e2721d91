#pragma once
// The order finder: lists orders by a single date, a month, a date range, a
// product group or chosen dentists, totals their grand totals, prints the
// list, and opens a listed order in the hub window that called it. The
// purchase order window's is "Find Record" (frmFindRecord), the goods inward
// window's "PO Finder" (frmFindGoodsRecord).
#include "bound/datagrid.h"
#include "bound/datalist.h"
#include "bound/orderhub.h"
#include "connection/database.h"
#include "data/ordersearch.h"
#include "values/money.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QWidget>
#include <array>
#include <functional>

namespace zel {

class frmFindRecord : public QWidget {
    Q_OBJECT
public:
    enum class Caller { PurchaseOrder, GoodsIn };
    // `db` is the connection the finder reads through (the run's own unless
    // told otherwise).
    explicit frmFindRecord(OrderHub& hub, Caller caller = Caller::PurchaseOrder,
                           Database& db = gConn(), QWidget* parent = nullptr);

    void Form_Load();
    void InitForm();
    void TurnOff();
    void TurnOn();
    void FindOptions_Click(int index);
    void Command1_Click(); // Start
    void Command2_Click(); // Print
    void Command3_Click(); // Exit
    // Saves the list as a spreadsheet file where the user chooses.
    void cmdSaveCsv_Click();
    // Writes the list as shown (its shown columns with their headings, no
    // total) to `path`; says where it went, or why it could not be saved.
    // False when nothing was saved.
    bool saveListAs(const QString& path);
    // Asks where to save the list, proposing `proposed`; "" when the user
    // cancels. A save-file dialog unless replaced (tests answer it themselves).
    std::function<QString(const QString& proposed)> askSavePath;
    void cmbLoadListDetails();
    Money CalMainTotal() const;
    void cmbLoadRep();
    void cmbLoadRepBin();
    void AddDetailsToBin();
    void ButtonSingle_Click();
    void RepsBin_Click();
    void ListDetails_DblClick();

    // The statement of the last search and its values.
    using Search = ordersearch::Search;
    const Search& searchSQL() const { return search_; }
    // The way of searching chosen (its option's number).
    int mode() const { return TempVal->text().toInt(); }

    QLabel *Label1, *Label2, *Label3, *DescLabel, *LabelAnd, *Label5, *Label6;
    std::array<QRadioButton*, 6> FindOptions{}; // 1..5 are the modes
    QLineEdit *SingleDate, *SingleMonth, *Yearfield, *FirstDate, *SecondDate, *ProductGroup,
        *MainTotal;
    QLineEdit *TempVal, *theFlg, *RepNumber, *ButtonUndo;
    DataList *RepsHeld, *RepsBin;
    QPushButton* ButtonSingle; // >
    QPushButton* Command1;     // Start
    QPushButton* Command2;     // Print
    QPushButton* Command3;     // Exit
    QPushButton* cmdSaveCsv;   // Save as CSV...
    DataGrid* ListDetails;

private:
    // The statement for the current mode from the boxes; nothing (with the
    // reason told) when a criterion cannot be read.
    std::optional<Search> buildSearch();
    // The dentist search over the dentists this window chose.
    std::optional<Search> dentistSearch();
    // The total of the list, or nothing when the list is empty.
    void showTotal();
    // Puts the list in the order of a column (its heading was clicked); the
    // order on screen is the order of the rows, so a pick stays the pick.
    void sortList(int column, Qt::SortOrder order);
    // The column the list is sorted by ("" when in the search's own order).
    QString sortColumn_;
    // Shows the totals column in the currency form.
    QStyledItemDelegate* currency_ = nullptr;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    OrderHub& hub_;
    Caller caller_;
    Database& db_;
    Search search_;
    // The dentists chosen for the dentist search (`Rep Code`, `Rep Name`),
    // held by this window so that no other window or workstation changes them.
    RowSet chosen_;
};

} // namespace zel
