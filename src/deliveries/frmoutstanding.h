#pragma once
// The outstanding deliveries list ("Outstanding Deliveries"): every line of
// an approved order with less booked in than ordered, with its supplier,
// order, dates and quantities, and how many days late it is. The list can be
// narrowed to one supplier and sorted by any column; Enter or a double click
// opens the line's order in the window that opened the list. It prints
// through the report preview and saves as a CSV file.
#include "bound/report.h"
#include "data/deliveries.h"
#include "deliveries/outstandingmodel.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QWidget>
#include <functional>
#include <optional>

namespace zel {

class OrderHub;

class frmOutstanding : public QWidget {
    Q_OBJECT
public:
    // The list's columns, in their order on screen.
    using enum OutstandingModel::Column;

    // `today` counts the days late (the current date when not given).
    explicit frmOutstanding(OrderHub& hub, QWidget* parent = nullptr,
                            std::optional<QDate> today = std::nullopt);

    // Reads the lines again and keeps the supplier chosen when it still has any.
    void Refresh();
    // Shows the lines of one supplier ("" for every supplier).
    void chooseSupplier(const QString& supplier);
    // Opens the order of the row shown at `row` in the hub.
    void openRow(int row);
    void cmdOpen_Click();  // Open Order
    void cmdPrint_Click(); // Print
    void cmdClose_Click(); // Close
    // Saves the lines shown as a spreadsheet file where the user chooses.
    void cmdSaveCsv_Click();
    // Writes the lines as shown (filtered and sorted, with the headings on
    // screen; dates as dates, quantities as numbers) to `path`; says where
    // they went, or why they could not be saved. False when nothing was saved.
    bool saveListAs(const QString& path);
    // Asks where to save the list, proposing `proposed`; "" when the user
    // cancels. A save-file dialog unless replaced (tests answer it themselves).
    std::function<QString(const QString& proposed)> askSavePath;

    // Every line of the list as it is narrowed and sorted, read afresh, as
    // the report and the file take them (not only the lines scrolled to).
    RowSet shownRows() const;
    // The report of those lines.
    report::Document printout() const;
    // The text of a cell of the lines read so far.
    QString shownText(int row, int column) const;
    // How many lines are read so far (the first page, and those scrolled to).
    int shownCount() const;
    // "3 lines outstanding, 1 late"
    static QString countText(int lines, int late);

    QLabel *Label1, *lblCount; // "Supplier:", how many lines and how many late
    QComboBox* cmbSupplier;
    QTableView* lstLines;
    QPushButton *cmdOpen, *cmdPrint, *cmdSaveCsv, *cmdRefresh, *cmdClose;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void showCount();
    report::Document printout(const QList<deliveries::Line>& lines) const;
    // Lines as the report takes them: the texts shown, a row a line.
    static RowSet rowsOf(const QList<deliveries::Line>& lines);

    OrderHub& hub_;
    QDate today_;
    OutstandingModel* model_;
    qint64 currentLine_ = 0; // the current line while the list is read afresh
};

namespace deliveries {
// Opens the list for the hub (brings it forward when open).
void openOutstanding(OrderHub& hub);
} // namespace deliveries

} // namespace zel
