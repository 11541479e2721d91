#pragma once
// The workstation's log: every database error and every refused action with
// the time it happened, so the practice's IT person can see what went on.
// One file in the workstation folder, moved aside at 1 MB; three old files
// are kept (.1 the newest).
#include <QString>

namespace zel {

inline constexpr qint64 kLogMaxSize = 1024 * 1024;
inline constexpr int kLogKeep = 3;

// The program's log file: zel-purchasing.log in the workstation folder.
QString defaultLogPath();
// Writes from now on to `path`; an empty path stops the log (the default, so
// tests write nothing unless they ask).
void startLog(const QString& path);
QString logPath();
// Appends "2024-05-01 14:03:59 KIND: text" (one line; line breaks become " | ").
// Does nothing when the log is not started; a file that cannot be written
// never stops the program.
void writeLog(const QString& kind, const QString& text);

} // namespace zel
