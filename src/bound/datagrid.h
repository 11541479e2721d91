#pragma once
// A grid over a GridModel, with the column layout and notifications the
// windows use: widths in twips (0 hides), captions, the current cell, after
// a cell edit, double click, current cell changed.
#include "bound/gridmodel.h"

#include <QTableView>

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

    int currentRow() const;
    int currentColumn() const { return col_; }
    void setCurrentCell(int row, int column);
    // The value and text of a column of the current row.
    QVariant value(int column) const;
    QString text(int column) const;
    int rowCount() const { return model_->rowSet().size(); }

    // Edits a cell as the user would: writes, then raises the after-edit notification.
    bool editCell(int row, int column, const QString& text);

signals:
    // The user finished editing a cell and it was written (column index).
    void AfterColEdit(int column);
    void DblClick();
    // The current cell moved.
    void RowColChange();

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

private:
    GridModel* model_;
    int col_ = 0;
};

} // namespace zel
