// RequestRestart: the shutdown call with a reason where the system has it, the
// older call without one where it does not.
#include "setup/Restart.h"

#include "setup/SystemErrors.h"

namespace {

typedef BOOL(WINAPI* ShutdownWithReasonProc)(LPWSTR, LPWSTR, DWORD, BOOL, BOOL, DWORD);
typedef BOOL(WINAPI* ShutdownProc)(LPWSTR, LPWSTR, DWORD, BOOL, BOOL);

template <typename Proc>
Proc ProcOf(HMODULE module, const char* name) {
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

int RequestRestart(HMODULE advapi, DWORD reason) {
  if (advapi == nullptr) return 0;
  WCHAR noMessage[1] = {0};
  ShutdownWithReasonProc withReason =
      ProcOf<ShutdownWithReasonProc>(advapi, "InitiateSystemShutdownExW");
  if (withReason != nullptr) {
    if (withReason(nullptr, noMessage, 0, FALSE, TRUE, reason)) return 1;
    ReportLastError("InitiateSystemShutdownExW", nullptr);
    return 0;
  }
  ShutdownProc plain = ProcOf<ShutdownProc>(advapi, "InitiateSystemShutdownW");
  if (plain != nullptr) {
    if (plain(nullptr, noMessage, 0, FALSE, TRUE)) return 1;
    ReportLastError("InitiateSystemShutdownW", nullptr);
    return 0;
  }
  ReportLastError("GetProcAddress", WTEXT("InitiateSystemShutdownW"));
  return 0;
}
