// Process primitives: the program associated with a file type, and commands
// started in the system folder with a bounded wait.

#include "setup/Processes.h"

#include <windows.h>
#include <shlwapi.h>

#include <string.h>

#include "setup/ShellLibraries.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

constexpr DWORD kAssociationChars = 2048;
// The longest executable path AssocQueryStringW may ask room for; a larger
// request is refused rather than trusted.
constexpr DWORD kMaxAssociationChars = 32768;
// The program never waits longer for a command it started.
constexpr DWORD kCommandWaitMs = 1000;

}  // namespace

int FindSystemAssociatedProgram(const WChar* association, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (association == nullptr || association[0] == 0) return 0;
  WChar buffer[kAssociationChars] = {};
  DWORD count = kAssociationChars;
  // The machine's association only: the user's own classes can be written
  // without elevation, and the program found here runs elevated.
  const HRESULT result = QueryAssociationString(ASSOCF_NOUSERSETTINGS, ASSOCSTR_EXECUTABLE,
                                                association, nullptr, buffer, &count);
  if (FAILED(result)) return 0;
  buffer[kAssociationChars - 1] = 0;
  // S_FALSE and friends with nothing written are not a program, and only a
  // program of the system's own is run.
  if (buffer[0] == 0 || !IsInSystemFolder(buffer)) return 0;
  return out.AssignWide(buffer, -1);
}

int FindUserAssociatedProgram(const WChar* association, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (association == nullptr || association[0] == 0) return 0;
  WChar* buffer = out.ReserveWide(kAssociationChars);
  if (buffer == nullptr) return 0;
  DWORD count = kAssociationChars;
  HRESULT result = QueryAssociationString(0, ASSOCSTR_EXECUTABLE, association, nullptr, buffer, &count);
  if (result == E_POINTER) {
    // The path is longer: the call reported the room it needs.
    if (count == 0 || count > kMaxAssociationChars) return 0;
    buffer = out.ReserveWide(static_cast<int32_t>(count));
    if (buffer == nullptr) return 0;
  }
  // Asked again in every case, with all the room the buffer has.
  count = static_cast<DWORD>(out.Capacity());
  result = QueryAssociationString(0, ASSOCSTR_EXECUTABLE, association, nullptr, buffer, &count);
  if (FAILED(result)) {
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  // The reported count includes the terminator: the text ends at its first zero.
  out.SetLength(-1);
  return 1;
}

int RunCommandLine(const WString& command) {
  WString wide;
  if (command.IsEmpty() || !wide.AssignAsWide(&command)) return 0;
  // CreateProcessW may write into the command line: give it a copy of its own.
  const size_t bytes = (static_cast<size_t>(wide.Length()) + 1) * sizeof(WChar);
  BlockGuard lineBlock(AllocateBlock(bytes));
  WChar* line = static_cast<WChar*>(lineBlock.get());
  memcpy(line, wide.WideAt(0), bytes - sizeof(WChar));
  line[wide.Length()] = 0;

  // The child starts in the system folder, not in the folder this program
  // was started from, where anyone may have left files it would pick up.
  WString folder;
  if (!GetSystemFolder(folder)) return 0;

  STARTUPINFOW startup;
  memset(&startup, 0, sizeof(startup));
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process;
  memset(&process, 0, sizeof(process));
  // No application name: the command texts name their program by full path
  // and in quotes, so no search of the program's own folder takes place.
  if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, folder.WideAt(0),
                      &startup, &process)) {
    return 0;
  }
  HandleGuard processHandle(process.hProcess);
  HandleGuard threadHandle(process.hThread);
  /* result ignored: a command still running after the wait is left to finish */
  WaitForSingleObject(process.hProcess, kCommandWaitMs);
  return 1;
}
