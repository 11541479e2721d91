#include "connection/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <unistd.h>

namespace zel::platform {

QString defaultWorkstationFolder() {
    return QDir::home().filePath(QStringLiteral("ZelData"));
}

QString defaultWorkstationFolderText() {
    return QStringLiteral("~/ZelData");
}

QString configFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
        .filePath(QStringLiteral("zel-purchasing"));
}

QString configFolderText() {
    return QStringLiteral("~/.config/zel-purchasing");
}

FileAccess fileAccess(const QString& path) {
    const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup |
                        QFileDevice::WriteOther;
    FileAccess a;
    a.othersMay = (QFileInfo(path).permissions() & others) != 0;
    return a;
}

QString ownerOnlyAdvice(const QString& path) {
    return QStringLiteral("chmod 600 %1").arg(path);
}

QString restrictToOwner(const QString& path) {
    const bool dir = QFileInfo(path).isDir();
    auto perms = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    if (dir)
        perms |= QFileDevice::ExeOwner;
    QFile f(path);
    return f.setPermissions(perms) ? QString() : f.errorString();
}

QString instanceLockPath() {
    return QDir::temp().filePath(QStringLiteral("zel-purchasing-%1.lock").arg(getuid()));
}

QByteArray windowlessPlatform() {
    return QByteArrayLiteral("offscreen");
}

void prepareProcess() {
    // Without TZ the C library looks at /etc/localtime again for every date
    // it converts (every DATETIME of every row read); naming the same file
    // once keeps the zone it read.
    if (qEnvironmentVariableIsEmpty("TZ"))
        qputenv("TZ", ":/etc/localtime");
}

} // namespace zel::platform
