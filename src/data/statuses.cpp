#include "data/statuses.h"
#include "data/schema.h"
#include "values/val.h"

namespace zel::statuses {

namespace {

// The keys of the statuses whose letter is exactly `letter`. The server's
// comparison ignores letter case and trailing blanks, so its matches are
// narrowed here; `lock` takes them for update.
QVariantList withLetter(Database& db, const QString& letter, bool lock) {
    const RowSet rs = db.select(QStringLiteral("SELECT `ID`, `Status Letter` FROM `Status Table` "
                                               "WHERE `Status Letter` = ? ORDER BY `ID`") +
                                    (lock ? QStringLiteral(" FOR UPDATE") : QString()),
                                {letter});
    QVariantList ids;
    for (const auto& row : rs.rows)
        if (row[1].toString() == letter)
            ids << row[0];
    return ids;
}

// The letters stored that differ from `letter` only by letter case or by
// blanks around it ("b" beside "B").
QStringList lookAlikeLetters(Database& db, const QString& letter) {
    const RowSet rs =
        db.select(QStringLiteral("SELECT DISTINCT `Status Letter` FROM `Status Table` "
                                 "WHERE UPPER(TRIM(`Status Letter`)) = UPPER(TRIM(?))"),
                  {letter});
    QStringList out;
    for (const auto& row : rs.rows)
        if (row[0].toString() != letter)
            out << row[0].toString();
    return out;
}

// How many orders carry one of these statuses, on the order or on its lines.
qint64 ordersWithStatus(Database& db, const QVariantList& ids) {
    if (ids.isEmpty())
        return 0;
    const QString marks = QStringList(ids.size(), QStringLiteral("?")).join(u',');
    return db
        .scalar(
            QStringLiteral("SELECT COUNT(*) FROM `Order Information` o WHERE o.`Status` IN (%1) "
                           "OR EXISTS (SELECT 1 FROM `Order Details` d WHERE d.`Order ID` = "
                           "o.`Quote ID` AND d.`Parts Status` IN (%1))")
                .arg(marks),
            ids + ids)
        .toLongLong();
}

} // namespace

bool isApproved(const QVariant& id) {
    return !id.isNull() && Val(id.toString()) == kApproved;
}

QString listStatement() {
    return QStringLiteral("SELECT * FROM `Status Table`");
}

QString letterListStatement() {
    return QStringLiteral("SELECT `Status Letter`,`Status Description` From `Status Table`");
}

std::optional<QString> descriptionOf(const QString& letter) {
    Database& db = gConn();
    const QVariantList ids = withLetter(db, letter, false);
    if (ids.isEmpty())
        return std::nullopt;
    return db
        .scalar(QStringLiteral("SELECT `Status Description` FROM `Status Table` WHERE `ID` = ?"),
                {ids.first()})
        .toString();
}

qint64 ordersUsing(const QString& letter) {
    Database& db = gConn();
    return ordersWithStatus(db, withLetter(db, letter, false));
}

Removal remove(const QString& letter) {
    Database& db = gConn();
    Removal r;
    db.transaction([&] {
        r = {};
        const QVariantList ids = withLetter(db, letter, true);
        // Checked again: another workstation may have used it meanwhile.
        r.inUse = ordersWithStatus(db, ids);
        if (r.inUse > 0)
            return;
        for (const QVariant& id : ids)
            r.removed +=
                db.execute(QStringLiteral("Delete From `Status Table` Where `ID` = ?"), {id});
    });
    return r;
}

Saved save(const QString& letter, const QString& description) {
    Database& db = gConn();
    const QVariant letterValue =
        schema::columnValue(schema::StatusTable, QStringLiteral("Status Letter"), letter,
                            QStringLiteral("Status Letter"), &db);
    const QVariant descriptionValue =
        schema::columnValue(schema::StatusTable, QStringLiteral("Status Description"), description,
                            QStringLiteral("Status Description"), &db);
    Saved s;
    db.transaction([&] {
        s = {};
        const QVariantList ids = withLetter(db, letter, true);
        // "b" beside "B" would be a second status that reads as the same one.
        if (ids.isEmpty()) {
            const QStringList lookAlikes = lookAlikeLetters(db, letter);
            if (!lookAlikes.isEmpty()) {
                s.lookAlike = lookAlikes.first();
                return;
            }
            db.insert(
                QStringLiteral("INSERT INTO `Status Table` (`Status Letter`, `Status Description`) "
                               "VALUES (?, ?)"),
                {letterValue, descriptionValue});
        } else {
            db.execute(
                QStringLiteral("UPDATE `Status Table` SET `Status Description` = ? WHERE `ID` = ?"),
                {descriptionValue, ids.first()});
        }
        s.saved = true;
    });
    return s;
}

} // namespace zel::statuses
