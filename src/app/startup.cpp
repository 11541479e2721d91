#include "startup/startup.h"
#include "connection/applog.h"
#include "connection/database.h"
#include "connection/platform.h"
#include "connection/settings.h"
#include "startup/dbconfig.h"
#include "startup/singleinstance.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QProcessEnvironment>
#include <QTextStream>
#include <cstring>

#ifndef ZEL_VERSION
#define ZEL_VERSION "0"
#endif

namespace zel {

namespace {
QString& refusal() {
    static QString why;
    return why;
}
} // namespace

QString programVersion() {
    return QStringLiteral(ZEL_VERSION);
}

void refuseDatabase(const QString& why) {
    refusal() = why;
}

QString instanceLockPath() {
    QString path =
        QProcessEnvironment::systemEnvironment().value(QStringLiteral("ZEL_INSTANCE_LOCK"));
    if (!path.isEmpty())
        return path;
    return platform::instanceLockPath();
}

void OpenConnection(const CommandLine& cl) {
    ConnectionSettings settings;
    if (cl.databaseUrl.isEmpty()) {
        settings.unusable =
            refusal().isEmpty() ? QStringLiteral("no database is set up") : refusal();
    } else {
        try {
            settings = parseDatabaseUrl(cl.databaseUrl);
        } catch (const std::invalid_argument& e) {
            // Reported by the first action that needs the database.
            settings.unusable = QString::fromStdString(e.what());
        }
    }
    gConn().open(settings);
}

QMainWindow* chooseHub(const CommandLine& cl, const Hubs& hubs) {
    return cl.window != 0 ? hubs.goodsIn() : hubs.purchaseOrder();
}

int runProgram(int argc, char** argv, const Hubs& hubs) {
    platform::prepareProcess();
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            QTextStream(stdout) << "zel-purchasing " << programVersion() << "\n";
            return 0;
        }
    }
    // Help and printing to a file need no display.
    for (int i = 1; i < argc; ++i) {
        const QByteArray a(argv[i]);
        if ((a == "--help" || a == "-h" || a == "--print-order" || a == "--print-goods-in") &&
            qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", platform::windowlessPlatform());
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zel Purchasing"));
    QApplication::setQuitOnLastWindowClosed(false);
    // A workstation with no locale set (C/POSIX) works as the practice does: in the UK.
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));

    CommandLine cl = parseCommandLine(app.arguments().mid(1));
    QTextStream out(stdout), err(stderr);
    if (cl.help) {
        out << helpText();
        return 0;
    }
    if (!cl.error.isEmpty()) {
        err << "zel-purchasing: " << cl.error << "\n\n" << helpText();
        return 2;
    }
    setWorkstationFolder(cl.dataDir);
    startLog(defaultLogPath());
    const auto env = QProcessEnvironment::systemEnvironment();
    const DatabaseChoice choice = chooseDatabase(app.arguments().mid(1), env, configFilePath());
    cl.databaseUrl = choice.url;
    if (!choice.refused.isEmpty()) {
        err << "zel-purchasing: " << choice.refused << "\n";
        err.flush();
        writeLog(QStringLiteral("refused"), choice.refused);
        refuseDatabase(choice.refused);
    }
    if (!choice.warning.isEmpty()) {
        err << "zel-purchasing: " << choice.warning << "\n";
        err.flush();
        writeLog(QStringLiteral("warning"), choice.warning);
    }
    bool warned = false;
    auto warnOfPassword = [&] {
        const QString warning = passwordWarning(choice);
        if (!warned && !warning.isEmpty())
            err << "zel-purchasing: " << warning << "\n";
        err.flush();
        warned = true;
    };
    if (hubs.withoutWindow && !cl.extra.isEmpty())
        warnOfPassword();
    if (hubs.withoutWindow) {
        if (auto code = hubs.withoutWindow(cl))
            return *code;
    }
    if (!cl.extra.isEmpty()) {
        err << "zel-purchasing: unknown option " << cl.extra.first() << "\n\n" << helpText();
        return 2;
    }

    // One copy per user: a second start brings the running copy's window to
    // the front and ends at once, before the database.
    SingleInstance instance(instanceLockPath());
    if (!instance.claim()) {
        instance.askFirstToRaise(cl.window);
        return 0;
    }

    warnOfPassword();
    OpenConnection(cl);
    if (offerConnectionDialog(choice, gConn().isOpen(), QGuiApplication::platformName(), env)) {
        // A first start: nothing set up and the practice's data source not there.
        ConnectionDialog dialog(configFilePath());
        if (dialog.exec() == QDialog::Accepted) {
            cl.databaseUrl = readConfigFile(configFilePath()).url;
            OpenConnection(cl);
        }
    }
    QMainWindow* hub = chooseHub(cl, hubs);
    hub->setAttribute(Qt::WA_DeleteOnClose);
    instance.setWindow(hub);
    hub->show();
    int code = app.exec();
    gConn().release();
    return code;
}

} // namespace zel
