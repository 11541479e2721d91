#include "connection/applog.h"
#include "connection/settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace zel {

namespace {
QString& current() {
    static QString path;
    return path;
}

// zel-purchasing.log -> .1 -> .2 -> .3; the oldest goes.
void rotate(const QString& path) {
    QFile::remove(path + QStringLiteral(".%1").arg(kLogKeep));
    for (int i = kLogKeep - 1; i >= 1; --i)
        QFile::rename(path + QStringLiteral(".%1").arg(i), path + QStringLiteral(".%1").arg(i + 1));
    QFile::rename(path, path + QStringLiteral(".1"));
}
} // namespace

QString defaultLogPath() {
    return QDir(workstationFolder()).filePath(QStringLiteral("zel-purchasing.log"));
}

void startLog(const QString& path) {
    current() = path;
}

QString logPath() {
    return current();
}

void writeLog(const QString& kind, const QString& text) {
    const QString path = current();
    if (path.isEmpty())
        return;
    if (QFileInfo(path).size() >= kLogMaxSize)
        rotate(path);
    QFile f(path);
    if (!f.open(QIODevice::Append | QIODevice::Text))
        return;
    QString line = text.trimmed();
    line.replace(QLatin1String("\r\n"), QLatin1String(" | ")).replace(u'\n', QLatin1String(" | "));
    const QString stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    f.write((stamp + u' ' + kind + QLatin1String(": ") + line + u'\n').toUtf8());
}

} // namespace zel
