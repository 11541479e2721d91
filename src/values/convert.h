#pragma once
// The one conversion of a box's text to a column's value: empty text is NULL,
// numbers, money and dates are checked, and a text that does not convert is
// refused with a message naming the field and the text.
#include <QString>
#include <QVariant>
#include <stdexcept>

namespace zel {

enum class Kind { Text, Number, Integer, Money, Date, Flag };

class ConversionError : public std::runtime_error {
public:
    ConversionError(QString field, QString text, QString message)
        : std::runtime_error(message.toStdString()), field_(std::move(field)),
          text_(std::move(text)), message_(std::move(message)) {}
    const QString& field() const { return field_; }
    const QString& text() const { return text_; }
    const QString& message() const { return message_; }

private:
    QString field_, text_, message_;
};

// Converts `text` for a column of `kind`. The result is a null QVariant for
// empty text, else a value ready to bind (QString for texts and decimals,
// QDate for dates, qlonglong for integers and flags). Throws ConversionError.
QVariant toColumnValue(Kind kind, const QString& text, const QString& field);

// Display text of a stored value: numbers without trailing zeros, money with
// at least two decimals, dates in the system's short form, NULL as "".
QString displayText(Kind kind, const QVariant& value);

} // namespace zel
