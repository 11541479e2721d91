#include "bound/datagrid.h"
#include "bound/twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QTimer>

namespace zel {

DataGrid::DataGrid(QWidget* parent) : QTableView(parent), model_(new GridModel(this)) {
    setModel(model_);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
    setAlternatingRowColors(true);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setFixedWidth(fontMetrics().horizontalAdvance(u'*') + 14);
    horizontalHeader()->setHighlightSections(false);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& cur, const QModelIndex&) {
                if (cur.isValid())
                    col_ = cur.column();
                emit RowColChange();
            });
    // The after-edit notification comes once the editor has closed, since
    // its handler may reload the grid.
    connect(model_, &GridModel::cellWritten, this,
            [this](int, int column) { QTimer::singleShot(0, this, [this, column] { emit AfterColEdit(column); }); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { col_ = std::max(0, col_); });
}

void DataGrid::bind(const QString& sql, const QVariantList& binds) {
    model_->load(sql, binds);
    for (int c = 0; c < model_->columnCount(); ++c) {
        setColumnHidden(c, false);
        setColumnWidth(c, horizontalHeader()->defaultSectionSize());
    }
}

void DataGrid::setColumnWidthTwips(int column, int twips) {
    if (twips <= 0) {
        setColumnHidden(column, true);
        return;
    }
    setColumnHidden(column, false);
    setColumnWidth(column, twipsToPixels(twips, this));
}

void DataGrid::setCaption(int column, const QString& caption) {
    model_->setHeaderData(column, Qt::Horizontal, caption, Qt::DisplayRole);
}

QString DataGrid::caption(int column) const {
    return model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString();
}

void DataGrid::setAllowUpdate(bool allow) { model_->setAllowUpdate(allow); }

void DataGrid::setAllowAddNew(bool allow, std::function<std::optional<QVariantMap>()> defaults) {
    model_->setAllowAddNew(allow, std::move(defaults));
}

int DataGrid::currentRow() const {
    QModelIndex i = currentIndex();
    return i.isValid() ? i.row() : -1;
}

void DataGrid::setCurrentCell(int row, int column) {
    setCurrentIndex(model_->index(row, column));
    col_ = column;
}

QVariant DataGrid::value(int column) const { return model_->value(currentRow(), column); }

QString DataGrid::text(int column) const { return model_->text(currentRow(), column); }

bool DataGrid::editCell(int row, int column, const QString& text) {
    setCurrentCell(row, column);
    return model_->writeCell(row, column, text);
}

void DataGrid::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState &&
        model_->allowDelete() && currentRow() >= 0 && currentRow() < rowCount()) {
        model_->removeRow(currentRow());
        return;
    }
    QTableView::keyPressEvent(e);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    QModelIndex i = indexAt(e->pos());
    if (i.isValid()) {
        setCurrentIndex(i);
        col_ = i.column();
    }
    emit DblClick();
    // Cells the handler did not take over still open their editor.
    if (i.isValid() && (model_->flags(i) & Qt::ItemIsEditable))
        QTableView::mouseDoubleClickEvent(e);
}

} // namespace zel
