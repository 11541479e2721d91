#include "bound/datalist.h"

namespace zel {

DataList::DataList(QWidget* parent) : QListView(parent), model_(new RowSetListModel(this)) {
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setUniformItemSizes(true);
    connect(this, &QListView::clicked, this, [this](const QModelIndex&) { emit Click(2); });
    connect(this, &QListView::activated, this, [this](const QModelIndex&) { emit Click(2); });
}

void DataList::loadList(const QString& sql, const QVariantList& binds, const QString& listField,
                        const QString& boundColumn) {
    sql_ = sql;
    binds_ = binds;
    listField_ = listField;
    boundColumn_ = boundColumn;
    setRowSource(gConn().select(sql, binds), listField, boundColumn);
}

void DataList::setRowSource(RowSet rows, const QString& listField, const QString& boundColumn) {
    const QString key = BoundText();
    listField_ = listField;
    boundColumn_ = boundColumn;
    model_->setRowSource(std::move(rows), listField, boundColumn);
    selectRow(key.isEmpty() ? -1 : model_->rowOfKey(key));
}

void DataList::refresh() {
    if (!sql_.isEmpty())
        setRowSource(gConn().select(sql_, binds_), listField_, boundColumn_);
}

int DataList::selectedRow() const {
    QModelIndex i = currentIndex();
    return i.isValid() && selectionModel()->isSelected(i) ? i.row() : -1;
}

void DataList::selectRow(int row) {
    if (row < 0) {
        selectionModel()->clearSelection();
        setCurrentIndex(QModelIndex());
        return;
    }
    QModelIndex i = model_->index(row);
    selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect);
    scrollTo(i);
}

QString DataList::BoundText() const {
    return model_->key(selectedRow());
}

void DataList::setBoundText(const QString& key) {
    selectRow(key.isEmpty() ? -1 : model_->rowOfKey(key));
}

QString DataList::Text() const {
    return model_->listText(selectedRow());
}

void DataList::setText(const QString& text) {
    selectRow(text.isEmpty() ? -1 : model_->rowOfText(text));
}

QVariant DataList::selectedValue(const QString& column) const {
    return model_->value(selectedRow(), column);
}

void DataList::pickKey(const QString& key) {
    int row = model_->rowOfKey(key);
    if (row < 0)
        return;
    selectRow(row);
    emit Click(2);
}

} // namespace zel
