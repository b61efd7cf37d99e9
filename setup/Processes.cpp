// Process primitives: the program associated with a file type, and commands
// formatted from a string-table text and started with a bounded wait.

#include <windows.h>
#include <shlwapi.h>

#include <stdarg.h>
#include <string.h>

#include "app/InstallerApp.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

constexpr DWORD kAssociationChars = 2048;
// The program never waits longer for a command it started.
constexpr DWORD kCommandWaitMs = 1000;

}  // namespace

int InstallerApp::findAssociatedProgram(uint32_t associationId, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (!loadText(associationId, lookupBuffer) || lookupBuffer.IsEmpty()) return 0;
  WChar buffer[kAssociationChars] = {};
  DWORD count = kAssociationChars;
  // The machine's association only: the user's own classes can be written
  // without elevation, and the program found here runs elevated.
  const HRESULT result = AssocQueryStringW(ASSOCF_NOUSERSETTINGS, ASSOCSTR_EXECUTABLE,
                                           lookupBuffer.WideAt(0), nullptr, buffer, &count);
  if (FAILED(result)) return 0;
  buffer[kAssociationChars - 1] = 0;
  // S_FALSE and friends with nothing written are not a program, and only a
  // program of the system's own is run.
  if (buffer[0] == 0 || !IsInSystemFolder(buffer)) return 0;
  return out.AssignWide(buffer, -1);
}

int InstallerApp::runCommand(uint32_t formatId, ...) {
  if (formatId == 0) return 0;
  if (!loadText(formatId, lookupBuffer) || lookupBuffer.IsEmpty()) return 0;
  WString command;
  command.AssignWide(WTEXT(""), 0);
  va_list arguments;
  va_start(arguments, formatId);
  const int formatted = command.AppendFormatV(lookupBuffer.WideAt(0), arguments);
  va_end(arguments);
  if (!formatted || command.IsEmpty()) return 0;

  // CreateProcessW may write into the command line: give it a copy of its own.
  const size_t bytes = (static_cast<size_t>(command.Length()) + 1) * sizeof(WChar);
  BlockGuard lineBlock(AllocateBlock(bytes));
  WChar* line = static_cast<WChar*>(lineBlock.get());
  memcpy(line, command.WideAt(0), bytes - sizeof(WChar));
  line[command.Length()] = 0;

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

int InstallerApp::runWithAssociatedProgram(uint32_t associationId, uint32_t formatId,
                                           const WChar* argument) {
  WString program;
  if (!findAssociatedProgram(associationId, program)) return 0;
  return runCommand(formatId, program.WideAt(0), argument != nullptr ? argument : WTEXT(""));
}
