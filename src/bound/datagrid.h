#pragma once
// A grid over a GridModel, with the column layout and notifications the
// windows use: widths in twips (0 hides), captions, the current cell, after
// a cell edit, double click, current cell changed, after a line was deleted.
#include "bound/gridmodel.h"

#include <QPersistentModelIndex>
#include <QTableView>
#include <QTimer>
#include <functional>

class QMenu;

namespace zel {

class DataGrid : public QTableView {
    Q_OBJECT
public:
    explicit DataGrid(QWidget* parent = nullptr);

    GridModel& model() const { return *model_; }

    // Binds the statement's rows: the columns are rebuilt from it, every one
    // shown at the default width with its name as caption.
    void bind(const QString& sql, const QVariantList& binds = {});
    void setColumnWidthTwips(int column, int twips);
    void setCaption(int column, const QString& caption);
    QString caption(int column) const;

    void setAllowUpdate(bool allow);
    void setAllowAddNew(bool allow, std::function<std::optional<QVariantMap>()> defaults = {});
    void setAllowDelete(bool allow) { model_->setAllowDelete(allow); }
    // Return or Enter on a cell that is not being edited opens its editor.
    void setEditOnEnter(bool on) { editOnEnter_ = on; }
    // Return or Enter on a cell that is not being edited does what a double
    // click on it does (F4 and Ctrl+Return always do).
    void setEnterOpens(bool on) { enterOpens_ = on; }
    // Fills the context menu of a cell (right click or the Menu key) with the
    // window's own actions; "Delete line" follows them where lines may be deleted.
    void setContextActions(std::function<void(QMenu& menu, int row, int column)> fill) {
        fillMenu_ = std::move(fill);
    }
    // Names a line for the delete question ("IMP-100 Alginate 500g"); the
    // window knows which columns say what a line is.
    void setRowDescriber(std::function<QString(int row)> describe) {
        describeRow_ = std::move(describe);
    }

    int currentRow() const;
    int currentColumn() const { return col_; }
    void setCurrentCell(int row, int column);
    // The value and text of a column of the current row.
    QVariant value(int column) const;
    QString text(int column) const;
    int rowCount() const { return model_->rowSet().size(); }
    // A cell editor is open.
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // Edits a cell as the user would: writes, then raises the after-edit notification.
    bool editCell(int row, int column, const QString& text);
    // Asks "Delete line N, <line>?" (default No) and on Yes removes the
    // stored line; true when it was removed.
    bool deleteLine(int row);

signals:
    // The user finished editing a cell and it was written (column index).
    void AfterColEdit(int column);
    void DblClick();
    // The current cell moved.
    void RowColChange();
    // A line was deleted from its table.
    void AfterDelete();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void tellRefusal();
    bool isStoredRow(int row) const { return row >= 0 && row < rowCount(); }

    GridModel* model_;
    int col_ = 0;
    bool editOnEnter_ = false;
    bool enterOpens_ = false;
    std::function<void(QMenu&, int, int)> fillMenu_;
    std::function<QString(int)> describeRow_;
    // A click on the selected cell opens its editor once no double click
    // follows; meanwhile typing opens it at once.
    QTimer clickEdit_;
    QPersistentModelIndex clickEditIndex_;
    bool afterDoubleClick_ = false;
    // A refusal from the cell editor, told once the editor has closed.
    QString refusal_;
    bool refusalIsError_ = false;
};

} // namespace zel
