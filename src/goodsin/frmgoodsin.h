#pragma once
// The goods inward window: deliveries are booked in against the lines of an
// existing purchase order. It shows the order's header and totals and its
// lines in a grid, where the quantity and date booked in are typed and
// written to the line at once. It saves the header, stamps a status on every
// line, deletes an order and hands a line's part code to the practice's
// stock control program.
#include "orderform/orderwindow.h"

#include <QPushButton>

namespace zel {

class frmGoodsIn : public OrderWindow {
    Q_OBJECT
public:
    explicit frmGoodsIn(QWidget* parent = nullptr);

    // Windows opened from here that come from other parts of the program;
    // each stays inert until the program wires it.
    struct Openers {
        // The goods order finder.
        std::function<void(OrderHub&)> orderFinder;
        // Exports and shows the goods-in schedule.
        std::function<void(OrderHub&)> print;
        // The outstanding deliveries list.
        std::function<void(OrderHub&)> deliveries;
    };
    static Openers& openers();

    // Grid columns, as the lines statement returns them.
    using enum orders::goodsinline::Column;

    // OrderHub
    void Disp_DataList() override;
    void Disp_MainData() override;

    // Header save; the last failure is kept for the caller to show.
    SaveResult SaveMainData();
    void Status_Click(int area) override;

    // The grid's handlers.
    void DataGrid1_AfterColEdit(int column);
    void DataGrid1_DblClick();

    // Books in what is typed in the scan box (a part code, or a count, a
    // star and a part code: 3*IMP-100); the box is emptied once booked in.
    void txtScan_Enter();
    // Books `count` more of the line whose part code is `code` (ignoring case
    // and surrounding blanks) in, as typing the new quantity into the grid
    // would, with today's date when the line has none. Says why when it
    // cannot; true when booked in.
    bool BookIn(const QString& code, qint64 count);

    void Command3_Click();  // Save
    void Command4_Click();  // Delete
    void Command5_Click();  // Print
    void Command6_Click();  // EXIT
    void Command10_Click(); // Find
    void Command11_Click(); // Outstanding

    // Controls, named as the window has always named them. (The reference
    // selector, purchaser and date, supplier block and totals come with OrderWindow.)
    QLabel* Label7;
    DataGrid* DataGrid1;
    QPushButton* Command10; // Find
    QPushButton* Command4;  // Delete
    QPushButton* Command3;  // Save
    QPushButton* Command5;  // Print
    QPushButton* Command6;  // EXIT
    QPushButton* Command11; // Outstanding: the outstanding deliveries list
    QGroupBox* Frame2;
    QLabel* lblScan;
    QLineEdit* txtScan; // a scanner's part codes, or one typed

protected:
    void showLines() override { Disp_DataList(); }

private:
    void buildUi();
    void buildPurchaserFrame(QWidget* central);
    void buildLines(QWidget* central);
    void connectHandlers();
    // Header fields in the order they are saved: the goods inward subset.
    QList<orders::HeaderField> headerFields() const;
    std::optional<QVariantMap> newLineDefaults();
    // A line as the delete question names it: part code and description.
    QString describeLine(int row) const;
    // The question before booking in more than was ordered, "" when none.
    QString overBookingQuestion(int row, int column, const QVariant& booked) const;
    // Writes the new booked-in quantity of a line, and today's date when it
    // has none, together or not at all; true when written.
    bool writeBooking(int row, qint64 booked);
};

} // namespace zel
