// Enabling the shutdown privilege in the process token before a restart.
// The token handle is closed on every path.
#include "app/ShutdownPrivilege.h"

#include <windows.h>

namespace {

class TokenHandle {
 public:
  TokenHandle() : handle(nullptr) {}
  ~TokenHandle() {
    if (handle != nullptr) /* ok = */ CloseHandle(handle);
  }
  TokenHandle(const TokenHandle&) = delete;
  TokenHandle& operator=(const TokenHandle&) = delete;
  HANDLE handle;
};

}  // namespace

int EnableShutdownPrivilege() {
  TokenHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                        &token.handle)) {
    token.handle = nullptr;
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
  BOOL adjusted = AdjustTokenPrivileges(token.handle, FALSE, &privileges, 0, nullptr, nullptr);
  if (!adjusted || GetLastError() != ERROR_SUCCESS) return 0;
  return 1;
}
