#pragma once
// What differs between the workstations' operating systems, one function per
// concern: where the program keeps its files, who may read the configuration
// file, what makes one copy per user, and the process set-up at start.
// platform_posix.cpp and platform_windows.cpp implement it; nothing else in
// the program asks which system it runs on.
#include <QByteArray>
#include <QString>

namespace zel::platform {

// The workstation folder when neither --data-dir nor ZELDATA names one:
// ~/ZelData, or C:\ZelData on Windows.
QString defaultWorkstationFolder();
// How the help text names that default.
QString defaultWorkstationFolderText();

// The user's own configuration folder of the program:
// ~/.config/zel-purchasing (or under $XDG_CONFIG_HOME), or the roaming
// application data folder on Windows (%APPDATA%\zel-purchasing).
QString configFolder();
// How the help text names it.
QString configFolderText();

// Whether anyone but the file's owner (and, on Windows, the system and its
// administrators) may read or change the file.
struct FileAccess {
    bool othersMay = false; // someone else may read or change it
    QString who;            // on Windows, the accounts that may; empty on POSIX
    QString uncheckable;    // why it could not be checked; then othersMay is false
};
FileAccess fileAccess(const QString& path);
// What the user does to make the file readable only by its owner.
QString ownerOnlyAdvice(const QString& path);
// Takes away every other user's access to a file or folder; returns why it
// could not, empty when it did.
QString restrictToOwner(const QString& path);

// The single-instance lock: one per user and, on Windows, per logon session
// (a terminal server runs several sessions at once).
QString instanceLockPath();

// The Qt platform of a run that shows no window (--help, printing to a
// file): offscreen on POSIX; on Windows its own platform, which every session
// has, since the offscreen one there draws no text.
QByteArray windowlessPlatform();

// Set-up of the process before Qt starts: the time zone named once on POSIX;
// on Windows, a windowed program started from a console writes its --help,
// --version and messages there.
void prepareProcess();

} // namespace zel::platform
