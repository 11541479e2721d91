#include "orderform/orderactions.h"
#include "app/messages.h"
#include "connection/database.h"
#include "data/schema.h"
#include "values/convert.h"
#include "values/val.h"

#include <QLineEdit>
#include <QSignalBlocker>
#include <memory>

namespace zel::orderform {

namespace {

// What the window showed of its order at the last load or save.
class LoadedHeader : public QObject {
public:
    using QObject::QObject;
    bool known = false;
    qint64 key = 0;
    QString ref;
    QHash<QString, QString> shown; // column -> box text
    QVariantMap stored;            // column -> stored value
};

LoadedHeader& loadedOf(OrderHub& hub) {
    static const QString name = QStringLiteral("zelLoadedHeader");
    QWidget* w = hub.hubWidget();
    auto* l = w->findChild<LoadedHeader*>(name, Qt::FindDirectChildrenOnly);
    if (!l) {
        l = new LoadedHeader(w);
        l->setObjectName(name);
    }
    return *l;
}

QString storedName(const QString& column) {
    return schema::columnName(schema::OrderInformation, column);
}

} // namespace

void rememberLoaded(OrderHub& hub, const RowSet& header, const QList<orders::HeaderField>& shown) {
    LoadedHeader& l = loadedOf(hub);
    l.shown.clear();
    l.stored.clear();
    l.known = !header.isEmpty();
    l.key = l.known ? header.at(0, "Quote ID").toLongLong() : 0;
    l.ref = hub.custRef()->Text();
    if (!l.known)
        return;
    for (const orders::HeaderField& f : shown)
        l.shown.insert(storedName(f.column), f.text);
    for (int c = 0; c < header.columns.size(); ++c)
        l.stored.insert(header.columns[c], header.rows[0][c]);
}

SaveResult checkHeader(OrderHub& hub, const DataCombo& status) {
    DataCombo& custRef = *hub.custRef();
    if (custRef.Text().isEmpty()) {
        messages().info(QStringLiteral("Suppliers Reference cannot be empty"));
        return SaveResult::Stopped;
    }
    if (status.Text().isEmpty()) {
        messages().info(QStringLiteral("Please provide a PO Status"));
        return SaveResult::Stopped;
    }
    if (status.BoundText().isEmpty()) {
        messages().info(
            QStringLiteral("PO Status: \"%1\" is not a status. Choose one from the list.")
                .arg(status.Text()));
        return SaveResult::Stopped;
    }
    const qint64 key = qint64(Val(custRef.BoundText()));
    const QString ref = custRef.Text();
    const qint64 other = orders::otherOrderWithRef(key, ref);
    if (other == 0)
        return SaveResult::Saved;
    const QString thisOne =
        key == 0 ? QStringLiteral("this as a new order") : QStringLiteral("order %1").arg(key);
    switch (messages().ask(
        QStringLiteral("The reference %1 is already used by order %2. Open that order (Yes), "
                       "save %3 with the same reference (No), or go back (Cancel)?")
            .arg(ref)
            .arg(other)
            .arg(thisOne),
        QStringLiteral("Suppliers Reference"))) {
    case MessageService::Answer::Yes:
        custRef.setBoundText(QString::number(other));
        if (custRef.BoundText().isEmpty()) {
            // Another workstation added it since the list was read.
            custRef.refresh();
            custRef.setBoundText(QString::number(other));
        }
        hub.CustRef_Click(DataCombo::List);
        return SaveResult::Opened;
    case MessageService::Answer::No:
        return SaveResult::Saved;
    case MessageService::Answer::Cancel:
        break;
    }
    return SaveResult::Stopped;
}

SaveResult writeHeader(OrderHub& hub, const QList<orders::HeaderField>& fields,
                       const std::function<void()>& reloadList, QString& error,
                       const std::function<void(qint64)>& alsoInTransaction) {
    error.clear();
    DataCombo& custRef = *hub.custRef();
    const qint64 key = qint64(Val(custRef.BoundText()));
    const QString ref = custRef.Text();
    LoadedHeader& loaded = loadedOf(hub);
    const bool known = key != 0 && loaded.known && loaded.key == key;
    // Only what the user changed since the load; everything for a new order.
    QList<orders::HeaderField> changed;
    for (const orders::HeaderField& f : fields) {
        const QString column = storedName(f.column);
        if (!known || column == QLatin1String("Grand Total") ||
            loaded.shown.value(column) != f.text)
            changed << f;
    }
    const bool refChanged = !known || loaded.ref != ref;
    orders::HeaderWrite written;
    try {
        written = orders::saveHeader(key, ref, refChanged, changed,
                                     known ? loaded.stored : QVariantMap{}, alsoInTransaction);
        if (written.outcome == orders::HeaderOutcome::Changed) {
            if (messages().question(
                    QStringLiteral("Order %1 was changed on another workstation: reload it?")
                        .arg(ref),
                    QStringLiteral("Order changed"))) {
                hub.Disp_DataList();
                hub.Disp_MainData();
            }
            return SaveResult::Stopped;
        }
        if (written.outcome == orders::HeaderOutcome::Deleted) {
            if (messages().ask(
                    QStringLiteral("Order %1 was deleted on another workstation. Save it as a new "
                                   "order?")
                        .arg(ref),
                    QStringLiteral("Order deleted"),
                    MessageService::Answer::No) != MessageService::Answer::Yes)
                return SaveResult::Stopped;
            written = orders::saveHeader(0, ref, true, fields, {}, alsoInTransaction);
        }
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return SaveResult::Stopped;
    } catch (const DbError& e) {
        error = e.userMessage();
        return SaveResult::Failed;
    }
    const qint64 saved = written.key;
    // What is now stored is what the next save compares with.
    const bool whole = saved != key || !known;
    if (whole) {
        loaded.shown.clear();
        loaded.stored = written.stored;
    }
    loaded.known = true;
    loaded.key = saved;
    loaded.ref = ref;
    loaded.stored.insert(QStringLiteral("Customer Ref"),
                         written.stored.value(QStringLiteral("Customer Ref")));
    for (const orders::HeaderField& f : whole ? fields : changed) {
        const QString column = storedName(f.column);
        loaded.shown.insert(column, f.text);
        loaded.stored.insert(column, written.stored.value(column));
    }
    const int row = custRef.currentIndex();
    const bool renamed = row >= 0 && custRef.listModel().listText(row) != ref;
    if (saved != key || renamed) {
        // A new order is listed and selected; a renamed one listed under its new reference.
        try {
            reloadList();
        } catch (const DbError&) {
            // the order is saved; the list catches up on the next load
        }
        custRef.setBoundText(QString::number(saved));
        if (custRef.BoundText().isEmpty())
            custRef.setText(ref);
    }
    return SaveResult::Saved;
}

SaveResult saveHeader(OrderHub& hub, const DataCombo& status,
                      const QList<orders::HeaderField>& fields,
                      const std::function<void()>& reloadList, QString& error,
                      const std::function<void(qint64)>& alsoInTransaction) {
    error.clear();
    const SaveResult checked = checkHeader(hub, status);
    if (checked != SaveResult::Saved)
        return checked;
    return writeHeader(hub, fields, reloadList, error, alsoInTransaction);
}

std::function<void(qint64)> stampLines(const DataCombo& status) {
    const double id = Val(status.BoundText());
    return [id](qint64 key) { orders::stampStatus(key, id); };
}

void reportSave(SaveResult result, const QString& error) {
    if (result == SaveResult::Failed)
        messages().error(error);
    else if (result == SaveResult::Saved)
        messages().info(QStringLiteral("Information saved successfully"));
}

bool deleteOrder(DataCombo& custRef, const std::function<void()>& reload) {
    const qint64 key = qint64(Val(custRef.BoundText()));
    if (key == 0) {
        messages().info(QStringLiteral(
            "No order is selected. Choose an order by its Suppliers Reference first."));
        return false;
    }
    // The question names the order and what goes with it; Enter alone answers No.
    const QString ref = custRef.Text().trimmed();
    const qint64 lines = orders::lineCount(key);
    const QString what = QStringLiteral("order %1%2")
                             .arg(key)
                             .arg(ref.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(ref));
    const QString withLines = lines == 0   ? QStringLiteral(", which has no lines")
                              : lines == 1 ? QStringLiteral(" and its line")
                                           : QStringLiteral(" and its %1 lines").arg(lines);
    if (!messages().questionDefaultNo(
            QStringLiteral("Are you sure? This deletes %1%2.").arg(what, withLines),
            QStringLiteral("Delete record")))
        return false;
    orders::deleteOrder(key);
    custRef.setText(QString());
    reload();
    messages().info(QStringLiteral("Record deleted successfully"),
                    QStringLiteral("Deleted Record"));
    return true;
}

void keepOrderWhileTyping(DataCombo& custRef) {
    // The key of the order shown: every change of the selection that is not
    // the list following the typed text (which happens with signals blocked).
    auto shown = std::make_shared<QString>(custRef.BoundText());
    QObject::connect(&custRef, &QComboBox::currentIndexChanged, &custRef,
                     [&custRef, shown](int) { *shown = custRef.BoundText(); });
    QObject::connect(custRef.lineEdit(), &QLineEdit::textEdited, &custRef,
                     [&custRef, shown](const QString& typed) {
                         if (custRef.BoundText() == *shown)
                             return;
                         QLineEdit* edit = custRef.lineEdit();
                         const int pos = edit->cursorPosition();
                         {
                             const QSignalBlocker block(&custRef);
                             custRef.setCurrentIndex(
                                 shown->isEmpty() ? -1 : custRef.listModel().rowOfKey(*shown));
                             custRef.setEditText(typed);
                             edit->setCursorPosition(pos);
                         }
                         custRef.selectChoiceInList();
                     });
}

void listRefs(DataCombo& custRef) {
    custRef.setLookup(orders::refMatchStatement(kRefPage), orders::refByKeyStatement(),
                      QStringLiteral("Customer Ref"), QStringLiteral("Quote ID"));
}

} // namespace zel::orderform
