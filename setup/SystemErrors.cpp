// The diagnostics line of a failed Windows call, and what counts as already gone.

#include "setup/SystemErrors.h"

#include "text/DebugOutput.h"
#include "text/Format.h"
#include "text/WString.h"

void ReportFailure(const char* call, const WChar* argument, DWORD error) {
  // A caller may still ask GetLastError() after the report.
  const DWORD kept = GetLastError();
  WString line;
  // Call names are ASCII literals: narrow, they take half the room.
  const WChar* const form = error > 0xFFFF ? WTEXT("setup: %hs%s%s: error 0x%08X\n")
                                           : WTEXT("setup: %hs%s%s: error %u\n");
  const bool named = argument != nullptr && argument[0] != 0;
  if (!Format(&line, form, call != nullptr ? call : "?", named ? WTEXT(" ") : WTEXT(""),
              named ? argument : WTEXT(""), static_cast<unsigned>(error))) {
    SetLastError(kept);
    return;  // nothing to send; the failure itself is the caller's result
  }
  SendDebugText(line.WideAt(0));
  SetLastError(kept);
}

DWORD ReportLastError(const char* call, const WChar* argument) {
  const DWORD error = GetLastError();
  ReportFailure(call, argument, error);
  return error;
}

int IsAlreadyGone(DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? 1 : 0;
}
