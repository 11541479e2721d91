#include "support/testdb.h"
#include "app/dialogs.h"
#include "connection/platform.h"
#include "data/schema.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>
#include <mutex>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>

#include <aclapi.h>
#endif

namespace zel::test {

namespace {
QString env(const char* name) {
    return QProcessEnvironment::systemEnvironment().value(QString::fromLatin1(name));
}
QString dbName() {
    QString n = env("ZEL_TEST_DB_NAME");
    return n.isEmpty() ? QStringLiteral("zel_test") : n;
}
const QStringList& tables() {
    static const QStringList all = {schema::OrderInformation, schema::OrderDetails,
                                    schema::Products,         schema::ProductGroup,
                                    schema::EmployeeData,     schema::StatusTable,
                                    schema::GlobalSysConfig,  schema::SysConfig,
                                    schema::Transaction,      schema::SelectedSalesRep};
    return all;
}

// A run as the workstations' user (ZEL_TEST_USER): the tests' gConn has only
// the rights of db/grants.sql (ZEL_TEST_GRANTS); the database is made and
// refilled through an administrator's connection of its own.
bool restricted() {
    return !env("ZEL_TEST_USER").isEmpty();
}

QString urlOf(const QString& database, const QString& user, const QString& password) {
    // Through ODBC when $ZEL_ODBC_DRIVER names the MariaDB ODBC driver, or
    // where Qt has no MySQL driver (Windows).
    return QStringLiteral("mysql://%1:%2@localhost/%3?socket=%4")
        .arg(user, password, database, env("ZEL_TEST_SOCKET"));
}

// The administrator's settings for another database of the test server.
ConnectionSettings adminSettings(const QString& database) {
    return parseDatabaseUrl(urlOf(database, QStringLiteral("zel"), QStringLiteral("zel")));
}
Database& adminConnection() {
    // Left open until the process ends, after the application is gone.
    static Database* admin = new Database(QStringLiteral("zel-test-admin"));
    return *admin;
}

void grantRestrictedUser() {
    QFile file(env("ZEL_TEST_GRANTS"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw std::runtime_error("cannot read the grants file " + file.fileName().toStdString());
    Database& admin = adminConnection();
    if (!admin.open(adminSettings(dbName())))
        throw std::runtime_error("cannot open the test database as its administrator");
    QStringList statements = {
        QStringLiteral("CREATE USER IF NOT EXISTS '%1'@'%' IDENTIFIED BY '%2'")
            .arg(env("ZEL_TEST_USER"), env("ZEL_TEST_PASSWORD"))};
    QString sql;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n'))
        if (!line.trimmed().startsWith(QLatin1String("--")))
            sql += line + u'\n';
    for (const QString& st : sql.split(u';'))
        if (!st.trimmed().isEmpty())
            statements << st.trimmed();
    QSqlQuery q(admin.handle());
    for (const QString& st : statements)
        if (!q.exec(st))
            throw std::runtime_error("grant failed: " + q.lastError().text().toStdString());
}
} // namespace

bool underWine() {
#ifdef Q_OS_WIN
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

void setFileAccess(const QString& path, QFileDevice::Permissions perms) {
#ifdef Q_OS_WIN
    // Made anew in a folder closed to others first, as the program writes
    // it: Wine keeps a file's access list in its mode bits, and does not
    // always take a grant to Everyone back from an existing file.
    platform::restrictToOwner(QFileInfo(path).absolutePath());
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    file.close();
    file.remove();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write " + path.toStdString());
    file.close();
    if (const QString why = platform::restrictToOwner(path); !why.isEmpty())
        throw std::runtime_error("cannot restrict " + path.toStdString() + ": " +
                                 why.toStdString());
    const auto read = QFileDevice::ReadGroup | QFileDevice::ReadOther;
    const auto write = QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!(perms & (read | write)))
        return;
    std::wstring native = QDir::toNativeSeparators(path).toStdWString();
    PACL old = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    GetNamedSecurityInfoW(native.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                          nullptr, &old, nullptr, &sd);
    BYTE everyone[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof everyone;
    CreateWellKnownSid(WinWorldSid, nullptr, everyone, &size);
    EXPLICIT_ACCESSW ea = {};
    ea.grfAccessPermissions =
        ((perms & read) ? GENERIC_READ : 0) | ((perms & write) ? GENERIC_WRITE : 0);
    ea.grfAccessMode = GRANT_ACCESS;
    ea.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    ea.Trustee.ptstrName = reinterpret_cast<LPWSTR>(everyone);
    PACL acl = nullptr;
    SetEntriesInAclW(1, &ea, old, &acl);
    const DWORD rc = SetNamedSecurityInfoW(native.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                           nullptr, nullptr, acl, nullptr);
    LocalFree(acl);
    LocalFree(sd);
    if (rc != ERROR_SUCCESS)
        throw std::runtime_error("cannot open " + path.toStdString() + " to others");
#else
    if (!QFile::setPermissions(path, perms))
        throw std::runtime_error("cannot set the permissions of " + path.toStdString());
#endif
}

bool onlyOwnerMay(const QString& path) {
#ifdef Q_OS_WIN
    const platform::FileAccess a = platform::fileAccess(path);
    return !a.othersMay && a.uncheckable.isEmpty();
#else
    return (QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser)) ==
           (QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

bool throughOdbc() {
    return testSettings().qtDriver() == QLatin1String("QODBC");
}

QString testDatabaseUrl() {
    const QString user = restricted() ? env("ZEL_TEST_USER") : QStringLiteral("zel");
    const QString password = restricted() ? env("ZEL_TEST_PASSWORD") : QStringLiteral("zel");
    return urlOf(dbName(), user, password);
}

ConnectionSettings testSettings() {
    return parseDatabaseUrl(testDatabaseUrl());
}

void resetDatabase(Seed seed) {
    static bool created = false;
    Database& db = restricted() ? adminConnection() : gConn();
    if (!created) {
        if (!db.open(adminSettings(QStringLiteral("zel_seed"))))
            throw std::runtime_error("cannot reach the test server: " +
                                     db.lastOpenError().toStdString());
        const QString name = schema::q(dbName());
        db.execute(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
        db.execute(QStringLiteral("CREATE DATABASE %1").arg(name));
        for (const QString& t : tables())
            db.execute(
                QStringLiteral("CREATE TABLE %1.%2 LIKE zel_seed.%2").arg(name, schema::q(t)));
        if (restricted())
            grantRestrictedUser();
        created = true;
    }
    if (restricted() &&
        (!db.isOpen() || db.settings().database != adminSettings(dbName()).database)) {
        if (!db.open(adminSettings(dbName())))
            throw std::runtime_error("cannot open the test database: " +
                                     db.lastOpenError().toStdString());
    }
    if (!gConn().isOpen() || gConn().settings().database != testSettings().database) {
        if (!gConn().open(testSettings()))
            throw std::runtime_error("cannot open the test database: " +
                                     gConn().lastOpenError().toStdString());
        // The run really is the workstations' user's.
        if (restricted() && !gConn()
                                 .scalar(QStringLiteral("SELECT CURRENT_USER()"))
                                 .toString()
                                 .startsWith(env("ZEL_TEST_USER") + u'@'))
            throw std::runtime_error("the tests' connection is not the workstations' user");
    }
    for (const QString& t : tables()) {
        db.execute(QStringLiteral("TRUNCATE TABLE %1").arg(schema::q(t)));
        if (seed == Seed::Demo)
            db.execute(
                QStringLiteral("INSERT INTO %1 SELECT * FROM zel_seed.%1").arg(schema::q(t)));
    }
}

void DbTest::SetUp() {
    msgs = std::make_shared<RecordingMessages>();
    setMessageService(msgs);
    resetDatabase(seed());
}

void DbTest::TearDown() {
    dialogs().closeAll();
    settle();
    setMessageService(nullptr);
}

QVariant one(const QString& sql, const QVariantList& binds) {
    return gConn().scalar(sql, binds);
}

int count(const QString& table, const QString& where, const QVariantList& binds) {
    return one(QStringLiteral("SELECT COUNT(*) FROM `%1` WHERE %2").arg(table, where), binds)
        .toInt();
}

void snapshot(QWidget& w, const QString& name) {
    const QString dir = qEnvironmentVariable("ZEL_SCREENSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        w.grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }
}

void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void withStatementHook(const std::function<void(const QString&)>& hook,
                       const std::function<void()>& action) {
    gConn().setStatementHook(hook);
    try {
        action();
    } catch (...) {
        gConn().setStatementHook({});
        throw;
    }
    gConn().setStatementHook({});
}

QStringList onWorkstations(int workstations, int each,
                           const std::function<void(Database& db, int workstation, int i)>& step) {
    std::mutex m;
    QStringList errors;
    const auto failed = [&](const QString& why) {
        std::lock_guard lock(m);
        errors << why;
    };
    std::vector<std::thread> threads;
    for (int w = 0; w < workstations; ++w)
        threads.emplace_back([&, w] {
            Database db(QStringLiteral("workstation%1").arg(w));
            if (!db.open(testSettings())) {
                failed(db.lastOpenError());
                return;
            }
            for (int i = 0; i < each; ++i) {
                try {
                    step(db, w, i);
                } catch (const DbError& e) {
                    failed(e.userMessage());
                }
            }
        });
    for (auto& t : threads)
        t.join();
    return errors;
}

} // namespace zel::test
