// The process token's group membership and shutdown privilege; every handle
// and identifier is freed on every path.

#include "setup/Privileges.h"

#include <windows.h>

#include "setup/SystemGuards.h"

int IsProcessAdministrator() {
  SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
  SidGuard administrators;
  if (!AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, administrators.out())) {
    return 0;
  }
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators.get(), &member)) member = FALSE;
  return member ? 1 : 0;
}

int EnableShutdownPrivilege() {
  HandleGuard token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.out())) {
    return 0;
  }
  TOKEN_PRIVILEGES privileges = {};
  if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
    return 0;
  }
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  // AdjustTokenPrivileges succeeds even when it assigned nothing; only the
  // last error tells ERROR_NOT_ALL_ASSIGNED apart.
  SetLastError(ERROR_SUCCESS);
  const BOOL adjusted =
      AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  return (adjusted && GetLastError() == ERROR_SUCCESS) ? 1 : 0;
}
