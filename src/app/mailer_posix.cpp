// Composing on a Linux desktop: xdg-email opens the desktop's default mail
// program with the message filled in and the file attached.
#include "app/mailer.h"

#include <QStandardPaths>

namespace zel::mail {

Outcome compose(const Message& message) {
    if (const QString program = mailProgramOverride(); !program.isEmpty())
        return runMailProgram(program, message);
    const QString xdg = QStandardPaths::findExecutable(QStringLiteral("xdg-email"));
    if (xdg.isEmpty())
        return Outcome::refused(
            QStringLiteral("No mail program could take the message: xdg-email, the desktop's way "
                           "of opening one, is not installed on this workstation (package "
                           "xdg-utils)."));
    return runMailProgram(xdg, message);
}

} // namespace zel::mail
