#include "bound/datacombo.h"

#include <QAbstractItemView>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>

namespace zel {

DataCombo::DataCombo(QWidget* parent) : QComboBox(parent), model_(new RowSetListModel(this)) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setModel(model_);
    setMaxVisibleItems(20);
    completer()->setCaseSensitivity(Qt::CaseInsensitive);
    completer()->setFilterMode(Qt::MatchContains);
    completer()->setCompletionMode(QCompleter::PopupCompletion);
    lineEdit()->installEventFilter(this);
    // Only an entry taken from the open list is a pick: a closed list also
    // reports Return in its edit part as a choice.
    connect(this, &QComboBox::activated, this, [this](int) {
        if (listOpen_)
            emit Click(List);
    });
    // Typing changes the edit text; the selection follows an exact match only.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) { syncToText(t); });
    connect(completer(), qOverload<const QString&>(&QCompleter::activated), this,
            [this](const QString& t) {
                int row = model_->rowOfText(t);
                if (row >= 0) {
                    setCurrentIndex(row);
                    emit Click(List);
                }
            });
}

void DataCombo::loadList(const QString& sql, const QVariantList& binds, const QString& listField,
                         const QString& boundColumn) {
    sql_ = sql;
    binds_ = binds;
    listField_ = listField;
    boundColumn_ = boundColumn;
    setRowSource(gConn().select(sql, binds), listField, boundColumn);
}

void DataCombo::setRowSource(RowSet rows, const QString& listField, const QString& boundColumn) {
    const QString key = BoundText();
    const QString text = Text();
    listField_ = listField;
    boundColumn_ = boundColumn;
    model_->setRowSource(std::move(rows), listField, boundColumn);
    int row = key.isEmpty() ? -1 : model_->rowOfKey(key);
    setCurrentIndex(row);
    if (row < 0)
        setEditText(text);
}

void DataCombo::refresh() {
    if (!sql_.isEmpty())
        setRowSource(gConn().select(sql_, binds_), listField_, boundColumn_);
}

void DataCombo::clearList() {
    model_->clear();
    setCurrentIndex(-1);
    setEditText(QString());
}

QString DataCombo::BoundText() const {
    return model_->key(currentIndex());
}

void DataCombo::setBoundText(const QString& key) {
    int row = key.isEmpty() ? -1 : model_->rowOfKey(key);
    setCurrentIndex(row);
    if (row < 0)
        setEditText(QString());
}

QString DataCombo::Text() const {
    return currentText();
}

void DataCombo::setText(const QString& text) {
    if (text.isEmpty()) {
        setCurrentIndex(-1);
        setEditText(QString());
        return;
    }
    setEditText(text);
    syncToText(text);
}

void DataCombo::syncToText(const QString& text) {
    int cur = currentIndex();
    if (cur >= 0 && model_->listText(cur) == text)
        return;
    int row = model_->rowOfText(text);
    const int pos = lineEdit()->cursorPosition();
    const QSignalBlocker block(this);
    setCurrentIndex(row);
    if (currentText() != text) {
        setEditText(text);
        lineEdit()->setCursorPosition(std::min<int>(pos, int(text.size())));
    }
}

QVariant DataCombo::selectedValue(const QString& column) const {
    return model_->value(currentIndex(), column);
}

void DataCombo::pickKey(const QString& key) {
    int row = model_->rowOfKey(key);
    if (row < 0)
        return;
    setCurrentIndex(row);
    emit Click(List);
}

void DataCombo::showPopup() {
    listOpen_ = true;
    QComboBox::showPopup();
}

void DataCombo::hidePopup() {
    QComboBox::hidePopup();
    // The entry picked is reported right after the list closes.
    QTimer::singleShot(0, this, [this] {
        if (!view()->isVisible())
            listOpen_ = false;
    });
}

void DataCombo::wheelEvent(QWheelEvent* e) {
    // The wheel scrolls the window under a closed list, never its choice.
    e->ignore();
}

void DataCombo::keyPressEvent(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Down:
        // Opens the list to choose from.
        showPopup();
        e->accept();
        return;
    case Qt::Key_Up:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
        e->accept();
        return;
    case Qt::Key_Home:
    case Qt::Key_End:
        if (!isEditable()) {
            e->accept();
            return;
        }
        break;
    default:
        break;
    }
    QComboBox::keyPressEvent(e);
}

void DataCombo::mousePressEvent(QMouseEvent* e) {
    emit Click(Button);
    QComboBox::mousePressEvent(e);
}

bool DataCombo::eventFilter(QObject* watched, QEvent* e) {
    if (watched == lineEdit() && e->type() == QEvent::MouseButtonPress)
        emit Click(EditPart);
    return QComboBox::eventFilter(watched, e);
}

} // namespace zel
