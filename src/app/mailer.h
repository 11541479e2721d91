#pragma once
// Opening a new message in the workstation's mail program, addressed and
// with a file attached, for the user to check and send. Nothing is sent from
// here. mailer_posix.cpp hands the message to xdg-email, mailer_windows.cpp
// to the system's mail interface (Simple MAPI); with ZEL_MAIL_PROGRAM set,
// both run that program instead, with xdg-email's arguments.
#include <QString>
#include <QStringList>

namespace zel::mail {

struct Message {
    QString to, subject, body;
    QString attachment; // a file's full path; empty for none
};

// Whether a mail program took the message, and if not, why not in words for the user.
struct Outcome {
    bool taken = false;
    QString why;
    static Outcome ok() { return {true, {}}; }
    static Outcome refused(const QString& why) { return {false, why}; }
};

// Opens the message in the mail program. Returns when the program has it
// (or after a few seconds, when it is still starting, as a mail program
// that was not running yet does), or when it could not take it.
Outcome compose(const Message& message);

// The addresses of a "to" text: separated by commas or semicolons, blanks trimmed.
QStringList recipients(const QString& to);
// The first address of `to` that cannot be an e-mail address (no single
// "@" with text on both sides, a blank inside, or a leading "-" that a
// mail program would take for an option); empty when every one can be.
QString notAnAddress(const QString& to);
// The arguments xdg-email takes for the message:
// --subject S --body B [--attach FILE] ADDRESS...
QStringList xdgEmailArguments(const Message& message);
// Runs `program` with xdgEmailArguments(message), without a shell. A program
// that cannot be started, or that ends with a failure, did not take it.
Outcome runMailProgram(const QString& program, const Message& message);
// The program named by ZEL_MAIL_PROGRAM (empty when unset), used in place of
// the system's way of composing.
QString mailProgramOverride();

} // namespace zel::mail
