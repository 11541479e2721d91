#include "app/mailer.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>

namespace zel::mail {

namespace {

// How long composing waits for the mail program to say whether it took the
// message. A mail program that was not running yet may stay in the
// foreground of the launcher until it is closed; still running after this,
// it has the message.
constexpr int kAnswerMs = 10000;

// xdg-email's exit code when no mail program is set up for the desktop.
constexpr int kXdgNoTool = 3;

} // namespace

QStringList recipients(const QString& to) {
    QStringList out;
    for (const QString& a : to.split(QRegularExpression(QStringLiteral("[,;]"))))
        if (!a.trimmed().isEmpty())
            out << a.trimmed();
    return out;
}

QString notAnAddress(const QString& to) {
    static const QRegularExpression address(QStringLiteral("^[^@\\s-][^@\\s]*@[^@\\s]+$"));
    for (const QString& a : recipients(to))
        if (!address.match(a).hasMatch())
            return a;
    return {};
}

QStringList xdgEmailArguments(const Message& message) {
    QStringList args{QStringLiteral("--subject"), message.subject, QStringLiteral("--body"),
                     message.body};
    if (!message.attachment.isEmpty())
        args << QStringLiteral("--attach") << QDir::toNativeSeparators(message.attachment);
    return args + recipients(message.to);
}

QString mailProgramOverride() {
    return qEnvironmentVariable("ZEL_MAIL_PROGRAM");
}

Outcome runMailProgram(const QString& program, const Message& message) {
    // Kept by the application while the mail program runs on, so it is not
    // stopped when this returns.
    auto* p = new QProcess(QCoreApplication::instance());
    QObject::connect(p, &QProcess::finished, p, &QObject::deleteLater);
    p->setProgram(program);
    p->setArguments(xdgEmailArguments(message));
    p->setProcessChannelMode(QProcess::SeparateChannels);
    p->start();
    if (!p->waitForStarted(kAnswerMs)) {
        const QString why = p->errorString();
        p->deleteLater();
        return Outcome::refused(
            QStringLiteral("No mail program could take the message: %1 could not be started (%2).")
                .arg(QDir::toNativeSeparators(program), why));
    }
    if (!p->waitForFinished(kAnswerMs))
        return Outcome::ok();
    if (p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0)
        return Outcome::ok();
    if (p->exitStatus() == QProcess::NormalExit && p->exitCode() == kXdgNoTool)
        return Outcome::refused(
            QStringLiteral("No mail program is set up on this workstation, so the message could "
                           "not be opened. Set a default mail program, then try again."));
    const QString said = QString::fromLocal8Bit(p->readAllStandardError()).trimmed();
    return Outcome::refused(
        QStringLiteral("The mail program could not open the message (%1 ended with code %2%3).")
            .arg(QDir::toNativeSeparators(program))
            .arg(p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1)
            .arg(said.isEmpty() ? QString() : QStringLiteral(": ") + said.section(u'\n', -1)));
}

} // namespace zel::mail
