#pragma once
// Texts in the workstation's locale: currency amounts and dates.
#include "values/money.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace zel {

// The amount as the locale's currency text ("£1,234.50" in the UK). A negative
// decimals uses the locale's own number of decimals.
QString currencyText(Money amount, int decimals = -1);
// Reads a currency text back by the locale's rules (symbol, grouping, minus
// sign or brackets); plain numbers are taken too. Empty or unreadable text
// gives nothing.
std::optional<Money> parseCurrency(const QString& text);

// The system's date separator ("/" in the UK).
QChar dateSeparator();
// Today as day, month and four-digit year, in that order, with the system's
// separator: "05/03/2026".
QString todayText(QDate today = QDate::currentDate());
// A date in the system's short date form, used wherever a stored date is shown.
QString shortDateText(const QDate& date);
// A typed date read in the workstation's date order (day, month, year in the
// UK); two-digit years fall in 1930..2029; "yyyy-mm-dd" is taken too. A text
// that is no valid date gives nothing.
// A time after the date ("05/03/2026 14:30", "14:30:15") must be a valid
// time, or the text is no date.
std::optional<QDate> parseUserDate(const QString& text);

// What a typed date text holds, for messages that say what was wrong.
struct TypedDate {
    std::optional<QDate> date; // nothing when the date part is not a date
    bool hasTime = false;      // a time followed the date
    bool timeValid = true;     // that time is a real time of day
    QTime time;
};
TypedDate readUserDate(const QString& text);

} // namespace zel
