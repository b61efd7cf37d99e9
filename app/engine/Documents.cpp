// The product's files outside the system folders: the program and menu folders,
// the guide and the chart with their shortcuts, the read-me, the web links and
// their icon, the setup copy; and what an unrecorded older version left behind.

#include <windows.h>
#include <shlobj.h>

#include "app/InstallerApp.h"
#include "payload/PayloadStore.h"
#include "payload/StringIds.h"
#include "setup/Files.h"
#include "setup/Shortcut.h"
#include "setup/SystemGuards.h"
#include "setup/rules/ProgramPathSet.h"
#include "setup/rules/RecordPlan.h"
#include "setup/rules/WindowsVersions.h"
#include "text/Format.h"

namespace {

// Deletes the file a stored path names, now and without a retry (it is made
// again under its planned name). One on the shared desktop goes only from inside
// the folder of `planned` and never through a link (RemoveFileBeside).
void DeleteStored(const WString& stored, const WString* planned = nullptr) {
  if (stored.IsEmpty()) return;
  if (planned != nullptr) {
    /* result ignored: a link that stays is only an old copy */
    RemoveFileBeside(planned->WideAt(0), stored.WideAt(0));
    return;
  }
  /* result ignored: a file that stays is only an old copy */ DeleteFileNow(stored.WideAt(0));
}

// The link file's content, as UTF-8, into a new file at `path`.
int WriteTextToFile(const WString& path, WString& content) {
  HandleGuard file(CreateProtectedFile(path.WideAt(0)));
  if (file.get() == nullptr) return 0;
  return WriteNarrowText(file.get(), content);
}

}  // namespace

int InstallerApp::extractToFile(const WChar* path, const uint8_t* stored, uint32_t length) {
  if (path == nullptr || stored == nullptr) return 0;
  uint32_t plainLength = length;
  BlockGuard plain(keyBlock.extractEntry(stored, &plainLength, nullptr));
  if (plain.get() == nullptr) return 0;
  HandleGuard file(CreateProtectedFile(path));
  if (file.get() == nullptr) return 0;
  return WriteBytes(file.get(), static_cast<const uint8_t*>(plain.get()), plainLength);
}

int InstallerApp::writeTextFile(const WChar* path) {
  HandleGuard file(CreateProtectedFile(path));
  if (file.get() == nullptr) return 0;
  WString text;
  loadText(versionCode <= kWindows2000 ? kReadMeTextWindows2000Id : kReadMeTextId, text);
  return WriteNarrowText(file.get(), text);
}

const WChar* InstallerApp::plannedPath(int32_t item) const {
  return paths[PlannedSlot(item)].WideAt(0);
}

int InstallerApp::placeDocuments() {
  if (!ensureProductFolders()) return 0;
  // The old setup copy and its link go first; both are made again last.
  DeleteStored(paths[kSetupCopyItem]);
  DeleteStored(paths[kSetupCopyLinkItem]);
  return placeGuide() && placeChart() && placeReadMe() && placeWebLinks() && placeSetupCopy();
}

int InstallerApp::ensureProductFolders() {
  const int32_t folders[] = {kProgramParentSlot, kProgramFolderSlot, kMenuParentSlot,
                             kMenuFolderSlot};
  for (int32_t slot : folders) {
    if (!EnsureFolder(paths[slot].WideAt(0))) return 0;
  }
  return 1;
}

int InstallerApp::placeGuide() {
  // Its old files go where this run names them differently; a desktop
  // shortcut the user had is made again.
  bool guideOnDesktop = placementOption != 0;
  if (!paths[kGuideItem].IsEmpty() && recordedValueC != 0) --recordedValueC;
  const int32_t guideItems[] = {kGuideItem, kGuideMenuLinkItem, kGuideDesktopLinkItem};
  for (int32_t item : guideItems) {
    WString& old = paths[item];
    const WString& now = paths[PlannedSlot(item)];
    if (old.IsEmpty() || old.CompareWide(now.WideAt(0), now.Length()) == 0) continue;
    DeleteStored(old, item == kGuideDesktopLinkItem ? &now : nullptr);
    if (item == kGuideDesktopLinkItem) guideOnDesktop = true;
  }
  WString description;
  loadText(kGuideDescriptionId, description);
  const WChar* guide = plannedPath(kGuideItem);
  if (!extractToFile(guide, kPayloadStore.firstDocument.bytes, kPayloadStore.firstDocument.length) ||
      !CreateShortcut(guide, plannedPath(kGuideMenuLinkItem), description.WideAt(0), nullptr, 0)) {
    return 0;
  }
  if (guideOnDesktop) {
    if (!CreateShortcut(guide, plannedPath(kGuideDesktopLinkItem), description.WideAt(0), nullptr,
                        0)) {
      return 0;
    }
    placementResultB = 1;
  }
  ++recordedValueC;
  return 1;
}

int InstallerApp::placeChart() {
  if (recordedValueA >= kRecordedLevel) return 1;
  DeleteStored(paths[kChartItem]);
  DeleteStored(paths[kChartMenuLinkItem]);
  DeleteStored(paths[kChartDesktopLinkItem], &paths[PlannedSlot(kChartDesktopLinkItem)]);
  WString description;
  loadText(kChartDescriptionId, description);
  const WChar* chart = plannedPath(kChartItem);
  if (!extractToFile(chart, kPayloadStore.secondDocument.bytes,
                     kPayloadStore.secondDocument.length) ||
      !CreateShortcut(chart, plannedPath(kChartMenuLinkItem), description.WideAt(0), nullptr, 0)) {
    return 0;
  }
  if (placementOption) {
    if (!CreateShortcut(chart, plannedPath(kChartDesktopLinkItem), description.WideAt(0), nullptr,
                        0)) {
      return 0;
    }
    placementResultC = 1;
  }
  return 1;
}

int InstallerApp::placeReadMe() {
  WString readMeIcon, description;
  loadText(kReadMeIconPathId, readMeIcon);
  loadText(kReadMeDescriptionId, description);
  if (paths[kReadMeMenuLinkItem].IsEmpty()) {
    if (!writeTextFile(plannedPath(kReadMeItem)) ||
        !CreateShortcut(plannedPath(kReadMeItem), plannedPath(kReadMeMenuLinkItem),
                        description.WideAt(0), readMeIcon.WideAt(0), 0)) {
      return 0;
    }
  }
  if (placementOption && paths[kReadMeDesktopLinkItem].IsEmpty()) {
    // The desktop link points at the recorded read-me where there is one.
    const WString& recorded = paths[kReadMeItem];
    const WChar* target = !recorded.IsEmpty() ? recorded.WideAt(0) : plannedPath(kReadMeItem);
    if (target[0] != 0) {
      if (!CreateShortcut(target, plannedPath(kReadMeDesktopLinkItem), description.WideAt(0),
                          readMeIcon.WideAt(0), 0)) {
        return 0;
      }
      placementResultA = 1;
    }
  }
  return 1;
}

int InstallerApp::placeWebLinks() {
  // They are recorded as made, so a link that could not be written fails the
  // step rather than being recorded.
  if (!paths[kWebLinkMenuItem].IsEmpty()) return 1;
  WString format, iconName, content;
  if (!loadText(kWebLinkContentFormatId, format) || !loadText(kWebLinkIconFileId, iconName) ||
      !Format(&content, format.WideAt(0), paths[kProgramFolderSlot].WideAt(0),
              iconName.WideAt(0))) {
    return 0;
  }
  WString desktopContent;
  if (!desktopContent.Assign(&content)) return 0;
  return extractToFile(plannedPath(kWebLinkIconItem), kPayloadStore.linkIcon.bytes,
                       kPayloadStore.linkIcon.length) &&
                 WriteTextToFile(paths[PlannedSlot(kWebLinkMenuItem)], content) &&
                 WriteTextToFile(paths[PlannedSlot(kWebLinkDesktopItem)], desktopContent)
             ? 1
             : 0;
}

int InstallerApp::placeSetupCopy() {
  const WChar* copy = plannedPath(kSetupCopyItem);
  if (!copyOwnImage(copy)) return 0;
  // Windows Vista and later: the shortcut asks for an administrator's rights.
  return CreateShortcut(copy, plannedPath(kSetupCopyLinkItem), paths[kSetupLinkTextSlot].WideAt(0),
                        copy, 0, versionCode >= kWindowsVista);
}

int InstallerApp::removeOldShortcuts() {
  // The user chooses both folders (User Shell Folders): a file goes only from
  // inside the user's own profile, and never through a link.
  WString documents, desktop, profile;
  if (!GetUserProfileFolder(profile) || profile.IsEmpty()) return 1;
  getSpecialFolder(CSIDL_PERSONAL, documents);
  getSpecialFolder(CSIDL_DESKTOP, desktop);
  struct OldFile {
    const WString* folder;
    uint32_t nameId;
    uint32_t extensionId;
  } const files[] = {{&documents, kOldGuideNameId, kDocumentExtensionId},
                     {&desktop, kOldGuideNameId, kShortcutExtensionId},
                     {&documents, kOldReadMeNameId, kTextFileExtensionId},
                     {&desktop, kOldReadMeNameId, kShortcutExtensionId}};
  WString path, name, extension;
  for (const OldFile& file : files) {
    // Without its folder the name would be looked for at the drive's root.
    if (file.folder->IsEmpty()) continue;
    if (!loadText(file.nameId, name) || !loadText(file.extensionId, extension) || name.IsEmpty() ||
        !path.Assign(file.folder) || !path.AppendPathComponent(name.WideAt(0), name.Length()) ||
        !path.Append(&extension)) {
      continue;
    }
    /* result ignored: what cannot go stays, as before this installation */
    RemoveFileInside(profile.WideAt(0), path.WideAt(0));
  }
  return 1;
}
