#include "bound/datagrid.h"
#include "app/messages.h"
#include "bound/twips.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

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
    connect(model_, &GridModel::cellWritten, this, [this](int, int column) {
        QTimer::singleShot(0, this, [this, column] { emit AfterColEdit(column); });
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        col_ = std::max(0, col_);
        clickEdit_.stop();
    });
    // A refused edit is told once the editor has closed and the user's click
    // or key that closed it has gone where it was meant to.
    connect(model_, &GridModel::editRefused, this, [this](const QString& reason, bool isError) {
        refusal_ = reason;
        refusalIsError_ = isError;
        QTimer::singleShot(0, this, [this] { tellRefusal(); });
    });
    // A click on a row's header chooses the whole line (a grid of single
    // cells would otherwise keep one cell of it).
    connect(verticalHeader(), &QHeaderView::sectionPressed, this, [this](int row) {
        if (row < 0 || row >= model_->rowCount())
            return;
        const int column = std::max(0, currentIndex().isValid() ? currentIndex().column() : col_);
        selectionModel()->setCurrentIndex(model_->index(row, column),
                                          QItemSelectionModel::NoUpdate);
        selectionModel()->select(model_->index(row, column),
                                 QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    });
    // So is a question about an edit: asked once the editor has closed, the
    // value written to its own line on Yes.
    connect(model_, &GridModel::editNeedsConfirming, this,
            [this](const QVariant& key, int column, const QString& text, const QString& question) {
                QTimer::singleShot(0, this, [this, key, column, text, question] {
                    if (messages().questionDefaultNo(question, QString())) {
                        const int row = model_->rowOfKey(key);
                        if (row >= 0)
                            model_->writeConfirmedCell(row, column, text);
                    }
                    if (isVisible() && !isEditing()) {
                        activateWindow();
                        setFocus(Qt::OtherFocusReason);
                    }
                });
            });
    clickEdit_.setSingleShot(true);
    connect(&clickEdit_, &QTimer::timeout, this, [this] {
        if (clickEditIndex_.isValid() && clickEditIndex_ == currentIndex() && !isEditing())
            QAbstractItemView::edit(clickEditIndex_, AllEditTriggers, nullptr);
    });
}

void DataGrid::tellRefusal() {
    if (refusal_.isEmpty())
        return;
    // Not in the middle of a click: the message waits for the button's release.
    if (QApplication::mouseButtons() != Qt::NoButton) {
        QTimer::singleShot(50, this, [this] { tellRefusal(); });
        return;
    }
    const QString reason = std::exchange(refusal_, QString());
    if (refusalIsError_)
        messages().error(reason);
    else
        messages().info(reason);
    // What is typed next goes to the cell now current, not to a box elsewhere.
    if (isVisible() && !isEditing()) {
        activateWindow();
        setFocus(Qt::OtherFocusReason);
    }
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

void DataGrid::setAllowUpdate(bool allow) {
    model_->setAllowUpdate(allow);
}

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

QVariant DataGrid::value(int column) const {
    return model_->value(currentRow(), column);
}

QString DataGrid::text(int column) const {
    return model_->text(currentRow(), column);
}

bool DataGrid::editCell(int row, int column, const QString& text) {
    setCurrentCell(row, column);
    return model_->writeCell(row, column, text);
}

bool DataGrid::deleteLine(int row) {
    if (!model_->allowDelete() || !isStoredRow(row))
        return false;
    const QString what = describeRow_ ? describeRow_(row).trimmed() : QString();
    const QString question = what.isEmpty()
                                 ? QStringLiteral("Delete line %1?").arg(row + 1)
                                 : QStringLiteral("Delete line %1, %2?").arg(row + 1).arg(what);
    if (!messages().questionDefaultNo(question, QStringLiteral("Delete record")))
        return false;
    if (!model_->removeRow(row))
        return false;
    emit AfterDelete();
    return true;
}

bool DataGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (trigger == SelectedClicked) {
        // The release that ends a double click opens nothing.
        if (afterDoubleClick_ || !(editTriggers() & SelectedClicked) ||
            !(model_->flags(index) & Qt::ItemIsEditable))
            return false;
        clickEditIndex_ = index;
        clickEdit_.start(QApplication::doubleClickInterval());
        return true;
    }
    // Any other way of editing (a key above all) wins over a pending click,
    // so no keystroke is lost to it.
    clickEdit_.stop();
    return QTableView::edit(index, trigger, event);
}

void DataGrid::keyPressEvent(QKeyEvent* e) {
    if (!isEditing()) {
        switch (e->key()) {
        case Qt::Key_Delete: {
            // Delete removes a line only when the whole row was chosen by its
            // header, and only after its question; in a cell it does nothing.
            const int row = currentRow();
            if (isStoredRow(row) && selectionModel()->isRowSelected(row, {}))
                deleteLine(row);
            e->accept();
            return;
        }
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // Where Tab leaves the grid, Ctrl+Tab moves from cell to cell.
            if (!tabKeyNavigation() && (e->modifiers() & Qt::ControlModifier)) {
                const bool back =
                    e->key() == Qt::Key_Backtab || (e->modifiers() & Qt::ShiftModifier);
                const QModelIndex next = moveCursor(back ? MovePrevious : MoveNext, Qt::NoModifier);
                if (next.isValid())
                    setCurrentIndex(next);
                e->accept();
                return;
            }
            break;
        case Qt::Key_F4:
            if (currentIndex().isValid()) {
                emit DblClick();
                e->accept();
                return;
            }
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (currentIndex().isValid() && (e->modifiers() & Qt::ControlModifier)) {
                emit DblClick();
                e->accept();
                return;
            }
            if (editOnEnter_ && currentIndex().isValid() &&
                (model_->flags(currentIndex()) & Qt::ItemIsEditable)) {
                QAbstractItemView::edit(currentIndex(), AllEditTriggers, nullptr);
                e->accept();
                return;
            }
            if (enterOpens_ && currentIndex().isValid()) {
                emit DblClick();
                e->accept();
                return;
            }
            break;
        default:
            break;
        }
    }
    QTableView::keyPressEvent(e);
}

void DataGrid::mousePressEvent(QMouseEvent* e) {
    afterDoubleClick_ = false;
    clickEdit_.stop();
    QTableView::mousePressEvent(e);
}

void DataGrid::mouseDoubleClickEvent(QMouseEvent* e) {
    afterDoubleClick_ = true;
    clickEdit_.stop();
    QModelIndex i = indexAt(e->pos());
    if (i.isValid()) {
        setCurrentIndex(i);
        col_ = i.column();
    }
    emit DblClick();
    // A grid that edits on a double click opens the editor of a cell the
    // handler left alone.
    if (i.isValid() && (editTriggers() & DoubleClicked) && (model_->flags(i) & Qt::ItemIsEditable))
        QTableView::mouseDoubleClickEvent(e);
}

void DataGrid::contextMenuEvent(QContextMenuEvent* e) {
    // The Menu key opens the menu of the current cell below it; a click, of
    // the cell under the mouse (the position is then the viewport's).
    const bool byKey = e->reason() == QContextMenuEvent::Keyboard;
    const QModelIndex at = byKey ? currentIndex() : indexAt(e->pos());
    const bool deletable = model_->allowDelete() && at.isValid() && isStoredRow(at.row());
    if (!at.isValid() || (!fillMenu_ && !deletable)) {
        QTableView::contextMenuEvent(e);
        return;
    }
    const int row = at.row(), column = at.column();
    setCurrentCell(row, column);
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("lineMenu"));
    if (fillMenu_)
        fillMenu_(menu, row, column);
    QAction* del = nullptr;
    if (deletable) {
        if (!menu.isEmpty())
            menu.addSeparator();
        del = menu.addAction(QStringLiteral("Delete line"));
    }
    if (menu.isEmpty())
        return;
    const QPoint where =
        byKey ? viewport()->mapToGlobal(visualRect(at).bottomLeft()) : e->globalPos();
    if (QAction* chosen = menu.exec(where); chosen && chosen == del) {
        // The whole line is chosen for its question, as a click on its header does.
        selectRow(row);
        deleteLine(row);
    }
}

} // namespace zel
