#pragma once
// Order statuses: the two the program itself relies on, and the statements
// and rules of the status list (`Status Table`).
#include "connection/database.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zel::statuses {

// `Status Table`.`ID` of an approved order: choosing it posts the order to
// the ledger.
inline constexpr int kApproved = 1;
// What an order falls back to when the user declines its approval.
inline constexpr int kDeclined = 2;
// The letter of the approved status, which the status editor never deletes.
inline const QString kApprovedLetter = QStringLiteral("A");

// True when `id` (a status list's key, as text or number) is the approved status.
bool isApproved(const QVariant& id);

// The statuses for the order windows' lists (list `Status Description`, key `ID`).
QString listStatement();
// The statuses for the status editor's list (list `Status Description`, key `Status Letter`).
QString letterListStatement();

// The description of the status whose letter is exactly `letter`; none when
// no such status is stored (deleted meanwhile).
std::optional<QString> descriptionOf(const QString& letter);

// How many orders carry a status with the letter `letter`, on the order or
// on one of its lines.
qint64 ordersUsing(const QString& letter);

// How a delete ended: `removed` rows; none when `inUse` orders carry the
// status (checked again under lock) or no such status is stored.
struct Removal {
    qint64 removed = 0;
    qint64 inUse = 0;
};
// Deletes the statuses whose letter is exactly `letter`, in one transaction,
// unless orders carry them. The approved status's letter is never passed here.
Removal remove(const QString& letter);

// How a save ended: saved, or refused because a stored letter differs from
// the new one only by letter case or blanks (`lookAlike` names it).
struct Saved {
    bool saved = false;
    QString lookAlike;
};
// Adds the status `letter`, or changes the description of the stored one, in
// one transaction. Throws ConversionError for a text that does not fit.
Saved save(const QString& letter, const QString& description);

} // namespace zel::statuses
