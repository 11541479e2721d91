#pragma once
// The one database connection of the run and the ways the windows use it:
// row sets read by statements with bound values, inserts returning the new
// key, updates and deletes, transactions. Every failure is a DbError.
#include <QHash>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <chrono>
#include <functional>
#include <stdexcept>

namespace zel {

// A failed statement or an unreachable database. `number` is the server's
// error number (0 when there is none, e.g. no connection).
class DbError : public std::runtime_error {
public:
    DbError(int number, QString text, QString statement = {}, bool lost = false);
    int number() const { return number_; }
    const QString& text() const { return text_; }
    const QString& statement() const { return statement_; }
    // What the user is told: the server's text, made plain where it is cryptic.
    QString userMessage() const;
    // The connection was lost (the server went away, the session was killed).
    bool connectionLost() const { return lost_ || lostConnectionNumber(number_); }
    // The server and client error numbers that mean the connection is gone.
    static bool lostConnectionNumber(int number);
    // Another session held the same rows: a deadlock or a lock wait timeout.
    bool conflict() const { return number_ == 1213 || number_ == 1205; }

private:
    int number_;
    QString text_, statement_;
    bool lost_;
};

// One server of a mysql connection: a host and port, or a unix socket.
struct ServerAddress {
    QString host;
    int port = 0;
    QString socket;
    QString describe() const;
};

struct ConnectionSettings {
    QString driver; // "QMYSQL" or "QODBC"
    QString host;   // mysql only; the first server's
    int port = 0;   // mysql only, 0 for the default
    QString socket; // mysql only
    // mysql only: the servers of a cluster in the order they are tried; empty
    // for a single server (then host, port and socket say where it is).
    QList<ServerAddress> cluster;
    QString database; // mysql: database name; odbc: data source name
    QString user;
    QString password;
    // mysql only, an encrypted connection: "" or "PREFERRED" (encrypted when the
    // server offers it), "REQUIRED" (refused when it does not), "DISABLED";
    // the authority's certificate, and the client's own certificate and key.
    QString sslMode, sslCa, sslCert, sslKey;
    // mysql only: the ODBC driver (its name, or its library's path) that
    // reaches the server instead of Qt's MySQL driver: "?odbc-driver=" of the
    // URL, else $ZEL_ODBC_DRIVER. Where Qt has no MySQL driver (Windows), the
    // MariaDB ODBC driver is used all the same: "MariaDB ODBC 3.1 Driver".
    QString odbcDriver;
    // The Qt driver that opens the connection: "QODBC" for a mysql URL
    // reached through ODBC, else `driver`.
    QString qtDriver() const;
    // Why there is nothing to connect with (a malformed URL, a refused
    // configuration file); open() fails with this text.
    QString unusable;
    QString describe() const; // for messages, without the password
    // The servers to try, in order: one unless a cluster is named.
    QList<ServerAddress> servers() const;
};

// Reads "mysql://user:pw@host:port/db", "mysql://user:pw@localhost/db?socket=/p"
// or "odbc://user:pw@DSN". A mysql URL also takes ssl-mode, ssl-ca, ssl-cert
// and ssl-key ("?ssl-mode=REQUIRED&ssl-ca=/path/ca.pem"). The servers of a
// cluster are listed with commas: "mysql://u:p@db1:3306,db2:3307,db3/db" or
// "mysql://u:p@localhost/db?socket=/a.sock,/b.sock,/c.sock".
// Throws std::invalid_argument on a malformed URL.
ConnectionSettings parseDatabaseUrl(const QString& url);

// The rows of a select, read into memory with their column names.
struct RowSet {
    QStringList columns;
    QVector<QVector<QVariant>> rows;

    // Column index by name, without regard to case; -1 when absent.
    int indexOf(const QString& name) const;
    int size() const { return int(rows.size()); }
    bool isEmpty() const { return rows.isEmpty(); }
    const QVariant& at(int row, const QString& column) const;
};

class Database {
public:
    explicit Database(QString connectionName = QStringLiteral("zel"));
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Opens the connection to the first of the settings' servers that
    // answers; a cluster node that is not in step with the others (not
    // synced) counts as not answering. On failure remembers why and returns
    // false. A connection lost later is opened again on the next server that
    // answers, starting after the one that was lost.
    bool open(const ConnectionSettings& settings);
    bool isOpen() const;
    void close();
    // Closes and forgets the connection; open() sets it up again.
    void release();
    QString lastOpenError() const { return lastOpenError_; }
    const ConnectionSettings& settings() const { return settings_; }
    // Which of the settings' servers the connection is on (0 for the first).
    int server() const { return server_; }
    // The server is a node of a Galera cluster: its reads wait until they
    // see every write the cluster has committed before them.
    bool clusterNode() const { return clusterNode_; }
    // The table has an index of that name in the connection's database.
    // Asked of the server once per connection and remembered, so a statement
    // can name an index the practice's administrator may not have added.
    bool hasIndex(const QString& table, const QString& index);
    // Forgets what hasIndex() found, e.g. after a statement naming an index
    // failed because it had been dropped meanwhile.
    void forgetIndexes() { indexes_.clear(); }

    // All statements take '?' placeholders bound in order. On a cluster a
    // read that finds its node gone is read again from the next node.
    RowSet select(const QString& sql, const QVariantList& binds = {});
    // The first column of the first row, or a null QVariant.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});
    // Insert, update or delete; returns the number of rows affected.
    qint64 execute(const QString& sql, const QVariantList& binds = {});
    // An insert; returns the key the server assigned.
    qint64 insert(const QString& sql, const QVariantList& binds = {});

    // Runs `work` in one transaction: committed when it returns (and the
    // server confirmed the commit), rolled back when it throws (the exception
    // passes on). When another session deadlocks with it or keeps a row
    // locked too long (server errors 1213, 1205), the whole transaction is
    // rolled back and `work` is run again, a few times with a short random
    // pause, before the failure is passed on; so `work` must be re-runnable:
    // it sets its results afresh on every run and has no effect outside the
    // database before it returns. Nested inside another transaction() it
    // joins that one, and a failure goes to the outermost, which decides.
    // A connection lost on the way is not retried on a single server: the
    // action was not saved, and the next action connects again. On a cluster
    // the whole transaction is run again on the next node that answers, as
    // long as the loss came before the COMMIT was sent (a node that goes
    // takes its uncommitted work with it); a loss during the COMMIT is
    // reported, as what it stored is not known.
    template <class F> void transaction(F&& work) {
        const auto started = std::chrono::steady_clock::now();
        for (int attempt = 1;; ++attempt) {
            const bool outermost = depth_ == 0;
            if (!outermost) {
                begin();
            } else {
                // A connection found lost at the start: the next node of a cluster.
                try {
                    begin();
                } catch (const DbError& e) {
                    if (!retryAfter(e, attempt, started))
                        throw;
                    continue;
                }
            }
            try {
                work();
                commit();
                return;
            } catch (const DbError& e) {
                rollback();
                if (!outermost || !retryAfter(e, attempt, started))
                    throw;
            } catch (...) {
                rollback();
                throw;
            }
        }
    }
    void begin();
    void commit();
    void rollback();
    // True while a transaction is open on this connection.
    bool inTransaction() const { return depth_ > 0; }

    QSqlDatabase handle() const;

    // Called with each statement just before it goes to the server (also
    // START TRANSACTION and COMMIT); tests use it to cut the connection at a
    // chosen moment. Empty to stop.
    void setStatementHook(std::function<void(const QString&)> hook) { hook_ = std::move(hook); }

private:
    // Makes sure the connection is open, trying once to reopen a lost one.
    void ensureOpen();
    // Tries the servers in turn from `first`; true when one answered.
    bool openFrom(int first);
    // Opens server `index`; on failure returns why.
    QString openServer(int index);
    QSqlQuery run(const QString& sql, const QVariantList& binds);
    [[noreturn]] void fail(const class QSqlError& e, const QString& sql);
    // After a failure of the given attempt of a transaction first begun at
    // `started`: for a conflict with another session, waits a moment and
    // returns true when the transaction should be run again.
    bool retryAfter(const DbError& e, int attempt, std::chrono::steady_clock::time_point started);
    // Runs a read, once more on the next node of a cluster when its node went.
    QSqlQuery read(const QString& sql, const QVariantList& binds);
    // Forgets the transaction state: no transaction open.
    void resetTransaction();
    // What is thrown when a statement belongs to a transaction whose
    // connection was lost.
    DbError lostInTransaction() const;

    QString name_;
    ConnectionSettings settings_;
    bool configured_ = false;
    bool lost_ = false;
    int server_ = 0;
    bool clusterNode_ = false;
    QHash<QString, bool> indexes_; // hasIndex() answers on this connection
    int depth_ = 0;                // nesting of begin()
    bool doomed_ = false;          // a nested part failed: the whole transaction rolls back
    bool broken_ = false;          // the connection was lost inside the open transaction
    bool committing_ = false;
    bool lostAtCommit_ = false; // the connection went while a COMMIT was on its way
    QString lastOpenError_;
    std::function<void(const QString&)> hook_;
};

// The connection of the run.
Database& gConn();

} // namespace zel
