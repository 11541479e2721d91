#include "app/csvfile.h"
#include "app/money.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <QTime>
#include <stdexcept>

namespace zel::csv {

namespace {

// A Money as plain decimals: at least two, up to the four it keeps.
QString moneyText(Money m) {
    QString s = m.toPlainText();
    const qsizetype dot = s.indexOf(u'.');
    if (dot < 0)
        return s + QStringLiteral(".00");
    if (s.size() - dot - 1 < 2)
        s += u'0';
    return s;
}

bool needsQuotes(const QString& f) {
    if (f.isEmpty())
        return false;
    for (const QChar c : f)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    return f.front().isSpace() || f.back().isSpace();
}

void append(QString& out, const QStringList& record) {
    // One empty field alone would make a blank line, which readers skip.
    if (record.size() == 1 && record.front().isEmpty()) {
        out += QStringLiteral("\"\"\r\n");
        return;
    }
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (i > 0)
            out += u',';
        const QString& f = record[i];
        if (!needsQuotes(f)) {
            out += f;
            continue;
        }
        out += u'"';
        out += QString(f).replace(u'"', QStringLiteral("\"\""));
        out += u'"';
    }
    out += QStringLiteral("\r\n");
}

} // namespace

QString field(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return {};
    if (v.metaType() == QMetaType::fromType<Money>())
        return moneyText(v.value<Money>());
    switch (v.typeId()) {
    case QMetaType::QDate:
        return v.toDate().toString(Qt::ISODate);
    case QMetaType::QDateTime:
        return v.toDateTime().date().toString(Qt::ISODate);
    case QMetaType::QTime:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case QMetaType::Double:
    case QMetaType::Float:
        // Shortest text that reads back as the same number, never 1e+06.
        return QLocale::c().toString(v.toDouble(), 'f', QLocale::FloatingPointShortest);
    default:
        return v.toString();
    }
}

QByteArray encode(const QStringList& header, const QList<QStringList>& rows) {
    QString text;
    append(text, header);
    for (const QStringList& row : rows)
        append(text, row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

void save(const QString& path, const QStringList& header, const QList<QStringList>& rows) {
    auto failure = [&](const QString& why) {
        return std::runtime_error(QStringLiteral("Cannot save %1: %2")
                                      .arg(QDir::toNativeSeparators(path), why)
                                      .toStdString());
    };
    const QByteArray bytes = encode(header, rows);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw failure(file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw failure(why);
    }
    if (!file.commit())
        throw failure(file.errorString());
}

} // namespace zel::csv
