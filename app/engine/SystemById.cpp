// The system primitives the application reaches by string id: each looks its
// texts up (the names into lookupBuffer) and calls the system layer once.

#include <windows.h>

#include <stdarg.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/Files.h"
#include "setup/Libraries.h"
#include "setup/OwnImage.h"
#include "setup/Processes.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "setup/rules/HexText.h"

// ---- Files -------------------------------------------------------------------

int InstallerApp::getSpecialFolder(int csidl, WString& out) {
  return GetSpecialFolder(ownerWindow(), csidl, out);
}

int InstallerApp::copyOwnImage(const WChar* target) { return CopyOwnImage(ownImage, target); }

// ---- Hex patterns ------------------------------------------------------------

uint8_t* InstallerApp::decodeHexString(uint32_t id, uint32_t& count) {
  count = 0;
  if (!loadText(id, lookupBuffer)) return nullptr;
  const char* digits = lookupBuffer.ToNarrow(-1);
  if (digits == nullptr) return nullptr;
  return DecodeHexText(digits, lookupBuffer.Length(), count);
}

// ---- Libraries ---------------------------------------------------------------

HMODULE InstallerApp::loadLibraryById(uint32_t libraryId) {
  if (!loadText(libraryId, lookupBuffer)) return nullptr;
  return LoadSystemLibrary(lookupBuffer.WideAt(0));
}

FARPROC InstallerApp::getProcById(uint32_t functionId, uint32_t libraryId, HMODULE& module) {
  if (module == nullptr) {
    module = loadLibraryById(libraryId);
    if (module == nullptr) return nullptr;
  }
  if (!loadText(functionId, lookupBuffer)) return nullptr;
  return FindProcedure(module, lookupBuffer);
}

HMODULE InstallerApp::loadRedirectionControl(FARPROC& disable, FARPROC& revert) {
  disable = nullptr;
  revert = nullptr;
  ModuleGuard module(loadLibraryById(kNativeSystemInfoLibraryId));
  if (module.get() == nullptr) return nullptr;
  HMODULE loaded = module.get();
  FARPROC disableProc = getProcById(kDisableFsRedirectionProcId, kNativeSystemInfoLibraryId, loaded);
  FARPROC revertProc = getProcById(kRevertFsRedirectionProcId, kNativeSystemInfoLibraryId, loaded);
  // Only the pair is of use: turning redirection off without a way back is not.
  if (disableProc == nullptr || revertProc == nullptr) return nullptr;
  disable = disableProc;
  revert = revertProc;
  return module.release();
}

// ---- Processes ---------------------------------------------------------------

int InstallerApp::findAssociatedProgram(uint32_t associationId, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (!loadText(associationId, lookupBuffer)) return 0;
  return FindSystemAssociatedProgram(lookupBuffer.WideAt(0), out);
}

int InstallerApp::formatCommand(uint32_t formatId, va_list arguments, WString& command) {
  if (formatId == 0 || !loadText(formatId, lookupBuffer) || lookupBuffer.IsEmpty()) return 0;
  command.AssignWide(WTEXT(""), 0);
  return command.AppendFormatV(lookupBuffer.WideAt(0), arguments);
}

int InstallerApp::runCommand(uint32_t formatId, ...) {
  WString command;
  va_list arguments;
  va_start(arguments, formatId);
  const int formatted = formatCommand(formatId, arguments, command);
  va_end(arguments);
  return formatted ? RunCommandLine(command) : 0;
}

int InstallerApp::runCommandWaiting(uint32_t waitMs, uint32_t formatId, ...) {
  WString command;
  va_list arguments;
  va_start(arguments, formatId);
  const int formatted = formatCommand(formatId, arguments, command);
  va_end(arguments);
  return formatted ? RunCommandLineWaiting(command, waitMs) : 0;
}

int InstallerApp::runSystemCommand(uint32_t formatId, const WChar* argument) {
  WString folder;
  if (!GetSystemFolder(folder) || folder.IsEmpty() || folder.ToWide(-1) == nullptr) return 0;
  return runCommand(formatId, folder.WideAt(0), argument != nullptr ? argument : WTEXT(""));
}
