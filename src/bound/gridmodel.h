#pragma once
// The rows of a statement as an editable table: the columns follow the
// statement; an edited cell is converted by its column's kind and written to
// its table row by key at once; a refused edit keeps the old value and says why.
#include "connection/database.h"
#include "values/convert.h"

#include <QAbstractTableModel>
#include <QSet>
#include <functional>
#include <optional>

namespace zel {

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Reads the statement; the columns are its columns, in order.
    void load(const QString& sql, const QVariantList& binds = {});
    // Reads the statement of the last load again.
    void reload();
    void setRows(RowSet rows);
    void clear();

    // Where edits go: the table and its key column (which the statement must
    // select). Result columns named like a column of the table are writable.
    void setWriteTarget(const QString& table, const QString& keyColumn);
    // Shows the columns named like a column of `table` by that column's kind
    // (money with two decimals, dates in the short form) without making them
    // writable.
    void setKindsFrom(const QString& table);
    void setAllowUpdate(bool allow) { allowUpdate_ = allow; }
    bool allowUpdate() const { return allowUpdate_; }
    // Never written, whatever its name.
    void setReadOnlyColumn(int column, bool readOnly = true);
    // Shows a column's stored value times `factor` and stores typed values
    // divided by it (a fraction shown as a percentage).
    void setColumnScale(int column, double factor);

    // A blank row at the end; a value typed there inserts a row with the
    // values `defaults` gives, plus the typed one (nothing when it gives none).
    void setAllowAddNew(bool allow, std::function<std::optional<QVariantMap>()> defaults = {});
    bool allowAddNew() const { return allowAddNew_; }
    void setAllowDelete(bool allow) { allowDelete_ = allow; }
    bool allowDelete() const { return allowDelete_; }
    bool isNewRow(int row) const { return allowAddNew_ && row == rows_.size(); }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    bool setHeaderData(int section, Qt::Orientation o, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    const RowSet& rowSet() const { return rows_; }
    QVariant value(int row, int column) const;
    QString text(int row, int column) const;
    QString columnName(int column) const;
    int columnIndex(const QString& name) const { return rows_.indexOf(name); }
    Kind columnKind(int column) const;
    bool isWritable(int column) const;

    // Writes `text` to the cell as the user's edit would; false (with the
    // reason told) when refused.
    bool writeCell(int row, int column, const QString& text);
    // A question to answer Yes before a value is stored (booking in more than
    // was ordered): the hook gives its text, or "" when none is needed. No
    // keeps the old value.
    void setWriteQuestion(std::function<QString(int row, int column, const QVariant& stored)> ask) {
        writeQuestion_ = std::move(ask);
    }
    // Writes a value whose question was answered Yes.
    bool writeConfirmedCell(int row, int column, const QString& text);
    // The row holding that key, -1 when none does.
    int rowOfKey(const QVariant& key) const;
    QString keyColumn() const { return keyColumn_; }

    // Shows `value` in a cell without writing it anywhere (a computed column
    // brought up to date after an edit).
    void setShownValue(int row, int column, const QVariant& value);

    // What the window adds to a stored row's cells beyond their text (a
    // tooltip, a colour, a screen reader's description): the hook gives the
    // value of that role, or an invalid QVariant for the model's own.
    void setCellNotes(std::function<QVariant(int row, int column, int role)> notes) {
        cellNotes_ = std::move(notes);
    }

signals:
    // A cell's value was written to the database.
    void cellWritten(int row, int column);
    // An edit from a cell editor was refused: the reason, for the view to
    // tell once the editor has closed (a message box shown while the editor
    // is closing would run in the middle of the user's next click or key).
    void editRefused(const QString& reason, bool isError);
    // An edit from a cell editor waits for a Yes to `question`; the view asks
    // once the editor has closed and writes it with writeConfirmedCell.
    void editNeedsConfirming(const QVariant& key, int column, const QString& text,
                             const QString& question);

private:
    // Tells why an edit was refused: at once, or through editRefused for an
    // edit from a cell editor when a view listens.
    void tellRefusal(const QString& reason, bool isError);
    // Asks the write question, when there is one for the cell: true when the
    // write may go ahead now; false when answered No or handed to the view.
    bool confirmWrite(int row, int column, const QString& typed, const QVariant& stored);
    // Adds the new row with `stored` in column `name` and the new rows'
    // defaults; false when the defaults refuse it.
    bool addRow(int row, const QString& name, const QVariant& stored);
    // Writes `stored` to the cell while it still holds what is shown; false,
    // told and the rows reloaded, when it was changed or deleted elsewhere.
    bool updateCell(int row, int column, const QString& name, const QVariant& stored);

    QString sql_;
    QVariantList binds_;
    RowSet rows_;
    QVector<Kind> kinds_;
    QVector<bool> numeric_;
    QString table_, keyColumn_, kindTable_;
    bool allowUpdate_ = false, allowAddNew_ = false, allowDelete_ = false;
    bool fromEditor_ = false, confirmed_ = false;
    std::function<QString(int, int, const QVariant&)> writeQuestion_;
    std::function<std::optional<QVariantMap>()> newRowDefaults_;
    std::function<QVariant(int, int, int)> cellNotes_;
    QSet<int> readOnly_;
    QHash<int, double> scale_;
    QHash<int, QString> captions_;
};

} // namespace zel
