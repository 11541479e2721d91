#include "startup/singleinstance.h"
#include "connection/applog.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QThread>

namespace zel {

namespace {
const QByteArray kRaise = QByteArrayLiteral("raise ");
// A request is one short line; anything longer is not ours.
constexpr qint64 kMaxRequest = 64;
} // namespace

SingleInstance::SingleInstance(const QString& lockPath, QObject* parent)
    : QObject(parent), socketPath_(socketPathFor(lockPath)), lock_(lockPath) {
    // Only a lock whose owner is gone is stale; age alone never is.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    server_.close();
}

QString SingleInstance::socketPathFor(const QString& lockPath) {
    const QFileInfo lock(lockPath);
    QString name = lock.fileName();
    if (name.endsWith(QLatin1String(".lock")))
        name.chop(5);
    return QDir(lock.absolutePath()).filePath(name + QLatin1String(".sock"));
}

bool SingleInstance::claim() {
    if (!lock_.tryLock(0))
        return false;
    // Whatever is at the socket's name now was left by a copy that ended
    // without cleaning up: this copy holds the lock.
    QLocalServer::removeServer(socketPath_);
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_.listen(socketPath_)) {
        // The program runs on; a later start then ends without raising it.
        writeLog(QStringLiteral("error"), QStringLiteral("cannot listen on %1 for later starts: %2")
                                              .arg(socketPath_, server_.errorString()));
        return true;
    }
    connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::acceptRequests);
    return true;
}

bool SingleInstance::askFirstToRaise(int window, int timeoutMs) {
    QLocalSocket socket;
    const QDeadlineTimer deadline(timeoutMs);
    // The running copy may hold the lock but not listen yet.
    for (;;) {
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(int(std::max<qint64>(0, deadline.remainingTime()))))
            break;
        socket.abort();
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(kRaise + QByteArray::number(window) + '\n');
    const bool sent =
        socket.waitForBytesWritten(int(std::max<qint64>(100, deadline.remainingTime())));
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::acceptRequests() {
    while (QLocalSocket* peer = server_.nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        auto read = [this, peer] {
            while (peer->canReadLine())
                handleRequest(peer->readLine(kMaxRequest).trimmed());
            if (peer->bytesAvailable() > kMaxRequest)
                peer->abort();
        };
        connect(peer, &QLocalSocket::readyRead, this, read);
        read();
    }
}

void SingleInstance::handleRequest(const QByteArray& line) {
    if (!line.startsWith(kRaise))
        return;
    bool ok = false;
    const int window = line.mid(kRaise.size()).toInt(&ok);
    if (!ok)
        return;
    bringForward();
    writeLog(
        QStringLiteral("raised"),
        QStringLiteral("a second start (asking for the %1 window) brought this copy's window "
                       "to the front")
            .arg(window == 0 ? QStringLiteral("purchase order") : QStringLiteral("goods inward")));
    emit raiseRequested(window);
}

void SingleInstance::bringForward() {
    QWidget* w = QApplication::activeModalWidget();
    if (!w)
        w = window_;
    if (!w)
        return;
    w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace zel
