#include "startup/dbconfig.h"
#include "connection/platform.h"
#include "connection/settings.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>
#include <QUrlQuery>
#include <QVBoxLayout>

namespace zel {

QString configFilePath() {
    return QDir(platform::configFolder()).filePath(QStringLiteral("database.conf"));
}

ConfigFile readConfigFile(const QString& path) {
    ConfigFile cf;
    const QFileInfo info(path);
    cf.exists = info.exists();
    if (!cf.exists)
        return cf;
    const platform::FileAccess access = platform::fileAccess(path);
    if (access.othersMay) {
        cf.error =
            QStringLiteral("The configuration file %1 can be read or changed by other users%2, "
                           "so it is not used. Make it readable only by its owner: %3")
                .arg(path,
                     access.who.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(access.who),
                     platform::ownerOnlyAdvice(path));
        return cf;
    }
    if (!access.uncheckable.isEmpty())
        cf.warning = QStringLiteral("Whether only its owner can read the configuration file %1 "
                                    "was not checked: %2")
                         .arg(path, access.uncheckable);
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        cf.error = QStringLiteral("The configuration file %1 cannot be read: %2")
                       .arg(path, f.errorString());
        return cf;
    }
    for (const QByteArray& raw : f.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && line.left(eq).trimmed() == QLatin1String("url"))
            cf.url = line.mid(eq + 1).trimmed();
    }
    if (cf.url.isEmpty())
        cf.error =
            QStringLiteral("The configuration file %1 holds no line url=... naming the database.")
                .arg(path);
    return cf;
}

QString writeConfigFile(const QString& path, const QString& url) {
    const QString dir = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(dir))
        return QStringLiteral("the folder %1 cannot be made").arg(dir);
    platform::restrictToOwner(dir);
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QFile f(path);
    // An existing file is closed to others before the password goes into it.
    if (f.exists()) {
        if (const QString why = platform::restrictToOwner(path); !why.isEmpty())
            return why;
    }
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text, ownerOnly))
        return f.errorString();
    if (const QString why = platform::restrictToOwner(path); !why.isEmpty())
        return why;
    const QByteArray text = "# The database of Zel Purchasing on this workstation, for this user.\n"
                            "url=" +
                            url.toUtf8() + '\n';
    if (f.write(text) != text.size() || !f.flush())
        return f.errorString();
    return {};
}

DatabaseChoice chooseDatabase(const QStringList& args, const QProcessEnvironment& env,
                              const QString& configPath) {
    DatabaseChoice c;
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--database") && i + 1 < args.size()) {
            c.source = DatabaseChoice::CommandLine;
            c.url = args[++i];
        } else if (args[i].startsWith(QLatin1String("--database="))) {
            c.source = DatabaseChoice::CommandLine;
            c.url = args[i].mid(11);
        }
    }
    if (c.source == DatabaseChoice::CommandLine && !c.url.isEmpty())
        return c;
    c.url = env.value(QStringLiteral("ZEL_DATABASE"));
    if (!c.url.isEmpty()) {
        c.source = DatabaseChoice::Environment;
        return c;
    }
    const ConfigFile cf = readConfigFile(configPath);
    if (cf.exists) {
        c.source = DatabaseChoice::ConfigFile;
        c.url = cf.error.isEmpty() ? cf.url : QString();
        c.refused = cf.error;
        c.warning = cf.warning;
        return c;
    }
    c.source = DatabaseChoice::DataSource;
    c.url = defaultDatabaseUrl();
    return c;
}

QString passwordWarning(const DatabaseChoice& choice) {
    if (choice.source != DatabaseChoice::CommandLine)
        return {};
    if (QUrl(choice.url).password().isEmpty())
        return {};
    return QStringLiteral(
               "warning: the password given with --database can be seen by other users of this "
               "computer (for example with ps); keep the URL in %1 instead")
        .arg(configFilePath());
}

bool offerConnectionDialog(const DatabaseChoice& choice, bool connected, const QString& platform,
                           const QProcessEnvironment& env) {
    if (connected || choice.source != DatabaseChoice::DataSource)
        return false;
    const QString asked = env.value(QStringLiteral("ZEL_CONNECTION_DIALOG"));
    if (asked == QLatin1String("0"))
        return false;
    const bool screen =
        platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    return screen || asked == QLatin1String("1");
}

ConnectionDialog::ConnectionDialog(QString configPath, QWidget* parent)
    : QDialog(parent), configPath_(std::move(configPath)) {
    setObjectName(QStringLiteral("ConnectionDialog"));
    setWindowTitle(QStringLiteral("Connect to the practice's database"));
    auto* intro =
        new QLabel(QStringLiteral("The practice's database could not be reached. Enter its server "
                                  "once; the settings are kept for you in\n%1")
                       .arg(configPath_),
                   this);
    intro->setWordWrap(true);
    auto line = [this](const char* name, const QString& text = QString()) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(QString::fromLatin1(name));
        return e;
    };
    txtHost = line("txtHost", QStringLiteral("localhost"));
    txtPort = line("txtPort", QStringLiteral("3306"));
    txtPort->setValidator(new QIntValidator(1, 65535, txtPort));
    txtSocket = line("txtSocket");
    txtSocket->setPlaceholderText(QStringLiteral("only for a server on this computer"));
    txtDatabase = line("txtDatabase");
    txtUser = line("txtUser");
    txtPassword = line("txtPassword");
    txtPassword->setEchoMode(QLineEdit::Password);
    chkTls = new QCheckBox(QStringLiteral("Require an encrypted connection (TLS)"), this);
    chkTls->setObjectName(QStringLiteral("chkTls"));
    txtCa = line("txtCa");
    txtCa->setPlaceholderText(QStringLiteral("the system's authorities"));

    auto* form = new QFormLayout;
    auto row = [&](const QString& label, QWidget* w) {
        form->addRow(label, w);
        w->setAccessibleName(QString(label).remove(u'&').remove(u':'));
    };
    row(QStringLiteral("&Server:"), txtHost);
    row(QStringLiteral("&Port:"), txtPort);
    row(QStringLiteral("Soc&ket:"), txtSocket);
    row(QStringLiteral("&Database:"), txtDatabase);
    row(QStringLiteral("&User:"), txtUser);
    row(QStringLiteral("Pass&word:"), txtPassword);
    form->addRow(QString(), chkTls);
    row(QStringLiteral("&Certificate authority:"), txtCa);

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumHeight(lblStatus->fontMetrics().lineSpacing() * 3);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* buttons = new QDialogButtonBox(this);
    auto* test = buttons->addButton(QStringLiteral("&Test"), QDialogButtonBox::ActionRole);
    test->setObjectName(QStringLiteral("cmdTest"));
    auto* save = buttons->addButton(QStringLiteral("&Save"), QDialogButtonBox::AcceptRole);
    save->setObjectName(QStringLiteral("cmdSave"));
    auto* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(test, &QPushButton::clicked, this, &ConnectionDialog::Test_Click);
    connect(save, &QPushButton::clicked, this, &ConnectionDialog::Save_Click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(form);
    layout->addWidget(lblStatus);
    layout->addWidget(buttons);
    resize(460, sizeHint().height());
}

QString ConnectionDialog::url() const {
    QUrl u;
    u.setScheme(QStringLiteral("mysql"));
    u.setUserName(txtUser->text().trimmed());
    u.setPassword(txtPassword->text());
    u.setHost(txtHost->text().trimmed().isEmpty() ? QStringLiteral("localhost")
                                                  : txtHost->text().trimmed());
    if (const int port = txtPort->text().toInt(); port > 0 && port != 3306)
        u.setPort(port);
    u.setPath(u'/' + txtDatabase->text().trimmed());
    QUrlQuery q;
    if (!txtSocket->text().trimmed().isEmpty())
        q.addQueryItem(QStringLiteral("socket"), txtSocket->text().trimmed());
    if (chkTls->isChecked()) {
        q.addQueryItem(QStringLiteral("ssl-mode"), QStringLiteral("REQUIRED"));
        if (!txtCa->text().trimmed().isEmpty())
            q.addQueryItem(QStringLiteral("ssl-ca"), txtCa->text().trimmed());
    }
    u.setQuery(q);
    return u.toString(QUrl::FullyEncoded);
}

QString ConnectionDialog::status() const {
    return lblStatus->text();
}

void ConnectionDialog::Test_Click() {
    if (txtDatabase->text().trimmed().isEmpty()) {
        lblStatus->setText(QStringLiteral("Enter the name of the database."));
        return;
    }
    ConnectionSettings s;
    try {
        s = parseDatabaseUrl(url());
    } catch (const std::invalid_argument& e) {
        lblStatus->setText(QString::fromStdString(e.what()));
        return;
    }
    Database probe(QStringLiteral("zel-connection-test"));
    if (probe.open(s))
        lblStatus->setText(QStringLiteral("Connected to %1.").arg(s.describe()));
    else
        lblStatus->setText(
            QStringLiteral("Cannot connect to %1: %2").arg(s.describe(), probe.lastOpenError()));
}

void ConnectionDialog::Save_Click() {
    if (txtDatabase->text().trimmed().isEmpty()) {
        lblStatus->setText(QStringLiteral("Enter the name of the database."));
        return;
    }
    const QString why = writeConfigFile(configPath_, url());
    if (!why.isEmpty()) {
        lblStatus->setText(
            QStringLiteral("The settings could not be saved in %1: %2").arg(configPath_, why));
        return;
    }
    accept();
}

} // namespace zel
