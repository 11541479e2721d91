// A second start of the program, as two real processes: it brings the
// running copy's window to the front and ends, also after a copy crashed.
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Copies {
    QTemporaryDir dir;
    QString lock() const { return dir.filePath("zel.lock"); }
    QString socket() const { return dir.filePath("zel.sock"); }
    QString log() const { return dir.filePath("data/zel-purchasing.log"); }
    // Whether a copy answers at the socket (a named pipe on Windows).
    bool listening() const {
        QLocalSocket s;
        s.connectToServer(socket());
        const bool up = s.waitForConnected(200);
        s.abort();
        return up;
    }

    QProcessEnvironment env() const {
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert("ZEL_INSTANCE_LOCK", lock());
        // Offscreen, or under Wine the Windows platform on the run's display.
        env.insert("QT_QPA_PLATFORM", qEnvironmentVariable("QT_QPA_PLATFORM", "offscreen"));
        env.insert("XDG_RUNTIME_DIR", dir.path());
        env.remove("ZEL_DATABASE");
        return env;
    }
    // Starts the first copy without a reachable database and waits until it listens.
    void startFirst(QProcess& p) const {
        p.setProcessEnvironment(env());
        p.start(qEnvironmentVariable("ZEL_BINARY"),
                {"--database", "mysql://x:y@localhost/none?socket=/nonexistent.sock", "--data-dir",
                 dir.filePath("data")});
        ASSERT_TRUE(p.waitForStarted());
        for (int i = 0; i < 200 && !listening(); ++i)
            QTest::qWait(25);
        ASSERT_TRUE(listening()) << "the first copy never listened";
    }
    // Runs a later start to its end; returns its exit code (-1 when it did not end).
    int runSecond(const QStringList& args, QByteArray* out = nullptr) const {
        QProcess p;
        p.setProcessEnvironment(env());
        p.start(qEnvironmentVariable("ZEL_BINARY"), args);
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished();
            return -1;
        }
        if (out)
            *out = p.readAllStandardOutput() + p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }
    int raisedLines() const {
        QFile f(log());
        if (!f.open(QIODevice::ReadOnly))
            return 0;
        return int(f.readAll().count(" raised: "));
    }
    bool waitForRaised(int n) const {
        for (int i = 0; i < 200 && raisedLines() < n; ++i)
            QTest::qWait(25);
        return raisedLines() >= n;
    }
};

void stop(QProcess& p) {
    p.terminate();
    if (!p.waitForFinished(3000))
        p.kill();
    p.waitForFinished();
}

} // namespace

TEST(SingleInstance, ASecondStartRaisesTheFirstAndEndsWithoutWork) {
    Copies c;
    QProcess first;
    c.startFirst(first);
    if (HasFatalFailure())
        return;

    QByteArray said;
    EXPECT_EQ(
        c.runSecond({"1", "--database", "mysql://x:y@localhost/none?socket=/nonexistent.sock"},
                    &said),
        0);
    EXPECT_TRUE(said.isEmpty()) << said.toStdString();
    EXPECT_TRUE(c.waitForRaised(1)) << "the running copy never heard of the second start";
    EXPECT_EQ(first.state(), QProcess::Running);

    // Each later start is one more request; the first copy keeps listening.
    EXPECT_EQ(c.runSecond({}), 0);
    EXPECT_TRUE(c.waitForRaised(2));

    // Help, the version and printing without a window are not later starts.
    EXPECT_EQ(c.runSecond({"--help"}, &said), 0);
    EXPECT_TRUE(said.contains("--database")) << said.toStdString();
    EXPECT_EQ(c.runSecond({"--version"}, &said), 0);
    EXPECT_TRUE(said.startsWith("zel-purchasing ")) << said.toStdString();
    EXPECT_NE(c.runSecond({"--database", "mysql://x:y@localhost/none?socket=/nonexistent.sock",
                           "--print-order", "1", "--pdf", c.dir.filePath("x.pdf")},
                          &said),
              0);
    EXPECT_TRUE(said.contains("cannot be reached")) << said.toStdString();
    EXPECT_EQ(c.raisedLines(), 2);
    stop(first);
}

TEST(SingleInstance, ACopyThatCrashedLeavesNothingInTheWayOfTheNext) {
    Copies c;
    QProcess crashed;
    c.startFirst(crashed);
    if (HasFatalFailure())
        return;
    crashed.kill(); // no clean-up: the lock and the socket stay behind
    crashed.waitForFinished();
#ifndef Q_OS_WIN
    ASSERT_TRUE(QFile::exists(c.socket())); // a named pipe goes with its process
#endif

    QProcess next;
    next.setProcessEnvironment(c.env());
    next.start(qEnvironmentVariable("ZEL_BINARY"),
               {"--database", "mysql://x:y@localhost/none?socket=/nonexistent.sock", "--data-dir",
                c.dir.filePath("data")});
    ASSERT_TRUE(next.waitForStarted());
    // The next start takes the lock over from the copy that crashed...
    auto holder = [&] {
        QFile f(c.lock());
        return f.open(QIODevice::ReadOnly) ? f.readLine().trimmed().toLongLong() : 0;
    };
    for (int i = 0; i < 200 && holder() != next.processId(); ++i)
        QTest::qWait(25);
    ASSERT_EQ(holder(), next.processId());
    // ...and is a first copy again: it stays, and a later start raises it.
    EXPECT_EQ(c.runSecond({}), 0);
    EXPECT_TRUE(c.waitForRaised(1));
    EXPECT_EQ(next.state(), QProcess::Running);
    stop(next);
}
