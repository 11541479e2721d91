#include "data/people.h"
#include "data/orders.h"
#include "data/schema.h"

#include <QStringList>
#include <algorithm>

namespace zel::people {

namespace {

const QString kCounter = QStringLiteral("PatNo");

// The SQL expression a row is listed by: its name, else its short name.
QString listName() {
    return QStringLiteral("COALESCE(NULLIF(`Forenames`,''), NULLIF(`Previous Surname`,''), "
                          "CONCAT('Account ', `Payroll ID`))");
}

} // namespace

qint64 allocateAccountNumber(Database& db) {
    const QString item = kCounter;
    qint64 n = 0;
    db.transaction([&] {
        const QVariant stored = db.scalar(
            QStringLiteral(
                "SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = ? FOR UPDATE"),
            {item});
        if (stored.isNull())
            return; // no counter, or an empty one: nothing to hand out
        // 0 means "no row" in the editors, so numbering starts at 1.
        n = std::max<qint64>(stored.toLongLong(), 1);
        // Rows are found by their account number alone: a number already
        // carried (a counter set back, rows entered elsewhere) is passed over.
        if (!db.scalar(
                   QStringLiteral("SELECT 1 FROM `Employee Data` WHERE `Payroll ID` = ? LIMIT 1"),
                   {n})
                 .isNull())
            n = db.scalar(QStringLiteral("SELECT MIN(a.`Payroll ID`) + 1 FROM `Employee Data` a "
                                         "WHERE a.`Payroll ID` >= ? AND NOT EXISTS "
                                         "(SELECT 1 FROM `Employee Data` b WHERE b.`Payroll ID` = "
                                         "a.`Payroll ID` + 1)"),
                          {n})
                    .toLongLong();
        // Only over the value read: on a cluster the lock above holds on this
        // node alone, so a counter moved on another node meanwhile is seen
        // here and the allocation runs again.
        if (db.execute(QStringLiteral("UPDATE `tblGlobalSysConfig` SET `NumberValue` = ? "
                                      "WHERE `Item` = ? AND `NumberValue` = ?"),
                       {n + 1, item, stored}) != 1)
            throw DbError(1213, QStringLiteral("The account number counter was moved by another "
                                               "workstation meanwhile."));
    });
    return n;
}

QString saveAccountRow(Database& db, qint64 n, const QString& type,
                       const QList<QPair<QString, QVariant>>& values) {
    QStringList sets, columns;
    QVariantList binds;
    for (const auto& [column, value] : values) {
        columns << schema::q(schema::columnName(schema::EmployeeData, column));
        sets << columns.last() + QStringLiteral(" = ?");
        binds << value;
    }
    QString otherType;
    db.transaction([&] {
        otherType.clear();
        // Account numbers are written under the counter's lock, the one lock
        // allocation takes too: saves and allocations of every workstation
        // queue on it instead of deadlocking on the gaps of `Payroll ID`.
        db.scalar(QStringLiteral(
                      "SELECT `NumberValue` FROM `tblGlobalSysConfig` WHERE `Item` = ? FOR UPDATE"),
                  {kCounter});
        const RowSet rs =
            db.select(QStringLiteral("SELECT `Employee ID`, `Type` FROM `Employee Data` "
                                     "WHERE `Payroll id` = ? ORDER BY `Employee ID` FOR UPDATE"),
                      {n});
        for (const auto& row : rs.rows)
            if (row[1].toString().compare(type, Qt::CaseInsensitive) != 0) {
                otherType = row[1].isNull() ? QStringLiteral("an unnamed kind of")
                                            : QStringLiteral("a ") + row[1].toString().toLower();
                return;
            }
        if (rs.isEmpty()) {
            QStringList marks(columns.size() + 2, QStringLiteral("?"));
            db.insert(
                QStringLiteral("INSERT INTO `Employee Data` (`Payroll ID`, %1, `Type`) VALUES (%2)")
                    .arg(columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
                QVariantList{n} + binds + QVariantList{type});
        } else {
            db.execute(QStringLiteral("UPDATE `Employee Data` SET `Payroll ID` = ?, %1, `Type` = ? "
                                      "WHERE `Employee ID` = ?")
                           .arg(sets.join(QStringLiteral(", "))),
                       QVariantList{n} + binds + QVariantList{type, rs.rows[0][0]});
        }
    });
    return otherType;
}

QString listStatement() {
    // A row saved without a name is listed by its short name, never as a blank entry.
    return QStringLiteral("SELECT %1 AS `Forenames`, `Payroll ID` FROM `Employee Data` "
                          "WHERE (Type=?) Order By 1")
        .arg(listName());
}

RowSet accountRow(qint64 n, const QString& type) {
    // Only a row of this kind, even where another kind shares the number.
    return gConn().select(QStringLiteral("Select * From `Employee Data` Where `Payroll id` = ? "
                                         "AND `Type` = ? ORDER BY `Employee ID` LIMIT 1"),
                          {n, type});
}

QVariant listedName(qint64 n, const QString& type) {
    return gConn().scalar(
        QStringLiteral("SELECT %1 FROM `Employee Data` WHERE `Payroll id` = ? AND `Type` = ? "
                       "ORDER BY `Employee ID` LIMIT 1")
            .arg(listName()),
        {n, type});
}

qint64 ordersReferringTo(qint64 n, const QString& type) {
    // Orders name a supplier by its account number and its row number, a
    // purchaser by its code.
    if (type == QLatin1String("Supplier"))
        return gConn()
            .scalar(
                QStringLiteral("SELECT COUNT(*) FROM `Order Information` WHERE `Account No` = ? "
                               "OR `CUSTOMER ID` IN (SELECT `Employee ID` FROM `Employee Data` "
                               "WHERE `Payroll ID` = ? AND `Type` = ?)"),
                {QString::number(n), n, type})
            .toLongLong();
    return gConn()
        .scalar(QStringLiteral("SELECT COUNT(*) FROM `Order Information` WHERE `Sales Rep` = ?"),
                {QString::number(n)})
        .toLongLong();
}

qint64 removeAccount(qint64 n, const QString& type) {
    // Only rows of this kind are ever deleted.
    return gConn().execute(
        QStringLiteral("Delete From `Employee Data` Where `Payroll id` = ? AND `Type` = ?"),
        {n, type});
}

namespace {

QString addressColumns() {
    return QStringLiteral("SELECT *, `Employee Data`.`Employee ID` AS `Customer ID`, `Employee "
                          "Data`.`Previous Surname` AS `Customer Shortname`, "
                          "`Employee Data`.`Payroll ID` AS `Account No`, `Employee Data`.Forenames "
                          "AS `Customer Name`, "
                          "`Employee Data`.Address1 AS Street, `Employee Data`.Address2 AS "
                          "Street2, `Employee Data`.Town, "
                          "`Employee Data`.County AS `County/Postcode`, `Employee Data`.`Post "
                          "Code` AS Postcode2, "
                          "`Employee Data`.Country, `Employee Data`.Fax, `Employee "
                          "Data`.`Telephone No` AS Telephone, "
                          "`Employee Data`.Type "
                          "From `Employee Data` ");
}

// The list's WHERE clause, and the condition that finds one entry by its key.
struct AddressFilter {
    QString where, byKey;
};

AddressFilter filterOf(AddressList list) {
    switch (list) {
    case AddressList::Suppliers:
        return {QStringLiteral("WHERE (`Employee Data`.`Previous Surname` Is Not Null) AND "
                               "(`Employee Data`.Type='Supplier')"),
                QStringLiteral(" AND (`Employee Data`.`Employee ID` = ?)")};
    case AddressList::PracticesByAccount:
        return {QStringLiteral("WHERE (`Employee Data`.Type='Practice')"),
                QStringLiteral(" AND (`Employee Data`.`Payroll ID` = ?)")};
    case AddressList::PracticesByRow:
        break;
    }
    return {QStringLiteral("WHERE (`Employee Data`.Type='Practice')"),
            QStringLiteral(" AND (`Employee Data`.`Employee ID` = ?)")};
}

} // namespace

QString addressListStatement(AddressList list) {
    return addressColumns() + filterOf(list).where;
}

QString addressListKey(AddressList list) {
    return list == AddressList::PracticesByAccount ? QStringLiteral("Account No")
                                                   : QStringLiteral("Customer ID");
}

RowSet addressOf(AddressList list, const QString& key) {
    const AddressFilter f = filterOf(list);
    return gConn().select(addressColumns() + f.where + f.byKey, {key});
}

QString purchaserListStatement() {
    // A dentist with a part of the name missing is listed by what is known.
    return QStringLiteral("SELECT `Employee Data`.`Employee ID` AS id, `Employee Data`.`Payroll "
                          "ID` AS `Rep Code`, "
                          "`Employee Data`.`Cost Centre`, ") +
           orders::purchaserNameSql() +
           QStringLiteral(" AS Name, `Employee Data`.Type "
                          "From `Employee Data` "
                          "WHERE (((`Employee Data`.Type)='Dentist'))");
}

RowSet purchaserOf(const QString& repCode) {
    return gConn().select(purchaserListStatement() +
                              QStringLiteral(" AND `Employee Data`.`Payroll ID` = ? LIMIT 1"),
                          {repCode});
}

} // namespace zel::people
