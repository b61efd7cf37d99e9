// The product's entry in Windows' list of programs, which offers Uninstall and
// Change (Update) through the setup copy.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/Files.h"
#include "setup/SystemGuards.h"
#include "setup/rules/ProgramPathSet.h"

namespace {

// The files an installation places that take room (the shortcuts hardly do).
const int32_t kSizedItems[] = {kGuideItem, kChartItem, kReadMeItem, kWebLinkIconItem,
                               kSetupCopyItem};

}  // namespace

int InstallerApp::writeUninstallEntry() {
  KeyGuard list(createKey(HKEY_LOCAL_MACHINE, kUninstallListKeyId, KEY_WRITE));
  KeyGuard entry(list.get() != nullptr ? createKey(list.get(), kUninstallEntryKeyId, KEY_WRITE)
                                       : nullptr);
  const HKEY e = entry.get();
  if (e == nullptr) return 0;
  WString copy, quoted, folder;
  if (!copy.Assign(&paths[PlannedSlot(kSetupCopyItem)]) || copy.IsEmpty() ||
      !quoted.AssignWide(WTEXT("\""), 1) || !quoted.Append(&copy) ||
      !quoted.AppendWide(WTEXT("\""), 1) || !folder.Assign(&paths[kProgramFolderSlot])) {
    return 0;
  }
  // The staging libraries stand for the system's ones, which they become.
  uint64_t bytes = 0;
  WString target32, target64, staging32, staging64;
  if (layoutFilePaths(target32, target64, &staging32, &staging64)) {
    bytes += FileSizeOf(staging32.WideAt(0)) + FileSizeOf(staging64.WideAt(0));
  }
  for (int32_t item : kSizedItems) {
    WString wide;
    if (wide.AssignAsWide(&paths[PlannedSlot(item)])) bytes += FileSizeOf(wide.WideAt(0));
  }
  const uint32_t kilobytes = static_cast<uint32_t>((bytes + 1023) / 1024);
  return writeTextIds(e, kUninstallNameValueId, kUninstallDisplayNameId) &&
                 writeTextIds(e, kUninstallVersionValueId, kProductVersionId) &&
                 writeTextIds(e, kUninstallPublisherValueId, kVendorKeyId) &&
                 writeText(e, kUninstallIconValueId, copy) &&
                 writeText(e, kUninstallLocationValueId, folder) &&
                 writeText(e, kUninstallCommandValueId, quoted) &&
                 writeText(e, kUninstallModifyValueId, quoted) &&
                 writeTextIds(e, kUninstallAboutValueId, kProductWebAddressId) &&
                 writeDword(e, kUninstallSizeValueId, kilobytes) &&
                 writeDword(e, kUninstallNoModifyValueId, 0) &&
                 writeDword(e, kUninstallNoRepairValueId, 1)
             ? 1
             : 0;
}

int InstallerApp::removeUninstallEntry() {
  KeyGuard list(openKey(HKEY_LOCAL_MACHINE, kUninstallListKeyId, KEY_WRITE));
  // No list, no entry.
  if (list.get() == nullptr) return 1;
  return deleteSubKey(list.get(), kUninstallEntryKeyId);
}
