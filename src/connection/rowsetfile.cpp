#include "connection/rowsetfile.h"
#include "connection/applog.h"
#include "connection/rowsetformat.h"
#include "connection/settings.h"
#include "values/adtgfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace zel {

using namespace rowsets;

namespace {

bool isNameStart(QChar c) {
    return c.isLetter() || c == u'_';
}

bool isNameChar(QChar c) {
    if (isNameStart(c))
        return true;
    if (c.unicode() < 0x80)
        return c.isDigit() || c == u'-' || c == u'.';
    return c.isLetterOrNumber() || c.isMark() || c.unicode() == 0xB7;
}

bool isHex(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

} // namespace

RowSetFileError rowsets::readFailure(const QString& path, const QString& why) {
    return RowSetFileError(path, QStringLiteral("Cannot read %1: %2").arg(path, why));
}

RowSetFileError rowsets::writeFailure(const QString& path, const QString& why) {
    return RowSetFileError(path, QStringLiteral("Cannot write %1: %2").arg(path, why));
}

QString encodeRowSetName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        // An underscore before an x would read back as the start of a code.
        const bool escapeUnderscore =
            c == u'_' && i + 1 < name.size() && (name[i + 1] == u'x' || name[i + 1] == u'X');
        const bool valid = i == 0 ? isNameStart(c) : isNameChar(c);
        if (valid && !escapeUnderscore)
            out += c;
        else
            out += QStringLiteral("_x") +
                   QString::number(c.unicode(), 16).toUpper().rightJustified(4, u'0') + u'_';
    }
    return out;
}

QString decodeRowSetName(const QString& encoded) {
    // The width of the code at `i` (_xHHHH_, or _xHHHHHHHH_ beyond 16 bits), 0 if none.
    auto codeAt = [&](qsizetype i) -> int {
        if (encoded[i] != u'_' || i + 1 >= encoded.size() || encoded[i + 1] != u'x')
            return 0;
        for (int width : {8, 4}) {
            if (i + 2 + width >= encoded.size() || encoded[i + 2 + width] != u'_')
                continue;
            const QStringView hex = QStringView(encoded).mid(i + 2, width);
            if (std::all_of(hex.begin(), hex.end(), isHex))
                return width;
        }
        return 0;
    };
    QString out;
    out.reserve(encoded.size());
    for (qsizetype i = 0; i < encoded.size(); ++i) {
        if (const int width = codeAt(i)) {
            const char32_t code = QStringView(encoded).mid(i + 2, width).toUInt(nullptr, 16);
            // Four digits are one UTF-16 unit, possibly half of a surrogate pair.
            if (width == 4)
                out += QChar(char16_t(code));
            else
                out += QString::fromUcs4(&code, 1);
            i += 2 + width;
        } else {
            out += encoded[i];
        }
    }
    return out;
}

void writeRowSetFile(const QString& path, const QList<RowSetFileColumn>& cols, const RowSet& rows) {
    // Composed in memory first: every value is checked before anything
    // reaches the disk.
    const QByteArray bytes = xmlRowSetBytes(path, cols, rows);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw writeFailure(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw writeFailure(path, why);
    }
    if (!file.commit())
        throw writeFailure(path, file.errorString());
}

RowSetFile readRowSetFile(const QString& path, int ansiCodePage) {
    auto failure = [&](const QString& why) { return readFailure(path, why); };
    QFile file(path);
    if (!file.exists())
        throw failure(QStringLiteral("there is no such file"));
    // A pipe or device named like the file would block or never end.
    const QFileInfo info(path);
    if (!info.isFile())
        throw failure(QStringLiteral("it is not a regular file"));
    if (info.size() > maxRowSetFileBytes)
        throw failure(
            QStringLiteral("it is larger than %1 MB").arg(maxRowSetFileBytes / (1024 * 1024)));
    if (!file.open(QIODevice::ReadOnly))
        throw failure(file.errorString());
    return readRowSetBytes(file.read(maxRowSetFileBytes + 1), path, ansiCodePage);
}

RowSetFile readRowSetBytes(const QByteArray& bytes, const QString& path, int ansiCodePage) {
    auto failure = [&](const QString& why) { return readFailure(path, why); };
    // The file may have grown after its size was looked at.
    if (bytes.size() > maxRowSetFileBytes)
        throw failure(
            QStringLiteral("it is larger than %1 MB").arg(maxRowSetFileBytes / (1024 * 1024)));
    // The format is the one the first bytes show, whatever the file's name.
    if (adtg::isTableGram(bytes)) {
        try {
            return fromRecordset(adtg::read(bytes, ansiCodePage, maxRowSetCells));
        } catch (const adtg::Error& e) {
            throw failure(e.message());
        }
    }
    if (!looksLikeXml(bytes))
        throw failure(QStringLiteral("it is not a recordset file (neither binary nor XML)"));
    return readXmlRowSet(bytes, path);
}

std::optional<QString> readSetting(const QString& item) {
    const QString path = QDir(workstationFolder()).filePath(QStringLiteral("zelsysconfig.adtg"));
    if (!QFileInfo::exists(path))
        return std::nullopt;
    try {
        const RowSetFile file = readRowSetFile(path);
        const int itemColumn = file.rows.indexOf(QStringLiteral("Item"));
        const int valueColumn = file.rows.indexOf(QStringLiteral("TextValue"));
        if (itemColumn < 0 || valueColumn < 0)
            return std::nullopt;
        for (const auto& row : file.rows.rows)
            if (row.size() > std::max(itemColumn, valueColumn) &&
                row[itemColumn].toString().compare(item, Qt::CaseInsensitive) == 0)
                return row[valueColumn].isNull() ? QStringLiteral("") : row[valueColumn].toString();
    } catch (const RowSetFileError& e) {
        // An unreadable settings file holds no settings; the log says why.
        writeLog(QStringLiteral("settings file"), e.message());
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

} // namespace zel
