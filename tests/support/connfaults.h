#pragma once
// Cutting the program's connection at a chosen moment of an action, as a
// dropped network or a restarted server would: a second session of the test
// database holds row locks so the action blocks where the test wants it, and
// kills the program's session from outside (KILL CONNECTION).
#include "connection/database.h"

#include <functional>

namespace zel::test {

// Another workstation's session on this binary's test database. What it reads
// is what is really committed, whatever the program's session holds open.
class SecondSession {
public:
    explicit SecondSession(const QString& name = QStringLiteral("second"));
    ~SecondSession();
    Database& db() { return db_; }
    // Locks the rows `sql` (a SELECT ... FOR UPDATE) reads, until release().
    void lock(const QString& sql, const QVariantList& binds = {});
    void release();
    QVariant one(const QString& sql, const QVariantList& binds = {});
    int count(const QString& table, const QString& where = QStringLiteral("1=1"),
              const QVariantList& binds = {});
    // Ends the session with server id `id` at once.
    void kill(qint64 id);

private:
    Database db_;
    bool locking_ = false;
};

// The server's id of the program's session (gConn).
qint64 programSessionId();

// Runs `action`; meanwhile a watcher on a connection of its own waits until
// the program's session is busy with a statement containing `fragment` (held
// there by a lock of a SecondSession), then kills that session. True when it
// did. The program's lock waits are cut to a few seconds first, so a test
// that misses its moment fails instead of hanging.
bool killWhileBlocked(const QString& fragment, const std::function<void()>& action);

// Runs `action` and kills the program's session just before its statement
// number `n` (from 0; START TRANSACTION and COMMIT count) reaches the server.
// Only statements `counts` accepts are numbered (all when empty); `at` gets
// the start of the one cut before. Returns how many statements were numbered;
// with n < 0 nothing is killed, which counts the moments to sweep.
int killBeforeStatement(int n, const std::function<void()>& action,
                        const std::function<bool(const QString&)>& counts = {},
                        QString* at = nullptr);

} // namespace zel::test
