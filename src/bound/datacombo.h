#pragma once
// A drop-down list bound to a row set: each entry shows one column's text and
// carries another column's value as its key.
#include "bound/rowsetlistmodel.h"
#include "connection/database.h"

#include <QComboBox>

namespace zel {

class DataCombo : public QComboBox {
    Q_OBJECT
public:
    // Areas of a click, as the click notification reports them.
    enum Area { Button = 0, EditPart = 1, List = 2 };

    explicit DataCombo(QWidget* parent = nullptr);

    // How typed text finds entries in the look-up mode.
    enum class Match { StartsWith, Contains };

    // Reads the statement and shows its rows; the list keeps the statement for refresh().
    void loadList(const QString& sql, const QVariantList& binds, const QString& listField,
                  const QString& boundColumn);
    void setRowSource(RowSet rows, const QString& listField, const QString& boundColumn);
    // Reads the row source's statement again, keeping the selected key when it is still there.
    void refresh();

    // The look-up mode, for lists too long to hold: the list holds one page
    // of entries, read again on the server as the user types. `matchSql`
    // reads the page: its one bound value is a LIKE pattern (escape
    // character '!', so the statement says ESCAPE '!'), its rows in the
    // list's order with a LIMIT. `keySql` reads the row whose key is its one
    // bound value; both give the same columns. The selected entry always
    // stays in the list, so keys set or picked by code need not be on the page.
    void setLookup(const QString& matchSql, const QString& keySql, const QString& listField,
                   const QString& boundColumn, Match match = Match::StartsWith);
    bool isLookup() const { return lookup_; }
    // The LIKE pattern (escape '!') for entries whose text starts with or
    // contains `typed`; %, _ and ! in it match only themselves.
    static QString likePattern(const QString& typed, Match match);

    // The key of the selected entry as text; "" when none is selected.
    QString BoundText() const;
    // Selects the entry with that key (no click is raised); an unknown key clears.
    void setBoundText(const QString& key);
    // The edit text: the selected entry's text, or what the user typed.
    QString Text() const;
    // Sets the edit text; an entry with exactly that text becomes selected.
    void setText(const QString& text);

    const RowSetListModel& listModel() const { return *model_; }
    // Any column of the selected entry's row.
    QVariant selectedValue(const QString& column) const;

    // Acts as a user's pick of the entry with that key from the list (area 2).
    void pickKey(const QString& key);

    // Selects the chosen entry in the list, where a screen reader finds it;
    // called after the choice was changed with the signals blocked.
    void selectChoiceInList();

    void showPopup() override;
    void hidePopup() override;

signals:
    // The user clicked: 0 the button, 1 the edit part, 2 an entry of the list.
    void Click(int area);

protected:
    void mousePressEvent(QMouseEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    // A closed list never changes its choice by the wheel or an arrow key.
    void wheelEvent(QWheelEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void syncToText(const QString& text);
    // Look-up mode: shows the page of entries for `typed`, keeping the selection and edit text.
    void lookUp(const QString& typed);
    // Look-up mode: the entry with that key, read by key into the list when
    // it is not there; -1 when the server has no such row.
    int rowOfKeyOrRead(const QString& key);
    // Replaces the entries, the selected key and the edit text staying as they are.
    void replaceRows(RowSet rows);
    // After the entries were replaced: the list's accessible items follow them.
    void entriesReplaced();

    RowSetListModel* model_;
    // True from the list's opening until just after it closed: an entry
    // taken then was picked from the open list.
    bool listOpen_ = false;
    QString sql_, listField_, boundColumn_;
    QVariantList binds_;
    bool lookup_ = false;
    Match match_ = Match::StartsWith;
    QString keySql_;
    // The typed text the page shown was read for.
    QString filter_;
};

} // namespace zel
