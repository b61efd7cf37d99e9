// The process token's group membership and shutdown privilege; every handle
// and identifier is freed on every path.

#include "setup/Privileges.h"

#include <windows.h>

#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

// No SID or token record comes near this; a larger size is refused.
constexpr DWORD kMaxSecurityRecordBytes = 64 * 1024;

// The token record `kind` as an owned block (BlockGuard), or null.
void* ReadTokenRecord(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
  DWORD size = 0;
  if (GetTokenInformation(token, kind, nullptr, 0, &size) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    ReportLastError("GetTokenInformation", nullptr);
    return nullptr;
  }
  if (size == 0 || size > kMaxSecurityRecordBytes) return nullptr;
  BlockGuard record(TryAllocateBlock(size));
  if (record.get() == nullptr) return nullptr;
  DWORD written = 0;
  if (!GetTokenInformation(token, kind, record.get(), size, &written)) {
    ReportLastError("GetTokenInformation", nullptr);
    return nullptr;
  }
  return record.release();
}

// 1 when `sid` is the token's user or a logon-session SID of its groups.
int TokenNamesSid(PSID sid) {
  HandleGuard token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out())) {
    ReportLastError("OpenProcessToken", nullptr);
    return 0;
  }
  BlockGuard user(ReadTokenRecord(token.get(), TokenUser));
  if (user.get() != nullptr &&
      EqualSid(static_cast<TOKEN_USER*>(user.get())->User.Sid, sid)) {
    return 1;
  }
  BlockGuard groups(ReadTokenRecord(token.get(), TokenGroups));
  if (groups.get() == nullptr) return 0;
  const TOKEN_GROUPS* list = static_cast<const TOKEN_GROUPS*>(groups.get());
  for (DWORD i = 0; i < list->GroupCount; ++i) {
    const SID_AND_ATTRIBUTES& group = list->Groups[i];
    if ((group.Attributes & SE_GROUP_LOGON_ID) == SE_GROUP_LOGON_ID &&
        EqualSid(group.Sid, sid)) {
      return 1;
    }
  }
  return 0;
}

}  // namespace

int IsProcessAdministrator() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
  SidGuard administrators;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, administrators.out())) {
    ReportLastError("AllocateAndInitializeSid", nullptr);
    return 0;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators.get(), &member)) {
    ReportLastError("CheckTokenMembership", nullptr);
    member = FALSE;
  }
  return member ? 1 : 0;
}

int32_t TokenElevationKind() {
  HandleGuard token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.out())) {
    ReportLastError("OpenProcessToken", nullptr);
    return 0;
  }
  // TokenElevationType (18) is refused before Vista: no elevation there, said
  // nothing about.
  constexpr int kTokenElevationTypeClass = 18;
  DWORD type = 0, size = 0;
  if (!GetTokenInformation(token.get(), static_cast<TOKEN_INFORMATION_CLASS>(kTokenElevationTypeClass),
                           &type, sizeof(type), &size) ||
      size != sizeof(type)) {
    return 0;
  }
  return static_cast<int32_t>(type);
}

int EnableShutdownPrivilege() {
  HandleGuard token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.out())) {
    ReportLastError("OpenProcessToken", nullptr);
    return 0;
  }
  TOKEN_PRIVILEGES privileges = {};
  if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    ReportLastError("LookupPrivilegeValueW", WTEXT("SeShutdownPrivilege"));
    return 0;
  }
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // AdjustTokenPrivileges succeeds even when it assigned nothing; only the
  // last error tells ERROR_NOT_ALL_ASSIGNED apart.
  SetLastError(ERROR_SUCCESS);
  const BOOL adjusted =
      AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  if (adjusted && GetLastError() == ERROR_SUCCESS) return 1;
  ReportLastError("AdjustTokenPrivileges", WTEXT("SeShutdownPrivilege"));
  return 0;
}

DesktopUser ThreadDesktopUser() {
  // Windows answers a desktop's UOI_USER_SID from its window station, and the
  // thread's desktop always lies on the process's window station: asking that
  // gives the same SID without GetCurrentThreadId. The handle is the system's.
  HWINSTA station = GetProcessWindowStation();
  if (station == nullptr) {
    ReportLastError("GetProcessWindowStation", nullptr);
    return kDesktopUserUnknown;
  }
  DWORD size = 0;
  // A window station with no user answers success and size 0; Wine does not serve
  // the query (ERROR_INVALID_PARAMETER).
  if (GetUserObjectInformationW(station, UOI_USER_SID, nullptr, 0, &size) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || size == 0) {
    return kDesktopUserUnknown;
  }
  // From here the desktop names a user: whatever fails cannot show it is ours.
  if (size > kMaxSecurityRecordBytes) return kDesktopUserOther;
  BlockGuard sid(TryAllocateBlock(size));
  if (sid.get() == nullptr) return kDesktopUserOther;
  DWORD written = 0;
  if (!GetUserObjectInformationW(station, UOI_USER_SID, sid.get(), size, &written)) {
    ReportLastError("GetUserObjectInformationW", nullptr);
    return kDesktopUserOther;
  }
  if (!IsValidSid(sid.get()) || GetLengthSid(sid.get()) > size) return kDesktopUserOther;
  return TokenNamesSid(sid.get()) ? kDesktopUserOurs : kDesktopUserOther;
}
