// Start-up as a user meets it: the single copy, the opening window, the
// hub's unload, the help text.
#include "app/database.h"
#include "app/startup.h"
#include "goodsin/frmgoodsin.h"
#include "purchasing/frmpurchaseorder.h"
#include "support/testdb.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

using namespace zel;

namespace {
QString binary() { return qEnvironmentVariable("ZEL_BINARY"); }

QProcessEnvironment programEnv(const QString& lock) {
    auto env = QProcessEnvironment::systemEnvironment();
    static QTemporaryDir runtime;
    QFile::setPermissions(runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("ZEL_INSTANCE_LOCK", lock);
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}
} // namespace

TEST(Startup, ASecondCopyEndsAtOnceWithoutTouchingTheDatabase) {
    QTemporaryDir dir;
    const QString lock = dir.filePath("zel.lock");
    QProcess first;
    first.setProcessEnvironment(programEnv(lock));
    // The data source is missing: the window still opens, silently.
    first.start(binary(), {"--database", "odbc://support:pw@NoSuchSource", "--data-dir", dir.filePath("data")});
    ASSERT_TRUE(first.waitForStarted());
    for (int i = 0; i < 100 && !QFile::exists(lock); ++i)
        QTest::qWait(50);
    ASSERT_TRUE(QFile::exists(lock));
    EXPECT_EQ(first.state(), QProcess::Running);

    QProcess second;
    second.setProcessEnvironment(programEnv(lock));
    second.start(binary(), {"1", "--database", "mysql://x:y@localhost/none?socket=/nonexistent.sock"});
    ASSERT_TRUE(second.waitForFinished(3000));
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(second.readAllStandardError().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    first.terminate();
    first.waitForFinished(3000);
}

TEST(Startup, HelpListsTheOptions) {
    QProcess p;
    p.start(binary(), {"--help"});
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString out = p.readAllStandardOutput();
    EXPECT_TRUE(out.contains("--database URL"));
    EXPECT_TRUE(out.contains("--data-dir"));
    EXPECT_TRUE(out.contains("odbc://"));
}

TEST(Startup, TheNumberChoosesTheHub) {
    Hubs hubs;
    hubs.purchaseOrder = [] { return new frmPurchaseOrder; };
    hubs.goodsIn = [] { return new frmGoodsIn; };
    const std::pair<QStringList, QString> cases[] = {
        {{}, "Purchase Ordering"},  {{"0"}, "Purchase Ordering"}, {{"abc"}, "Purchase Ordering"},
        {{"0.5"}, "Purchase Ordering"}, {{"1"}, "Good In"},       {{"2"}, "Good In"},
        {{"-3"}, "Good In"},        {{"2abc"}, "Good In"},        {{"0.6"}, "Good In"},
        {{"1.5"}, "Good In"},       {{"2.5"}, "Good In"}};
    for (const auto& [args, caption] : cases) {
        std::unique_ptr<QMainWindow> w(chooseHub(parseCommandLine(args), hubs));
        // The purchase order window's title goes on to name the order on screen.
        EXPECT_TRUE(w->windowTitle().startsWith(caption)) << args.join(' ').toStdString();
    }
}

TEST(Startup, UnloadingTheHubClosesAnOpenConnection) {
    test::resetDatabase();
    ASSERT_TRUE(gConn().isOpen());
    {
        frmPurchaseOrder hub;
        hub.show();
        hub.close();
    }
    EXPECT_FALSE(gConn().isOpen());

    // A connection that never opened is skipped, and the unload still completes.
    Database& db = gConn();
    db.open(parseDatabaseUrl("mysql://x:y@localhost/none?socket=/nonexistent.sock"));
    frmGoodsIn hub;
    hub.show();
    hub.Form_Unload();
    EXPECT_FALSE(db.isOpen());
    test::resetDatabase(); // reopen for the tests after this one
}
