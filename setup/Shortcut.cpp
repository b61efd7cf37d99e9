// createShortcut: a shell link file made through the shell's link object
// (IShellLinkW for the target, description and icon; IPersistFile to save it).

#include "setup/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "setup/Files.h"
#include "setup/MachineChanges.h"
#include "setup/ShellLibraries.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"

namespace {

// Spelled out here so the program needs no uuid library.
const CLSID kShellLinkClass = {
    0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkWInterface = {
    0x000214F9, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kPersistFileInterface = {
    0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkDataListInterface = {
    0x45E2B4AE, 0xB1C3, 0x11D0, {0xB9, 0x2F, 0x00, 0xA0, 0xC9, 0x03, 0x12, 0xE1}};
// SLDF_RUNAS_USER.
constexpr DWORD kRunAsAdministratorFlag = 0x00002000;

// Sets the link's "Run as administrator" flag, keeping its other flags.
void MarkRunAsAdministrator(IShellLinkW* link, const WChar* linkFile) {
  ComGuard<IShellLinkDataList> data;
  HRESULT result = link->QueryInterface(kShellLinkDataListInterface, data.out());
  DWORD flags = 0;
  if (SUCCEEDED(result)) result = data->GetFlags(&flags);
  if (SUCCEEDED(result)) result = data->SetFlags(flags | kRunAsAdministratorFlag);
  if (FAILED(result)) ReportFailure("IShellLinkDataList::SetFlags", linkFile, static_cast<DWORD>(result));
}

}  // namespace

int CreateShortcut(const WChar* target, const WChar* linkFile, const WChar* description,
                   const WChar* iconPath, int iconIndex, bool runAsAdministrator) {
  if (target == nullptr || target[0] == 0 || linkFile == nullptr || linkFile[0] == 0) return 0;
  // COM is initialised for the thread by the entry point.
  ComGuard<IShellLinkW> link;
  HRESULT result = CreateInProcessObject(kShellLinkClass, kShellLinkWInterface, link.out());
  if (FAILED(result)) {
    ReportFailure("CoCreateInstance", linkFile, static_cast<DWORD>(result));
    return 0;
  }
  // A link without its target would be saved pointing nowhere.
  result = link->SetPath(target);
  if (FAILED(result)) {
    ReportFailure("IShellLinkW::SetPath", target, static_cast<DWORD>(result));
    return 0;
  }
  if (description != nullptr) {
    /* result ignored: a missing description leaves a working link */
    link->SetDescription(description);
  }
  if (iconPath != nullptr) {
    /* result ignored: the shell falls back to the target's own icon */
    link->SetIconLocation(iconPath, iconIndex);
  }
  if (runAsAdministrator) MarkRunAsAdministrator(link.get(), linkFile);
  ComGuard<IPersistFile> file;
  result = link->QueryInterface(kPersistFileInterface, file.out());
  if (FAILED(result)) {
    ReportFailure("QueryInterface", linkFile, static_cast<DWORD>(result));
    return 0;
  }
  // The save writes by name: never through a link or a second name placed there.
  if (!IsPlainFileOrFree(linkFile)) return 0;
  // The callers record the link as placed: a link that was not written is a failure.
  result = SaveShortcutFile(file.get(), linkFile);
  if (SUCCEEDED(result)) return 1;
  ReportFailure("IPersistFile::Save", linkFile, static_cast<DWORD>(result));
  return 0;
}
