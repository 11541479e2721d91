#include "bound/datacombo.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>

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
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& t) {
        if (lookup_)
            lookUp(t);
        syncToText(t);
    });
    connect(this, &QComboBox::currentIndexChanged, this, [this] { selectChoiceInList(); });
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
    lookup_ = false;
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
    entriesReplaced();
}

namespace {
bool hasKey(const RowSet& rows, const QString& column, const QString& key) {
    const int kc = rows.indexOf(column);
    return kc >= 0 && std::any_of(rows.rows.begin(), rows.rows.end(), [&](const auto& r) {
               return RowSetListModel::keyText(r[kc]) == key;
           });
}
} // namespace

void DataCombo::refresh() {
    if (sql_.isEmpty())
        return;
    if (!lookup_) {
        setRowSource(gConn().select(sql_, binds_), listField_, boundColumn_);
        return;
    }
    // The page again, and the selected entry read afresh by its key: another
    // workstation may have renamed or deleted it.
    RowSet rows = gConn().select(sql_, {likePattern(filter_, match_)});
    const QString key = BoundText();
    if (!key.isEmpty()) {
        if (!hasKey(rows, boundColumn_, key)) {
            const RowSet one = gConn().select(keySql_, {key});
            if (!one.isEmpty())
                rows.rows.append(one.rows.first());
        }
    }
    setRowSource(std::move(rows), listField_, boundColumn_);
}

void DataCombo::setLookup(const QString& matchSql, const QString& keySql, const QString& listField,
                          const QString& boundColumn, Match match) {
    lookup_ = true;
    sql_ = matchSql;
    keySql_ = keySql;
    binds_.clear();
    listField_ = listField;
    boundColumn_ = boundColumn;
    match_ = match;
    filter_.clear();
    completer()->setFilterMode(match == Match::StartsWith ? Qt::MatchStartsWith
                                                          : Qt::MatchContains);
    refresh();
}

QString DataCombo::likePattern(const QString& typed, Match match) {
    QString p;
    p.reserve(typed.size() + 2);
    if (match == Match::Contains)
        p += QLatin1Char('%');
    for (QChar c : typed) {
        if (c == QLatin1Char('!') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            p += QLatin1Char('!');
        p += c;
    }
    p += QLatin1Char('%');
    return p;
}

void DataCombo::replaceRows(RowSet rows) {
    const QString key = BoundText();
    const QString text = currentText();
    const int pos = lineEdit()->cursorPosition();
    const QSignalBlocker block(this);
    model_->setRowSource(std::move(rows), listField_, boundColumn_);
    setCurrentIndex(key.isEmpty() ? -1 : model_->rowOfKey(key));
    if (currentText() != text)
        setEditText(text);
    lineEdit()->setCursorPosition(std::min<int>(pos, int(text.size())));
    entriesReplaced();
}

void DataCombo::entriesReplaced() {
    if (!QAccessible::isActive()) {
        // Qt tells the list's accessible items of new entries only while a
        // screen reader listens; the items it made before would otherwise
        // go on naming the old entries to a reader that starts later.
        QAbstractItemView* list = view();
        if (QAccessibleInterface* a = QAccessible::queryAccessibleInterface(list);
            a && a->tableInterface()) {
            QAccessibleTableModelChangeEvent reset(list,
                                                   QAccessibleTableModelChangeEvent::ModelReset);
            a->tableInterface()->modelChange(&reset);
        }
    }
    selectChoiceInList();
}

void DataCombo::selectChoiceInList() {
    QItemSelectionModel* selection = view()->selectionModel();
    if (!selection)
        return;
    const QModelIndex chosen = model_->index(currentIndex(), 0);
    if (chosen.isValid())
        selection->select(chosen, QItemSelectionModel::ClearAndSelect);
    else
        selection->clearSelection();
}

void DataCombo::lookUp(const QString& typed) {
    if (typed == filter_)
        return;
    filter_ = typed;
    RowSet rows = gConn().select(sql_, {likePattern(typed, match_)});
    // The selected entry stays, so typing never loses the selection.
    const int cur = currentIndex();
    if (cur >= 0) {
        if (!hasKey(rows, boundColumn_, BoundText()) && rows.columns == model_->rows().columns)
            rows.rows.append(model_->rows().rows[cur]);
    }
    replaceRows(std::move(rows));
}

int DataCombo::rowOfKeyOrRead(const QString& key) {
    int row = model_->rowOfKey(key);
    if (row >= 0 || !lookup_ || key.isEmpty())
        return row;
    const RowSet one = gConn().select(keySql_, {key});
    if (one.isEmpty())
        return -1;
    // The server may match the key without regard to letter case: the stored one is taken.
    const int kc = one.indexOf(boundColumn_);
    if (kc < 0)
        return -1;
    const QString stored = RowSetListModel::keyText(one.rows[0][kc]);
    row = model_->rowOfKey(stored);
    if (row >= 0)
        return row;
    RowSet rows = model_->rows();
    if (rows.columns.isEmpty())
        rows.columns = one.columns;
    rows.rows.append(one.rows.first());
    replaceRows(std::move(rows));
    return model_->rowOfKey(stored);
}

QString DataCombo::BoundText() const {
    return model_->key(currentIndex());
}

void DataCombo::setBoundText(const QString& key) {
    int row = key.isEmpty() ? -1 : rowOfKeyOrRead(key);
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
    if (lookup_)
        lookUp(text);
    syncToText(text);
}

void DataCombo::syncToText(const QString& text) {
    int cur = currentIndex();
    if (cur >= 0 && model_->listText(cur) == text)
        return;
    int row = model_->rowOfText(text);
    const int pos = lineEdit()->cursorPosition();
    {
        const QSignalBlocker block(this);
        setCurrentIndex(row);
        if (currentText() != text) {
            setEditText(text);
            lineEdit()->setCursorPosition(std::min<int>(pos, int(text.size())));
        }
    }
    selectChoiceInList();
}

QVariant DataCombo::selectedValue(const QString& column) const {
    return model_->value(currentIndex(), column);
}

void DataCombo::pickKey(const QString& key) {
    int row = rowOfKeyOrRead(key);
    if (row < 0)
        return;
    setCurrentIndex(row);
    emit Click(List);
}

void DataCombo::showPopup() {
    listOpen_ = true;
    if (lookup_) {
        // The list opens on the entries for what the user typed; on the
        // first page when the box shows its selection or nothing.
        const QString text = currentText();
        const int cur = currentIndex();
        lookUp(cur >= 0 && model_->listText(cur) == text ? QString() : text);
    }
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
