#pragma once
// The one database connection of the run and the ways the windows use it:
// row sets read by statements with bound values, inserts returning the new
// key, updates and deletes, transactions. Every failure is a DbError.
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <stdexcept>

namespace zel {

// A failed statement or an unreachable database. `number` is the server's
// error number (0 when there is none, e.g. no connection).
class DbError : public std::runtime_error {
public:
    DbError(int number, QString text, QString statement = {});
    int number() const { return number_; }
    const QString& text() const { return text_; }
    const QString& statement() const { return statement_; }
    // What the user is told: the server's text, made plain where it is cryptic.
    QString userMessage() const;

private:
    int number_;
    QString text_, statement_;
};

struct ConnectionSettings {
    QString driver;   // "QMYSQL" or "QODBC"
    QString host;     // mysql only
    int port = 0;     // mysql only, 0 for the default
    QString socket;   // mysql only
    QString database; // mysql: database name; odbc: data source name
    QString user;
    QString password;
    // mysql only, an encrypted connection: "" or "PREFERRED" (encrypted when the
    // server offers it), "REQUIRED" (refused when it does not), "DISABLED";
    // the authority's certificate, and the client's own certificate and key.
    QString sslMode, sslCa, sslCert, sslKey;
    // Why there is nothing to connect with (a malformed URL, a refused
    // configuration file); open() fails with this text.
    QString unusable;
    QString describe() const; // for messages, without the password
};

// Reads "mysql://user:pw@host:port/db", "mysql://user:pw@localhost/db?socket=/p"
// or "odbc://user:pw@DSN". A mysql URL also takes ssl-mode, ssl-ca, ssl-cert
// and ssl-key ("?ssl-mode=REQUIRED&ssl-ca=/path/ca.pem").
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

    // Opens the connection; on failure remembers why and returns false.
    bool open(const ConnectionSettings& settings);
    bool isOpen() const;
    void close();
    // Closes and forgets the connection; open() sets it up again.
    void release();
    QString lastOpenError() const { return lastOpenError_; }
    const ConnectionSettings& settings() const { return settings_; }

    // All statements take '?' placeholders bound in order.
    RowSet select(const QString& sql, const QVariantList& binds = {});
    // The first column of the first row, or a null QVariant.
    QVariant scalar(const QString& sql, const QVariantList& binds = {});
    // Insert, update or delete; returns the number of rows affected.
    qint64 execute(const QString& sql, const QVariantList& binds = {});
    // An insert; returns the key the server assigned.
    qint64 insert(const QString& sql, const QVariantList& binds = {});

    // Runs `work` in one transaction: committed when it returns, rolled back
    // when it throws (the exception passes on).
    template <class F> void transaction(F&& work) {
        begin();
        try {
            work();
        } catch (...) {
            rollback();
            throw;
        }
        commit();
    }
    void begin();
    void commit();
    void rollback();

    QSqlDatabase handle() const;

private:
    // Makes sure the connection is open, trying once to reopen a lost one.
    void ensureOpen();
    QSqlQuery run(const QString& sql, const QVariantList& binds);
    [[noreturn]] void fail(const class QSqlError& e, const QString& sql);

    QString name_;
    ConnectionSettings settings_;
    bool configured_ = false;
    bool lost_ = false;
    int depth_ = 0;
    QString lastOpenError_;
};

// The connection of the run.
Database& gConn();

} // namespace zel
