// runUninstall: removes this installation. What installations share goes only
// with the last of them, by the use counters of the product record; files that
// may be in use (the layout libraries, a running setup copy) go at the restart.

#include "app/InstallerApp.h"
#include "app/engine/RedirectionOff.h"
#include "setup/Files.h"
#include "setup/rules/ProgramPathSet.h"
#include "setup/rules/RecordPlan.h"

namespace {

// Whether `item` is a link on the shared desktop, a folder outside the
// product's own, which is removed from only through RemoveFileInside.
bool OnSharedDesktop(int32_t item) {
  return item == kGuideDesktopLinkItem || item == kChartDesktopLinkItem ||
         item == kReadMeDesktopLinkItem || item == kWebLinkDesktopItem;
}

// RemoveFileText, or for a desktop link RemoveFileBeside its planned path on
// the shared desktop.
int RemoveItem(const WString& path, int32_t item, const WString& planned) {
  if (!OnSharedDesktop(item)) return RemoveFileText(path);
  WString wide, plannedWide;
  if (path.IsEmpty() || planned.IsEmpty() || !wide.AssignAsWide(&path) ||
      !plannedWide.AssignAsWide(&planned)) {
    return 0;
  }
  return RemoveFileBeside(plannedWide.WideAt(0), wide.WideAt(0));
}

}  // namespace

int InstallerApp::runUninstall() {
  const RemovalPlan plan = PlanRemoval(installCount, recordedValueC);
  installCount = plan.installCount;
  recordedValueC = plan.documentUses;
  WString target32, target64;
  if (!layoutFilePaths(target32, target64, nullptr, nullptr)) return 0;

  // Every installation uses the same library and layout entry: another one
  // still counted keeps them.
  if (plan.removeLayout) {
    RedirectionOff nativeFolders(*this);
    /* result ignored: a library that stays is unused once its entry is gone */
    ScheduleRemovalAtRestart(target32.WideAt(0));
    if (is64BitSystem && !target64.IsEmpty()) {
      /* result ignored: as above */ ScheduleRemovalAtRestart(target64.WideAt(0));
    }
  }
  // Removals below that fail leave a file behind and nothing worse.
  if (plan.removeGuide) {
    const int32_t guide[] = {kGuideItem, kGuideMenuLinkItem, kGuideDesktopLinkItem};
    for (int32_t item : guide) {
      /* result ignored: see above */ RemoveItem(paths[item], item, paths[PlannedSlot(item)]);
    }
  }
  if (plan.removeShared) {
    const int32_t shared[] = {kReadMeItem,       kReadMeMenuLinkItem, kReadMeDesktopLinkItem,
                              kWebLinkMenuItem,  kWebLinkDesktopItem, kChartItem,
                              kChartMenuLinkItem, kChartDesktopLinkItem, kWebLinkIconItem};
    for (int32_t item : shared) {
      /* result ignored: see above */ RemoveItem(paths[item], item, paths[PlannedSlot(item)]);
    }
    /* result ignored: the user can still remove the layout in the system's settings */
    removeInputLanguage();
  }
  if (plan.removeLayout) {
    // The restart moves each staging library into place; one is still in the
    // program folder only when an install ended before that was scheduled, or
    // before the restart (the rename then finds nothing and the target goes).
    WString placed32, placed64, staging32, staging64;
    if (layoutFilePaths(placed32, placed64, &staging32, &staging64)) {
      /* result ignored: a file that stays keeps its folder, nothing worse */
      RemoveFileText(staging32);
      if (is64BitSystem) /* result ignored: as above */ RemoveFileText(staging64);
    }
  }
  // A running copy is deleted at the restart.
  /* result ignored: a copy that stays is left behind, nothing worse */
  RemoveFileText(paths[kSetupCopyItem]);
  /* result ignored: as the copy */ RemoveFileText(paths[kSetupCopyLinkItem]);
  const int32_t folders[] = {kProgramFolderSlot, kProgramParentSlot, kMenuFolderSlot,
                             kMenuParentSlot};
  for (int32_t slot : folders) {
    /* result ignored: a folder that still holds anything stays */ RemoveFolderText(paths[slot]);
  }

  if (plan.removeLayout) {
    unregisterLayoutEntry();  // 0 only when the entry is already gone
  }
  removeProductRecord();  // 0 only when there is no record left to remove
  uninstallDone = 1;
  return 1;
}
