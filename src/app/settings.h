#pragma once
// Where the program finds its database and its workstation folder, and what
// its command line asks for.
#include "connection/database.h"

#include <QString>
#include <QStringList>

namespace zel {

// The practice's own data source, used when nothing else is given.
QString defaultDatabaseUrl();

struct CommandLine {
    int window = 0;      // 0 opens the purchase order window, anything else goods inward
    QString databaseUrl; // --database, else $ZEL_DATABASE, else the practice's data source
    QString dataDir;     // --data-dir, else $ZELDATA, else ~/ZelData
    bool help = false;
    QString error;     // a malformed option
    QStringList extra; // options left for the windows (e.g. printing without a window)
};

// Reads the arguments after the program name. The one positional argument
// is read with Val and rounded half to even.
CommandLine parseCommandLine(const QStringList& args);
QString helpText();

// The workstation folder, created when missing.
QString workstationFolder();
void setWorkstationFolder(const QString& path);

} // namespace zel
