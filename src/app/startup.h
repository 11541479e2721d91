#pragma once
// The program's entry: one copy per user, the connection, the opening window.
#include "connection/settings.h"

#include <QMainWindow>
#include <functional>
#include <optional>

namespace zel {

struct Hubs {
    std::function<QMainWindow*()> purchaseOrder; // the command line's number is 0
    std::function<QMainWindow*()> goodsIn;       // any other number
    // Work done without a window (e.g. printing to a file); returns the exit
    // code when it handled the command line.
    std::function<std::optional<int>(const CommandLine&)> withoutWindow;
};

// The lock that keeps a second copy from starting ($ZEL_INSTANCE_LOCK, else
// one file per user in the temporary folder).
QString instanceLockPath();

// Opens the connection of the run from the command line's settings. A failure
// is remembered, not reported: the first action that needs the database says so.
// An empty URL stands for settings that were refused (see refuseDatabase).
void OpenConnection(const CommandLine& cl);
// Why the run has no database settings to use (a refused configuration file);
// OpenConnection hands it to the first action that needs the database.
void refuseDatabase(const QString& why);

// The program's version, from the build.
QString programVersion();

// The hub the command line asks for: purchase orders for 0, goods inward otherwise.
QMainWindow* chooseHub(const CommandLine& cl, const Hubs& hubs);

int runProgram(int argc, char** argv, const Hubs& hubs);

} // namespace zel
