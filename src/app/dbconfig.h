#pragma once
// Where the run's database comes from, first found wins: --database, then
// $ZEL_DATABASE, then the user's configuration file, then the practice's ODBC
// data source. The file keeps the password off the command line; it is used
// only when no one but its owner can read it.
#include "connection/database.h"

#include <QDialog>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace zel {

struct DatabaseChoice {
    enum Source { CommandLine, Environment, ConfigFile, DataSource };
    Source source = DataSource;
    QString url;     // empty when the configuration file was refused
    QString refused; // why the configuration file is not used
    QString warning; // what could not be checked about the file that is used
};

// database.conf in the user's configuration folder (platform::configFolder).
QString configFilePath();

struct ConfigFile {
    bool exists = false;
    QString url;
    QString error;   // unreadable, readable by others, or holding no url
    QString warning; // its permissions could not be checked; it is used all the same
};
// The file holds one line "url=mysql://..." (blank lines and # comments aside).
ConfigFile readConfigFile(const QString& path);
// Writes the file readable and writable by its owner only; returns the
// reason when it could not be written.
QString writeConfigFile(const QString& path, const QString& url);

// `args` are the command line's arguments after the program name.
DatabaseChoice chooseDatabase(const QStringList& args, const QProcessEnvironment& env,
                              const QString& configPath);

// The warning for a password typed on the command line; empty when there is none.
QString passwordWarning(const DatabaseChoice& choice);

// The connection dialog is offered on a first start only: nothing configured
// anywhere and the practice's data source not reachable, with a screen to
// show it on (never offscreen, unless $ZEL_CONNECTION_DIALOG asks for it).
bool offerConnectionDialog(const DatabaseChoice& choice, bool connected, const QString& platform,
                           const QProcessEnvironment& env);

// Asks for the server, tries it, and writes the configuration file.
class ConnectionDialog : public QDialog {
    Q_OBJECT
public:
    explicit ConnectionDialog(QString configPath, QWidget* parent = nullptr);

    // The URL the fields make, the user and password percent-encoded.
    QString url() const;
    // The status line: the outcome of the last test or save.
    QString status() const;

    void Test_Click();
    void Save_Click();

    QLineEdit *txtHost, *txtPort, *txtSocket, *txtDatabase, *txtUser, *txtPassword, *txtCa;
    QCheckBox* chkTls; // require an encrypted connection

private:
    QString configPath_;
    QLabel* lblStatus;
};

} // namespace zel
