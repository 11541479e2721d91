#include "orderform/orderactions.h"
#include "app/convert.h"
#include "app/database.h"
#include "app/messages.h"
#include "app/val.h"

namespace zel::orderform {

SaveResult saveHeader(DataCombo& custRef, const DataCombo& status, const QList<orders::HeaderField>& fields,
                      const std::function<void()>& reloadList, QString& error) {
    error.clear();
    if (custRef.Text().isEmpty()) {
        messages().info(QStringLiteral("Suppliers Reference cannot be empty"));
        return SaveResult::Stopped;
    }
    if (status.Text().isEmpty()) {
        messages().info(QStringLiteral("Please provide a PO Status"));
        return SaveResult::Stopped;
    }
    const qint64 key = qint64(Val(custRef.BoundText()));
    qint64 saved = 0;
    try {
        saved = orders::saveHeader(key, custRef.Text(), fields);
    } catch (const ConversionError& e) {
        messages().info(e.message());
        return SaveResult::Stopped;
    } catch (const DbError& e) {
        error = e.userMessage();
        return SaveResult::Failed;
    }
    if (saved != key) {
        // A new order: list it and select it.
        const QString ref = custRef.Text();
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

void reportSave(SaveResult result, const QString& error) {
    if (result == SaveResult::Failed)
        messages().error(error);
    else if (result == SaveResult::Saved)
        messages().info(QStringLiteral("Information saved successfully"));
}

bool deleteOrder(DataCombo& custRef, const std::function<void()>& reload) {
    const qint64 key = qint64(Val(custRef.BoundText()));
    if (key == 0) {
        messages().info(QStringLiteral("No order is selected. Choose an order by its Suppliers Reference first."));
        return false;
    }
    if (!messages().question(QStringLiteral("Are you sure?"), QStringLiteral("Delete record")))
        return false;
    orders::deleteOrder(key);
    custRef.setText(QString());
    reload();
    messages().info(QStringLiteral("Record deleted successfully"), QStringLiteral("Deleted Record"));
    return true;
}

} // namespace zel::orderform
