#pragma once
// The test database: each test binary has one of its own on the test run's
// private server, with the same tables as the seed database.
#include "app/messages.h"
#include "connection/database.h"

#include <QFileDevice>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>

namespace zel::test {

enum class Seed { Empty, Demo };

// Whether the tests reach the server through ODBC, as the Windows build does
// ($ZEL_ODBC_DRIVER names the MariaDB ODBC driver), rather than the MySQL driver.
bool throughOdbc();
// Whether this is the Windows build running under Wine, where a few things
// of the machine underneath differ from a real Windows (see the skips).
bool underWine();
// Gives a file the access these POSIX permissions describe: on Windows,
// owner-only permissions leave the owner (with the system and the
// administrators), and any group or other bit lets Everyone read or write.
void setFileAccess(const QString& path, QFileDevice::Permissions perms);
// Whether only the file's owner may read or change it, by the system's own rules.
bool onlyOwnerMay(const QString& path);
// The URL of this binary's database.
QString testDatabaseUrl();
// The settings of this binary's database.
ConnectionSettings testSettings();
// Opens gConn on this binary's database (creating it on first use) and puts
// the tables into the state `seed` gives.
void resetDatabase(Seed seed = Seed::Demo);

// A test on a freshly reset database with a recording message service.
class DbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    virtual Seed seed() const { return Seed::Demo; }

    std::shared_ptr<RecordingMessages> msgs;
};

// Lets queued notifications run.
void settle();

// The first column of the first row of a statement on the test database.
QVariant one(const QString& sql, const QVariantList& binds = {});
// The number of rows of `table` matching `where`.
int count(const QString& table, const QString& where = QStringLiteral("1=1"),
          const QVariantList& binds = {});
// Writes a PNG of the window for a person to look at, when ZEL_SCREENSHOT_DIR is set.
void snapshot(QWidget& w, const QString& name);

// Runs `action` with `hook` seeing every statement the run's connection
// sends; the hook is taken off again also when the action throws.
void withStatementHook(const std::function<void(const QString&)>& hook,
                       const std::function<void()>& action);

// Several workstations at once: `workstations` threads, each on a connection
// of its own to the test database, each running `step(db, workstation, i)`
// for i = 0 .. each-1. Returns what went wrong: a connection that did not
// open, and every database error a step threw (the workstation goes on with
// its next step). `step` guards whatever it shares with the other threads.
QStringList onWorkstations(int workstations, int each,
                           const std::function<void(Database& db, int workstation, int i)>& step);

} // namespace zel::test

// Texts print as text in test failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE
