// Composing on Windows: the system's mail interface (Simple MAPI) opens the
// default mail program's new-message window with the message filled in and
// the file attached. mapi32.dll is loaded when needed, so a workstation
// without a mail program still runs the program.
#include "app/mailer.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QWidget>

#include <windows.h>

#include <mapi.h>

#include <string>
#include <vector>

namespace zel::mail {

namespace {

// The wide-character Simple MAPI structures, as the Windows SDK declares
// them (MinGW-w64's mapi.h has only the ANSI ones).
struct RecipW {
    ULONG ulReserved;
    ULONG ulRecipClass;
    PWSTR lpszName;
    PWSTR lpszAddress;
    ULONG ulEIDSize;
    PVOID lpEntryID;
};
struct FileW {
    ULONG ulReserved;
    ULONG flFlags;
    ULONG nPosition;
    PWSTR lpszPathName;
    PWSTR lpszFileName;
    PVOID lpFileType;
};
struct MessageW {
    ULONG ulReserved;
    PWSTR lpszSubject;
    PWSTR lpszNoteText;
    PWSTR lpszMessageType;
    PWSTR lpszDateReceived;
    PWSTR lpszConversationID;
    ULONG flFlags;
    RecipW* lpOriginator;
    ULONG nRecipCount;
    RecipW* lpRecips;
    ULONG nFileCount;
    FileW* lpFiles;
};
using SendMailW = ULONG(WINAPI*)(ULONG_PTR session, ULONG_PTR uiParam, MessageW* message,
                                 ULONG flags, ULONG reserved);

// Text MAPI may read, kept alive for the call.
std::wstring wide(const QString& s) {
    return s.toStdWString();
}

// What a Simple MAPI failure means for the user.
QString plainText(ULONG code) {
    switch (code) {
    case MAPI_E_LOGON_FAILURE:
        return QStringLiteral("the mail program could not log on to the mailbox");
    case MAPI_E_INSUFFICIENT_MEMORY:
    case MAPI_E_DISK_FULL:
        return QStringLiteral("the workstation is short of memory or disk space");
    case MAPI_E_ACCESS_DENIED:
        return QStringLiteral("the mail program refused access");
    case MAPI_E_TOO_MANY_SESSIONS:
        return QStringLiteral("the mail program has too many messages open; close some and try "
                              "again");
    case MAPI_E_ATTACHMENT_NOT_FOUND:
    case MAPI_E_ATTACHMENT_OPEN_FAILURE:
        return QStringLiteral("the mail program could not open the attached PDF");
    case MAPI_E_UNKNOWN_RECIPIENT:
    case MAPI_E_AMBIGUOUS_RECIPIENT:
    case MAPI_E_BAD_RECIPTYPE:
    case MAPI_E_INVALID_RECIPS:
        return QStringLiteral("the mail program did not accept the supplier's e-mail address");
    case MAPI_E_TEXT_TOO_LARGE:
        return QStringLiteral("the message text is too long for the mail program");
    case MAPI_E_NOT_SUPPORTED:
        return QStringLiteral("the mail program does not support opening a new message from "
                              "another program");
    default:
        return QStringLiteral("the mail program reported failure %1").arg(code);
    }
}

} // namespace

Outcome compose(const Message& message) {
    if (const QString program = mailProgramOverride(); !program.isEmpty())
        return runMailProgram(program, message);

    HMODULE mapi = LoadLibraryW(L"mapi32.dll");
    if (!mapi)
        return Outcome::refused(
            QStringLiteral("No mail program is set up on this workstation (the system's mail "
                           "interface, mapi32.dll, is missing). Set a default mail program, then "
                           "try again."));
    const auto send = reinterpret_cast<SendMailW>(
        reinterpret_cast<void (*)()>(GetProcAddress(mapi, "MAPISendMailW")));
    if (!send) {
        FreeLibrary(mapi);
        return Outcome::refused(
            QStringLiteral("No mail program could take the message: the system's mail interface "
                           "on this workstation is too old (it has no MAPISendMailW)."));
    }

    std::wstring subject = wide(message.subject), body = wide(message.body);
    const QStringList to = recipients(message.to);
    std::vector<std::wstring> addresses;
    addresses.reserve(to.size());
    for (const QString& a : to)
        addresses.push_back(wide(QStringLiteral("SMTP:") + a));
    std::vector<RecipW> recips(addresses.size());
    for (size_t i = 0; i < addresses.size(); ++i) {
        recips[i] = {};
        recips[i].ulRecipClass = MAPI_TO;
        recips[i].lpszName = addresses[i].data() + 5; // the address without "SMTP:"
        recips[i].lpszAddress = addresses[i].data();
    }
    std::wstring path = wide(QDir::toNativeSeparators(message.attachment));
    std::wstring fileName = wide(QFileInfo(message.attachment).fileName());
    FileW file = {};
    file.nPosition = ULONG(-1); // not placed in the text
    file.lpszPathName = path.data();
    file.lpszFileName = fileName.data();

    MessageW m = {};
    m.lpszSubject = subject.data();
    m.lpszNoteText = body.data();
    m.nRecipCount = ULONG(recips.size());
    m.lpRecips = recips.empty() ? nullptr : recips.data();
    m.nFileCount = message.attachment.isEmpty() ? 0 : 1;
    m.lpFiles = message.attachment.isEmpty() ? nullptr : &file;

    // The new-message window belongs to the window the user is in.
    QWidget* active = QApplication::activeWindow();
    const ULONG_PTR owner = active ? ULONG_PTR(active->winId()) : 0;
    const ULONG rc = send(0, owner, &m, MAPI_DIALOG | MAPI_LOGON_UI, 0);
    FreeLibrary(mapi);
    // Closed by the user without sending: the mail program had it.
    if (rc == SUCCESS_SUCCESS || rc == MAPI_E_USER_ABORT)
        return Outcome::ok();
    if (rc == MAPI_E_FAILURE || rc == MAPI_E_NOT_SUPPORTED)
        return Outcome::refused(
            QStringLiteral("No mail program could take the message: %1. Check that a default "
                           "mail program is set up on this workstation.")
                .arg(plainText(rc)));
    return Outcome::refused(
        QStringLiteral("The mail program could not open the message: %1.").arg(plainText(rc)));
}

} // namespace zel::mail
