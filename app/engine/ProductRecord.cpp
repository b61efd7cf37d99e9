// The product record under HKEY_LOCAL_MACHINE: written by the install (whole,
// or only the options in update-only mode) and taken apart by the removal as
// far as the use counters allow.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/KeyboardLayouts.h"
#include "setup/SystemGuards.h"
#include "setup/rules/ProgramPathSet.h"
#include "setup/rules/RecordPlan.h"
#include "text/Format.h"
#include "text/Memory.h"

namespace {

// The options and key assignments into the layout sub-record. 1 = the
// options were written (the assignments' write is not required).
int WriteOptions(InstallerApp& app, HKEY layout, int32_t variant, int32_t decimal,
                 int32_t recorded) {
  if (!app.writeDword(layout, kVariantValueId, static_cast<uint32_t>(variant)) ||
      !app.writeDword(layout, kDecimalOptionValueId, static_cast<uint32_t>(decimal)) ||
      !app.writeDword(layout, kRecordedOptionValueId, static_cast<uint32_t>(recorded))) {
    return 0;
  }
  uint32_t size = 0;
  BlockGuard assignments(app.saveKeyAssignments(size));
  if (assignments.get() != nullptr) {
    /* result ignored: the layout works without them; they are asked again next time */
    app.writeBinary(layout, kKeyAssignmentsValueId,
                    static_cast<const uint8_t*>(assignments.get()), size);
  }
  return 1;
}

}  // namespace

int InstallerApp::writeProductRecord() {
  if (updateOnly) {
    KeyGuard software(openKey(HKEY_LOCAL_MACHINE, kSoftwareKeyId, KEY_WRITE));
    KeyGuard vendor(software.get() ? openKey(software.get(), kVendorKeyId, KEY_WRITE) : nullptr);
    KeyGuard product(vendor.get() ? openKey(vendor.get(), kProductKeyId, KEY_WRITE) : nullptr);
    KeyGuard parent(product.get() ? openKey(product.get(), kLayoutRecordParentKeyId, KEY_WRITE)
                                  : nullptr);
    KeyGuard layout(parent.get() ? openKey(parent.get(), kLayoutRecordKeyId, KEY_WRITE) : nullptr);
    if (layout.get() == nullptr) return 0;
    return WriteOptions(*this, layout.get(), variantIndex, decimalOption, recordedOption);
  }

  // The user's language and layout before the first installation, kept once.
  WString previousInput;
  if (paths[kPreviousInputTextSlot].IsEmpty()) {
    WString layoutName, format;
    if (!ActiveKeyboardLayoutName(layoutName)) return 0;
    if (!loadText(kInitialInputFormatId, format) ||
        !Format(&previousInput, format.WideAt(0), static_cast<int32_t>(GetUserDefaultLangID()),
                layoutName.WideAt(0))) {
      return 0;
    }
  }

  KeyGuard software(openKey(HKEY_LOCAL_MACHINE, kSoftwareKeyId, KEY_WRITE));
  if (software.get() == nullptr) return 0;
  KeyGuard vendor(createKey(software.get(), kVendorKeyId, KEY_WRITE));
  if (vendor.get() == nullptr) return 0;
  KeyGuard product(createKey(vendor.get(), kProductKeyId, KEY_WRITE));
  const HKEY p = product.get();
  if (p == nullptr) return 0;

  RecordFacts facts = {};
  facts.readMeRecorded = !paths[kReadMeMenuLinkItem].IsEmpty();
  facts.webLinksRecorded = !paths[kWebLinkMenuItem].IsEmpty();
  facts.chartLevel = recordedValueA;
  facts.readMeDesktopMade = placementResultA != 0;
  facts.guideDesktopMade = placementResultB != 0;
  facts.chartDesktopMade = placementResultC != 0;
  const RecordWrites writes = PlanRecordWrites(facts);
  auto planned = [this](int32_t item) -> WString& { return paths[PlannedSlot(item)]; };

  if (!previousInput.IsEmpty() && !writeText(p, kInitialInputValueId, previousInput)) return 0;
  if (writes.readMe && (!writeText(p, kReadMeMenuLinkValueId, planned(kReadMeMenuLinkItem)) ||
                        !writeText(p, kReadMeFileValueId, planned(kReadMeItem)))) {
    return 0;
  }
  if (writes.readMeDesktopLink &&
      !writeText(p, kReadMeDesktopLinkValueId, planned(kReadMeDesktopLinkItem))) {
    return 0;
  }
  if (writes.webLinks && (!writeText(p, kWebLinkMenuValueId, planned(kWebLinkMenuItem)) ||
                          !writeText(p, kWebLinkDesktopValueId, planned(kWebLinkDesktopItem)) ||
                          !writeText(p, kWebLinkIconValueId, planned(kWebLinkIconItem)))) {
    return 0;
  }
  if (writes.chart) {
    if (!writeText(p, kChartFileValueId, planned(kChartItem)) ||
        !writeText(p, kChartMenuLinkValueId, planned(kChartMenuLinkItem))) {
      return 0;
    }
    if (writes.chartDesktopLink &&
        !writeText(p, kChartDesktopLinkValueId, planned(kChartDesktopLinkItem))) {
      return 0;
    }
    // Required: a record without it is not read back at all.
    if (!writeDword(p, kChartLevelValueId, kRecordedLevel)) return 0;
  }

  {
    KeyGuard group(createKey(p, kDocumentGroupKeyId, KEY_WRITE));
    KeyGuard documents(group.get() ? createKey(group.get(), kDocumentKeyId, KEY_WRITE) : nullptr);
    const HKEY d = documents.get();
    if (d == nullptr) return 0;
    if (!writeText(d, kGuideFileValueId, planned(kGuideItem)) ||
        !writeText(d, kGuideMenuLinkValueId, planned(kGuideMenuLinkItem))) {
      return 0;
    }
    if (writes.guideDesktopLink &&
        !writeText(d, kGuideDesktopLinkValueId, planned(kGuideDesktopLinkItem))) {
      return 0;
    }
    if (!writeDword(d, kGuideLevelValueId, kRecordedLevel) ||
        !writeDword(d, kGuideUseCountValueId, static_cast<uint32_t>(recordedValueC))) {
      return 0;
    }
  }

  KeyGuard parent(createKey(p, kLayoutRecordParentKeyId, KEY_WRITE));
  KeyGuard layout(parent.get() ? createKey(parent.get(), kLayoutRecordKeyId, KEY_WRITE) : nullptr);
  const HKEY l = layout.get();
  if (l == nullptr) return 0;
  if (!writeText(l, kSetupCopyValueId, planned(kSetupCopyItem)) ||
      !writeText(l, kSetupLinkValueId, planned(kSetupCopyLinkItem)) ||
      !writeDword(l, kLevelValueId, kRecordedLevel) ||
      !WriteOptions(*this, l, variantIndex, decimalOption, recordedOption)) {
    return 0;
  }
  // The counter last: a record without it is an install that stopped before its
  // end, which the next one neither counts twice nor takes for an installation.
  return writeDword(p, kInstallCountValueId, static_cast<uint32_t>(installCount));
}

int InstallerApp::removeProductRecord() {
  KeyGuard software(openKey(HKEY_LOCAL_MACHINE, kSoftwareKeyId, KEY_WRITE));
  KeyGuard vendor(software.get() ? openKey(software.get(), kVendorKeyId, KEY_WRITE) : nullptr);
  KeyGuard product(vendor.get() ? openKey(vendor.get(), kProductKeyId, KEY_WRITE) : nullptr);
  const HKEY p = product.get();
  if (p == nullptr) return 0;
  if (installCount == 0) {
    // The last installation: Windows' list of programs loses it first, then the
    // counter, which an install writes last. A removal that stops after that
    // leaves a record the next install neither counts nor reads as an
    // installation (one that stops before it reads as one, which Remove
    // finishes); that install places the shared files again.
    /* result ignored: an entry that stays offers a removal with nothing left to do */
    removeUninstallEntry();
    /* result ignored: deleted again with the other values below */
    deleteValue(p, kInstallCountValueId);
  }
  {
    // The layout sub-record may be gone already (the removal of one of two
    // installations takes it, and so may a removal that stopped part-way): the
    // rest of the record is removed all the same.
    KeyGuard parent(openKey(p, kLayoutRecordParentKeyId, KEY_WRITE));
    if (parent.get() != nullptr) {
      {
        KeyGuard layout(openKey(parent.get(), kLayoutRecordKeyId, KEY_WRITE));
        if (layout.get() != nullptr) {
          deleteValue(layout.get(), kSetupCopyValueId);
          deleteValue(layout.get(), kSetupLinkValueId);
          deleteValue(layout.get(), kLevelValueId);
        }
      }
      /* result ignored: keys that still hold others stay, as they should */
      deleteSubKey(parent.get(), kLayoutRecordKeyId);
    }
  }
  /* result ignored: as above */ deleteSubKey(p, kLayoutRecordParentKeyId);

  {
    KeyGuard group(openKey(p, kDocumentGroupKeyId, KEY_WRITE));
    if (group.get() != nullptr) {
      KeyGuard documents(openKey(group.get(), kDocumentKeyId, KEY_WRITE));
      if (recordedValueC != 0) {
        if (documents.get() != nullptr) {
          /* result ignored: a count left higher only keeps the guide longer */
          writeDword(documents.get(), kGuideUseCountValueId, static_cast<uint32_t>(recordedValueC));
        }
      } else {
        if (documents.get() != nullptr) {
          const uint32_t values[] = {kGuideFileValueId, kGuideMenuLinkValueId,
                                     kGuideDesktopLinkValueId, kGuideLevelValueId,
                                     kGuideUseCountValueId};
          for (uint32_t value : values) deleteValue(documents.get(), value);
          documents.reset();
        }
        /* result ignored: as above */ deleteSubKey(group.get(), kDocumentKeyId);
        group.reset();
        /* result ignored: as above */ deleteSubKey(p, kDocumentGroupKeyId);
      }
    }
  }

  if (installCount != 0) {
    /* result ignored: a count left higher only keeps the shared files longer */
    writeDword(p, kInstallCountValueId, static_cast<uint32_t>(installCount));
    return 1;
  }
  const uint32_t values[] = {kInitialInputValueId,    kInstallCountValueId, kReadMeMenuLinkValueId,
                             kReadMeFileValueId,      kReadMeDesktopLinkValueId,
                             kWebLinkMenuValueId,     kWebLinkDesktopValueId, kChartFileValueId,
                             kChartMenuLinkValueId,   kChartDesktopLinkValueId,
                             kWebLinkIconValueId,     kChartLevelValueId};
  for (uint32_t value : values) deleteValue(p, value);
  product.reset();
  /* result ignored: as above */ deleteSubKey(vendor.get(), kProductKeyId);
  vendor.reset();
  /* result ignored: as above */ deleteSubKey(software.get(), kVendorKeyId);
  return 1;
}
