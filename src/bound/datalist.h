#pragma once
// A list box bound to a row set: each entry shows one column's text and
// carries another column's value as its key.
#include "bound/rowsetlistmodel.h"
#include "connection/database.h"

#include <QListView>

namespace zel {

class DataList : public QListView {
    Q_OBJECT
public:
    explicit DataList(QWidget* parent = nullptr);

    void loadList(const QString& sql, const QVariantList& binds, const QString& listField,
                  const QString& boundColumn);
    void setRowSource(RowSet rows, const QString& listField, const QString& boundColumn);
    void refresh();

    QString BoundText() const;
    void setBoundText(const QString& key);
    // The selected entry's text ("" when none).
    QString Text() const;
    void setText(const QString& text);
    int selectedRow() const;
    const RowSetListModel& listModel() const { return *model_; }
    QVariant selectedValue(const QString& column) const;
    // Acts as a user's click on the entry with that key.
    void pickKey(const QString& key);

signals:
    // The user picked an entry (area 2, the list).
    void Click(int area);

private:
    void selectRow(int row);
    RowSetListModel* model_;
    QString sql_, listField_, boundColumn_;
    QVariantList binds_;
};

} // namespace zel
