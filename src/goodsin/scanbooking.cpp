// Booking in by part code: what a barcode scanner types into the goods
// inward window (a code and Enter), or a count, a star and a code, finds the
// line of the order on screen and books that many more of it in, through the
// grid as a typed quantity would be.
#include "app/messages.h"
#include "connection/database.h"
#include "goodsin/frmgoodsin.h"
#include "values/localetext.h"

#include <QRegularExpression>
#include <QStatusBar>
#include <limits>

namespace zel {

namespace {

// The most one scan may book in at once.
constexpr qint64 kMaxCount = 9999;
// The most a line's booked-in quantity holds (a signed 32-bit column).
constexpr qint64 kMaxBooked = std::numeric_limits<qint32>::max();

const QString kNothingBooked = QStringLiteral("Nothing was booked in.");

// An action refused on the way, the reason already told; undoes the booking.
struct BookingRefused {};

QString listOfLines(const QList<int>& rows) {
    QStringList numbers;
    for (int r : rows)
        numbers << QString::number(r + 1);
    const QString last = numbers.takeLast();
    return numbers.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

// The lines whose part code is `code`, ignoring case and surrounding blanks.
QList<int> linesWithCode(const GridModel& m, int partIdColumn, const QString& code) {
    QList<int> rows;
    for (int r = 0; r < m.rowSet().size(); ++r)
        if (m.text(r, partIdColumn).trimmed().compare(code.trimmed(), Qt::CaseInsensitive) == 0)
            rows << r;
    return rows;
}

} // namespace

void frmGoodsIn::txtScan_Enter() {
    const QString typed = txtScan->text().trimmed();
    // Whatever happens, the next scan goes to the box again, replacing what
    // is there unless it was booked in and emptied.
    auto ready = [this] {
        txtScan->setFocus(Qt::OtherFocusReason);
        txtScan->selectAll();
    };
    if (typed.isEmpty())
        return ready();
    QString code = typed;
    qint64 count = 1;
    // A code that is itself on a line is booked as it stands, even with a star in it.
    const bool wholeCode = !linesWithCode(DataGrid1->model(), colPartId, typed).isEmpty();
    if (const qsizetype star = typed.indexOf(u'*'); star >= 0 && !wholeCode) {
        static const QRegularExpression digits(QStringLiteral("^\\+?[0-9]{1,9}$"));
        const QString countText = typed.left(star).trimmed();
        code = typed.mid(star + 1).trimmed();
        if (!digits.match(countText).hasMatch() || countText.toLongLong() < 1 ||
            countText.toLongLong() > kMaxCount) {
            messages().info(QStringLiteral("\"%1\" is not a count to book in. Type a whole number "
                                           "from 1 to %2, a star and the part code (eg "
                                           "3*IMP-100). %3")
                                .arg(countText, QString::number(kMaxCount), kNothingBooked));
            return ready();
        }
        count = countText.toLongLong();
        if (code.isEmpty()) {
            messages().info(QStringLiteral("Type the part code after the star (eg 3*IMP-100). %1")
                                .arg(kNothingBooked));
            return ready();
        }
    }
    if (BookIn(code, count))
        txtScan->clear();
    ready();
}

bool frmGoodsIn::BookIn(const QString& code, qint64 count) {
    if (count < 1 || count > kMaxCount) {
        messages().info(
            QStringLiteral("%1 is not a count to book in: it is 1 to %2. %3")
                .arg(QString::number(count), QString::number(kMaxCount), kNothingBooked));
        return false;
    }
    if (orderKey() == 0) {
        messages().info(QStringLiteral("There is no order on screen to book %1 in against. "
                                       "Please select a Suppliers Reference first.")
                            .arg(code));
        return false;
    }
    const GridModel& m = DataGrid1->model();
    const QList<int> rows = linesWithCode(m, colPartId, code);
    if (rows.isEmpty()) {
        messages().info(QStringLiteral("No line of this order has the part code \"%1\". %2")
                            .arg(code, kNothingBooked));
        return false;
    }
    if (rows.size() > 1) {
        messages().info(
            QStringLiteral("The part code \"%1\" is on %2 lines of this order "
                           "(lines %3). %4 Type the quantity into the line meant.")
                .arg(code, QString::number(rows.size()), listOfLines(rows), kNothingBooked));
        return false;
    }
    const int row = rows.front();
    DataGrid1->setCurrentCell(row, colQtyBI);
    DataGrid1->scrollTo(m.index(row, colQtyBI));
    const qint64 before = m.value(row, colQtyBI).toLongLong();
    if (before > kMaxBooked - count) {
        messages().info(QStringLiteral("%1 more of %2 would make more booked in on line %3 than "
                                       "can be stored (%4). %5")
                            .arg(QString::number(count), describeLine(row),
                                 QString::number(row + 1), QString::number(kMaxBooked),
                                 kNothingBooked));
        return false;
    }
    const qint64 booked = before + count;
    // More than was ordered is asked first, as when the quantity is typed.
    const QString question = overBookingQuestion(row, colQtyBI, QString::number(booked));
    if (!question.isEmpty() && !messages().questionDefaultNo(question, QString()))
        return false;
    if (!writeBooking(row, booked))
        return false;
    statusBar()->showMessage(QStringLiteral("Booked in %1 of %2 on line %3: %4 of %5 now in")
                                 .arg(QString::number(count), describeLine(row),
                                      QString::number(row + 1), QString::number(booked),
                                      m.text(row, colQuantity)));
    return true;
}

bool frmGoodsIn::writeBooking(int row, qint64 booked) {
    GridModel& m = DataGrid1->model();
    const QVariant key = m.value(row, colID);
    try {
        gConn().transaction([&] {
            // Each try starts from the line as it is shown.
            const int at = m.rowOfKey(key);
            if (at < 0 || !m.writeConfirmedCell(at, colQtyBI, QString::number(booked)))
                throw BookingRefused{};
            if (m.value(at, colDateBI).isNull() && !m.writeCell(at, colDateBI, todayText()))
                throw BookingRefused{};
        });
    } catch (const BookingRefused&) {
        // The grid said why; it shows again what is stored.
        m.reload();
        return false;
    } catch (const DbError&) {
        // What the grid shows of a booking that was not stored goes; the
        // failure itself is what the user is told.
        try {
            m.reload();
        } catch (const DbError&) {
        }
        throw;
    }
    return true;
}

} // namespace zel
