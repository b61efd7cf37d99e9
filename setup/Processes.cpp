// Process primitives: the program associated with a file type, and commands
// started in the system folder with a bounded wait.

#include "setup/Processes.h"

#include <windows.h>
#include <shlwapi.h>

#include <string.h>

#include "setup/Libraries.h"
#include "setup/MachineChanges.h"
#include "setup/Registry.h"
#include "setup/ShellLibraries.h"
#include "setup/SystemErrors.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "text/DebugOutput.h"
#include "text/Format.h"
#include "text/Memory.h"

namespace {

constexpr DWORD kAssociationChars = 2048;
// The longest executable path AssocQueryStringW may ask room for; a larger
// request is refused rather than trusted.
constexpr DWORD kMaxAssociationChars = 32768;
// The program never waits longer for a command it started.
constexpr DWORD kCommandWaitMs = 1000;
// Long paths may exceed MAX_PATH; nothing longer than this is a path.
constexpr DWORD kLongestPathChars = 32768;
// Named here: mingw's headers declare it for Vista targets only.
constexpr DWORD kQueryLimitedInformation = 0x1000;

typedef BOOL(WINAPI* QueryImageNameProc)(HANDLE process, DWORD flags, LPWSTR name, PDWORD size);
typedef DWORD(WINAPI* ModuleFileNameExProc)(HANDLE process, HMODULE module, LPWSTR name,
                                            DWORD size);

// Asks `ask` (1 = the path fits and its length is in *length) with ever more
// room until the path fits.
template <typename Ask>
int ReadGrowingPath(WString& out, Ask ask) {
  for (DWORD room = MAX_PATH + 1; room <= kLongestPathChars; room *= 4) {
    WChar* buffer = out.ReserveWide(static_cast<int32_t>(room));
    if (buffer == nullptr) break;
    DWORD length = 0;
    const int answer = ask(buffer, room, &length);
    if (answer < 0) continue;  // more room needed
    if (answer == 0 || length == 0 || length >= room) break;
    out.SetLength(static_cast<int32_t>(length));
    out.Terminate();
    return 1;
  }
  out.AssignWide(WTEXT(""), 0);
  return 0;
}

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
  if (FAILED(result)) {
    ReportFailure("AssocQueryStringW", association, static_cast<DWORD>(result));
    return 0;
  }
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
    ReportFailure("AssocQueryStringW", association, static_cast<DWORD>(result));
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  // The reported count includes the terminator: the text ends at its first zero.
  out.SetLength(-1);
  return 1;
}

int StartElevated(const WChar* program) {
  if (program == nullptr || program[0] == 0) return 0;
  // The verb is looked up in the machine's class of programs only: the merged
  // view would let a per-user class (HKCU\Software\Classes\exefile) put another
  // command behind the consent prompt.
  KeyGuard programClass(
      OpenRegistryKey(HKEY_LOCAL_MACHINE, WTEXT("SOFTWARE\\Classes\\exefile"), KEY_READ));
  // The copy starts in the system folder, as every child does, not in the
  // folder this program was started from.
  WString folder;
  if (programClass.get() == nullptr || !GetSystemFolder(folder)) return 0;
  SHELLEXECUTEINFOW info;
  memset(&info, 0, sizeof(info));
  info.cbSize = sizeof(info);
  // No zone check of the file's origin: the running image is the file started.
  info.fMask = SEE_MASK_NOZONECHECKS | SEE_MASK_CLASSKEY;
  info.hkeyClass = programClass.get();
  info.lpVerb = L"runas";
  info.lpFile = program;
  info.lpDirectory = folder.WideAt(0);
  info.nShow = SW_SHOWNORMAL;
  if (ExecuteShellCommand(&info)) return 1;
  const DWORD error = GetLastError();
  if (error != ERROR_CANCELLED) ReportFailure("ShellExecuteExW", program, error);
  return 0;
}

int RunCommandLine(const WString& command) { return RunCommandLineWaiting(command, kCommandWaitMs); }

int RunCommandLineWaiting(const WString& command, DWORD waitMs) {
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
  if (!StartProcess(line, folder.WideAt(0), &startup, &process)) {
    ReportLastError("CreateProcessW", wide.WideAt(0));
    return 0;
  }
  HandleGuard processHandle(process.hProcess);
  HandleGuard threadHandle(process.hThread);
  DWORD exitCode = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, waitMs) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.hProcess, &exitCode)) {
    exitCode = STILL_ACTIVE;  // left to finish on its own
  }
  WString said;
  const WChar* const form = exitCode == STILL_ACTIVE ? WTEXT("setup: %s: still running after %u ms\n")
                                                     : WTEXT("setup: %s: exit code %u\n");
  if (Format(&said, form, wide.WideAt(0),
             static_cast<unsigned>(exitCode == STILL_ACTIVE ? waitMs : exitCode))) {
    SendDebugText(said.WideAt(0));
  }
  return 1;
}

int GetProcessImagePath(DWORD processId, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (processId == 0) return 0;
  // kernel32 is loaded in every process: asking for it loads nothing.
  const QueryImageNameProc query = reinterpret_cast<QueryImageNameProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"),
                                                  "QueryFullProcessImageNameW")));
  if (query != nullptr) {
    HandleGuard process(OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (process.get() == nullptr) {
      ReportLastError("OpenProcess", nullptr);
      return 0;
    }
    return ReadGrowingPath(out, [&](WChar* buffer, DWORD room, DWORD* length) {
      DWORD size = room;
      if (query(process.get(), 0, buffer, &size)) {
        *length = size;
        return 1;
      }
      if (GetLastError() == ERROR_INSUFFICIENT_BUFFER) return -1;
      ReportLastError("QueryFullProcessImageNameW", nullptr);
      return 0;
    });
  }
  // Before Vista: psapi.dll, never imported (a static import may be looked for
  // in the program's folder first), loaded from the system folder.
  ModuleGuard psapi(LoadSystemLibrary(L"psapi.dll"));
  if (psapi.get() == nullptr) return 0;
  const ModuleFileNameExProc moduleName = reinterpret_cast<ModuleFileNameExProc>(
      reinterpret_cast<void (*)()>(GetProcAddress(psapi.get(), "GetModuleFileNameExW")));
  if (moduleName == nullptr) return 0;
  HandleGuard process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (process.get() == nullptr) {
    ReportLastError("OpenProcess", nullptr);
    return 0;
  }
  return ReadGrowingPath(out, [&](WChar* buffer, DWORD room, DWORD* length) {
    // A full buffer means a cut path (Windows XP does not even terminate it).
    const DWORD written = moduleName(process.get(), nullptr, buffer, room);
    if (written == 0) {
      ReportLastError("GetModuleFileNameExW", nullptr);
      return 0;
    }
    if (written >= room - 1) return -1;
    *length = written;
    return 1;
  });
}
