#include "support/connfaults.h"
#include "support/testdb.h"

#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <thread>

namespace zel::test {

SecondSession::SecondSession(const QString& name) : db_(name) {
    if (!db_.open(testSettings()))
        throw std::runtime_error("second session: " + db_.lastOpenError().toStdString());
}

SecondSession::~SecondSession() {
    release();
}

void SecondSession::lock(const QString& sql, const QVariantList& binds) {
    if (!locking_)
        db_.begin();
    locking_ = true;
    db_.select(sql, binds);
}

void SecondSession::release() {
    if (locking_)
        db_.rollback();
    locking_ = false;
}

QVariant SecondSession::one(const QString& sql, const QVariantList& binds) {
    return db_.scalar(sql, binds);
}

int SecondSession::count(const QString& table, const QString& where, const QVariantList& binds) {
    return one(QStringLiteral("SELECT COUNT(*) FROM `%1` WHERE %2").arg(table, where), binds)
        .toInt();
}

void SecondSession::kill(qint64 id) {
    db_.execute(QStringLiteral("KILL CONNECTION %1").arg(id));
}

qint64 programSessionId() {
    return gConn().scalar(QStringLiteral("SELECT CONNECTION_ID()")).toLongLong();
}

bool killWhileBlocked(const QString& fragment, const std::function<void()>& action) {
    gConn().execute(QStringLiteral("SET SESSION innodb_lock_wait_timeout = 5"));
    const qint64 id = programSessionId();
    std::atomic<bool> done{false}, killed{false};
    std::thread watcher([&] {
        Database w(QStringLiteral("watcher"));
        if (!w.open(testSettings()))
            return;
        QElapsedTimer t;
        t.start();
        while (!done && t.elapsed() < 10000) {
            const QString info =
                w.scalar(
                     QStringLiteral("SELECT INFO FROM information_schema.PROCESSLIST WHERE ID = ?"),
                     {id})
                    .toString();
            if (info.contains(fragment)) {
                // It cannot get past the lock: let it settle into the wait.
                QThread::msleep(100);
                w.execute(QStringLiteral("KILL CONNECTION %1").arg(id));
                killed = true;
                return;
            }
            QThread::msleep(5);
        }
    });
    try {
        action();
    } catch (...) {
        done = true;
        watcher.join();
        throw;
    }
    done = true;
    watcher.join();
    return killed;
}

int killBeforeStatement(int n, const std::function<void()>& action,
                        const std::function<bool(const QString&)>& counts, QString* at) {
    const qint64 id = programSessionId();
    Database killer(QStringLiteral("killer"));
    if (!killer.open(testSettings()))
        throw std::runtime_error("killer session: " + killer.lastOpenError().toStdString());
    int sent = 0;
    withStatementHook(
        [&](const QString& sql) {
            if (counts && !counts(sql))
                return;
            if (sent++ == n) {
                if (at)
                    *at = sql.left(48);
                try {
                    killer.execute(QStringLiteral("KILL CONNECTION %1").arg(id));
                } catch (const DbError&) {
                    // already gone
                }
            }
        },
        action);
    return sent;
}

} // namespace zel::test
