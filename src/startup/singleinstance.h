#pragma once
// One copy of the program per user. The first start holds a lock file and
// listens on a local socket beside it; a later start finds the lock taken,
// asks the first copy through the socket to bring its window to the front,
// and ends, before it touches the database.
#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QWidget>

namespace zel {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `lockPath` is the per-user lock; the socket is the same name ending
    // in ".sock" in the same folder.
    explicit SingleInstance(const QString& lockPath, QObject* parent = nullptr);
    ~SingleInstance() override;

    static QString socketPathFor(const QString& lockPath);
    QString socketPath() const { return socketPath_; }

    // True when this is the first copy: the lock is now held and requests to
    // come forward are listened for. A socket left behind by a copy that
    // crashed is cleared first.
    bool claim();
    // From a later start: asks the running copy to bring its window forward;
    // `window` is the window this start asked for (0 purchase orders, else
    // goods inward), for the running copy's log. Waits at most `timeoutMs`
    // for the running copy to listen; true when the request was handed over.
    bool askFirstToRaise(int window, int timeoutMs = 2000);

    // The window brought forward when asked (a dialog the program waits on
    // comes forward instead while it is open).
    void setWindow(QWidget* window) { window_ = window; }

signals:
    // A later start asked for its window (after this copy's window came forward).
    void raiseRequested(int window);

private:
    void acceptRequests();
    void handleRequest(const QByteArray& line);
    void bringForward();

    QString socketPath_;
    QLockFile lock_;
    QLocalServer server_;
    QPointer<QWidget> window_;
};

} // namespace zel
