#include "connection/platform.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <windows.h>

#include <accctrl.h>
#include <aclapi.h>
#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>

namespace zel::platform {

namespace {

const wchar_t* wide(const QString& s) {
    return reinterpret_cast<const wchar_t*>(s.utf16());
}

QString fromWide(const wchar_t* s) {
    return QString::fromWCharArray(s);
}

QString systemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString message = n ? fromWide(text).trimmed() : QStringLiteral("error %1").arg(code);
    LocalFree(text);
    return message;
}

struct LocalFreer {
    void operator()(void* p) const { LocalFree(p); }
};

// The current user's SID, in a buffer that lives as long as the result.
std::unique_ptr<BYTE[]> currentUserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return nullptr;
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    auto buffer = std::make_unique<BYTE[]>(size);
    const bool ok = GetTokenInformation(token, TokenUser, buffer.get(), size, &size);
    CloseHandle(token);
    if (!ok)
        return nullptr;
    const PSID sid = reinterpret_cast<TOKEN_USER*>(buffer.get())->User.Sid;
    const DWORD length = GetLengthSid(sid);
    auto copy = std::make_unique<BYTE[]>(length);
    CopySid(length, copy.get(), sid);
    return copy;
}

bool isWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
    return IsWellKnownSid(sid, type) != FALSE;
}

QString accountName(PSID sid) {
    wchar_t name[256], domain[256];
    DWORD nameSize = 256, domainSize = 256;
    SID_NAME_USE use;
    if (LookupAccountSidW(nullptr, sid, name, &nameSize, domain, &domainSize, &use)) {
        const QString d = fromWide(domain);
        return d.isEmpty() ? fromWide(name) : d + u'\\' + fromWide(name);
    }
    wchar_t* text = nullptr;
    if (ConvertSidToStringSidW(sid, &text)) {
        const QString s = fromWide(text);
        LocalFree(text);
        return s;
    }
    return QStringLiteral("an unknown account");
}

} // namespace

QString defaultWorkstationFolder() {
    return QStringLiteral("C:/ZelData");
}

QString defaultWorkstationFolderText() {
    return QStringLiteral("C:\\ZelData");
}

QString configFolder() {
    // %APPDATA% is the roaming folder; the shell knows it when it is unset.
    QString roaming = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    wchar_t* path = nullptr;
    if (roaming.isEmpty() &&
        SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path)))
        roaming = QDir::fromNativeSeparators(fromWide(path));
    CoTaskMemFree(path);
    if (roaming.isEmpty())
        roaming = QDir::home().filePath(QStringLiteral("AppData/Roaming"));
    return QDir(roaming).filePath(QStringLiteral("zel-purchasing"));
}

QString configFolderText() {
    return QStringLiteral("%APPDATA%\\zel-purchasing");
}

FileAccess fileAccess(const QString& path) {
    FileAccess a;
    PSID owner = nullptr;
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR sd = nullptr;
    const QString native = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    const DWORD rc = GetNamedSecurityInfoW(wide(native), SE_FILE_OBJECT,
                                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                           &owner, nullptr, &dacl, nullptr, &sd);
    if (rc != ERROR_SUCCESS) {
        a.uncheckable =
            QStringLiteral("its permissions could not be read: %1").arg(systemMessage(rc));
        return a;
    }
    std::unique_ptr<void, LocalFreer> keep(sd);
    if (!dacl) {
        // No list at all lets everyone in.
        a.othersMay = true;
        a.who = QStringLiteral("Everyone");
        return a;
    }
    const auto me = currentUserSid();
    const ACCESS_MASK readOrChange = FILE_READ_DATA | FILE_WRITE_DATA | FILE_APPEND_DATA |
                                     GENERIC_READ | GENERIC_WRITE | GENERIC_ALL | WRITE_DAC |
                                     WRITE_OWNER;
    QStringList who;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!GetAce(dacl, i, &ace))
            continue;
        const auto* header = static_cast<ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE || (header->AceFlags & INHERIT_ONLY_ACE))
            continue;
        const auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if (!(allowed->Mask & readOrChange))
            continue;
        const PSID sid = const_cast<DWORD*>(&allowed->SidStart);
        if ((owner && EqualSid(sid, owner)) || (me && EqualSid(sid, me.get())) ||
            isWellKnown(sid, WinCreatorOwnerSid) || isWellKnown(sid, WinLocalSystemSid) ||
            isWellKnown(sid, WinBuiltinAdministratorsSid))
            continue;
        const QString name = accountName(sid);
        if (!who.contains(name))
            who << name;
    }
    a.othersMay = !who.isEmpty();
    a.who = who.join(QStringLiteral(", "));
    return a;
}

QString ownerOnlyAdvice(const QString& path) {
    return QStringLiteral("in the file's Properties, Security, leave only your own account (and "
                          "SYSTEM and Administrators), or run: icacls \"%1\" /inheritance:r "
                          "/grant:r \"%USERNAME%\":F")
        .arg(QDir::toNativeSeparators(path));
}

QString restrictToOwner(const QString& path) {
    const auto me = currentUserSid();
    if (!me)
        return QStringLiteral("the current user's account could not be read");
    // The user, the system and the administrators; nothing inherited from
    // the folder above.
    BYTE systemSid[SECURITY_MAX_SID_SIZE], adminsSid[SECURITY_MAX_SID_SIZE];
    DWORD systemSize = sizeof systemSid, adminsSize = sizeof adminsSid;
    CreateWellKnownSid(WinLocalSystemSid, nullptr, systemSid, &systemSize);
    CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, adminsSid, &adminsSize);
    EXPLICIT_ACCESSW entries[3] = {};
    const PSID sids[3] = {me.get(), systemSid, adminsSid};
    for (int i = 0; i < 3; ++i) {
        entries[i].grfAccessPermissions = GENERIC_ALL;
        entries[i].grfAccessMode = SET_ACCESS;
        entries[i].grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
        entries[i].Trustee.TrusteeForm = TRUSTEE_IS_SID;
        entries[i].Trustee.ptstrName = static_cast<LPWSTR>(sids[i]);
    }
    PACL acl = nullptr;
    if (const DWORD rc = SetEntriesInAclW(3, entries, nullptr, &acl); rc != ERROR_SUCCESS)
        return systemMessage(rc);
    std::unique_ptr<void, LocalFreer> keep(acl);
    std::wstring native =
        QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdWString();
    const DWORD rc =
        SetNamedSecurityInfoW(native.data(), SE_FILE_OBJECT,
                              DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, acl, nullptr);
    return rc == ERROR_SUCCESS ? QString() : systemMessage(rc);
}

QString instanceLockPath() {
    // The temporary folder is the user's own; the session number keeps two
    // logons of one user (a terminal server) apart.
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    wchar_t name[257];
    DWORD size = 257;
    QString user = GetUserNameW(name, &size) ? fromWide(name) : qEnvironmentVariable("USERNAME");
    user.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_.-]")), QStringLiteral("_"));
    return QDir::temp().filePath(
        QStringLiteral("zel-purchasing-%1-%2.lock").arg(user).arg(session));
}

QByteArray windowlessPlatform() {
    return QByteArrayLiteral("windows");
}

void prepareProcess() {
    // A windowed program has no console; started from one (cmd, PowerShell),
    // it writes there, unless its output already goes somewhere.
    const auto unset = [](DWORD which) {
        const HANDLE h = GetStdHandle(which);
        return h == nullptr || h == INVALID_HANDLE_VALUE;
    };
    const bool noOut = unset(STD_OUTPUT_HANDLE), noErr = unset(STD_ERROR_HANDLE);
    if ((noOut || noErr) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (noOut)
            std::freopen("CONOUT$", "w", stdout);
        if (noErr)
            std::freopen("CONOUT$", "w", stderr);
    }
    // TZ stays as it is: the Windows C library reads it in a form of its own
    // ("GMT0BST"), and a POSIX value there would shift every date.
}

} // namespace zel::platform
