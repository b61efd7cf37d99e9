// Reading what an earlier installation left: the system's scan-code map into
// the key table, and the product record (or the bare layout entry) into the state.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/SystemGuards.h"
#include "setup/rules/ProgramPathSet.h"
#include "setup/rules/RecordNumbers.h"
#include "setup/rules/RecordPlan.h"
#include "setup/rules/ScancodeMap.h"
#include "setup/rules/StoredPath.h"
#include "setup/rules/WindowsVersions.h"
#include "text/Memory.h"

namespace {

// The layout entry is the system's own: from Windows XP on, a 32-bit process
// on 64-bit Windows must look at the native view (Windows 2000 lacks the flag).
constexpr int32_t kFirstVersionWithRegistryViews = kWindowsXp;

}  // namespace

void InstallerApp::readScancodeMap() {
  if (keyTable == nullptr || keyCount == 0) return;
  KeyGuard key(openKey(HKEY_LOCAL_MACHINE, kScancodeMapKeyId, KEY_READ));
  if (key.get() == nullptr) return;
  uint32_t size = 0;
  BlockGuard block(readBinary(key.get(), kScancodeMapValueId, size));
  if (block.get() == nullptr) return;
  const uint8_t* bytes = static_cast<const uint8_t*>(block.get());
  // Set even for a damaged map, so that writing later replaces it.
  scancodeMapPresent = 1;
  if (ScancodeMapEntryCount(bytes, size) != 0) {
    ApplyScancodeMap(keyTable, keyCount, bytes, size);
    /* result ignored: the table exists, checked above */ normaliseKeyTable();
  }
}

void InstallerApp::detectInstallation() {
  installedVersion = 0;

  // A text value into a stored path slot, which keeps its text when the read
  // fails (readText empties its output then). 1 = read.
  WString scratch;
  auto readStored = [this, &scratch](HKEY key, uint32_t valueId, int32_t slot) -> int {
    if (!readText(key, valueId, scratch)) return 0;
    return paths[slot].Assign(&scratch);
  };
  // A recorded file is deleted by the sequences: a path the program would not
  // have recorded (empty, another folder or kind of file) is read as the file
  // this run plans for the item, which is the one an installation made.
  auto readPath = [this, &scratch](HKEY key, uint32_t valueId, int32_t item) -> int {
    if (!readText(key, valueId, scratch)) return 0;
    const WString& planned = paths[PlannedSlot(item)];
    return paths[item].Assign(IsStoredPathUsable(scratch, planned) ? &scratch : &planned);
  };
  auto readNumber = [this](HKEY key, uint32_t valueId, int32_t* field) -> int {
    uint32_t value = 0;
    if (!readDword(key, valueId, value)) return 0;
    *field = static_cast<int32_t>(value);
    return 1;
  };
  // A counter or a level out of its range is damage, read as a missing value.
  auto readCount = [this](HKEY key, uint32_t valueId, int32_t* field) -> int {
    uint32_t value = 0;
    if (!readDword(key, valueId, value) || !IsUsableUseCount(value)) return 0;
    *field = static_cast<int32_t>(value);
    return 1;
  };
  // A stored choice, taken only when it lies in 0 .. highest.
  auto readChoice = [this](HKEY key, uint32_t valueId, uint32_t highest, int32_t* field) {
    uint32_t value = 0;
    if (readDword(key, valueId, value) && value <= highest) *field = static_cast<int32_t>(value);
  };

  // Returns at the first required read that fails; the guards close the keys.
  auto readProductRecord = [&]() {
    KeyGuard software(openKey(HKEY_LOCAL_MACHINE, kSoftwareKeyId, KEY_READ));
    if (software.get() == nullptr) return;
    KeyGuard vendor(openKey(software.get(), kVendorKeyId, KEY_READ));
    if (vendor.get() == nullptr) return;
    KeyGuard product(openKey(vendor.get(), kProductKeyId, KEY_READ));
    const HKEY p = product.get();
    if (p == nullptr) return;

    if (!readStored(p, kInitialInputValueId, kPreviousInputTextSlot)) return;
    if (!readCount(p, kInstallCountValueId, &installCount)) return;
    if (!readPath(p, kReadMeFileValueId, kReadMeItem)) return;
    readPath(p, kReadMeMenuLinkValueId, kReadMeMenuLinkItem);
    readPath(p, kReadMeDesktopLinkValueId, kReadMeDesktopLinkItem);
    if (!readPath(p, kWebLinkMenuValueId, kWebLinkMenuItem)) return;
    readPath(p, kWebLinkDesktopValueId, kWebLinkDesktopItem);
    if (!readPath(p, kChartFileValueId, kChartItem)) return;
    if (!readPath(p, kChartMenuLinkValueId, kChartMenuLinkItem)) return;
    readPath(p, kChartDesktopLinkValueId, kChartDesktopLinkItem);
    if (!readPath(p, kWebLinkIconValueId, kWebLinkIconItem)) return;
    if (!readNumber(p, kChartLevelValueId, &recordedValueA)) return;
    // The document group is optional as a whole, but once present it must be whole.
    {
      KeyGuard group(openKey(p, kDocumentGroupKeyId, KEY_READ));
      KeyGuard documents(group.get() != nullptr ? openKey(group.get(), kDocumentKeyId, KEY_READ)
                                                : nullptr);
      const HKEY d = documents.get();
      if (d != nullptr) {
        if (!readPath(d, kGuideFileValueId, kGuideItem)) return;
        if (!readPath(d, kGuideMenuLinkValueId, kGuideMenuLinkItem)) return;
        readPath(d, kGuideDesktopLinkValueId, kGuideDesktopLinkItem);
        if (!readNumber(d, kGuideLevelValueId, &recordedVersion)) return;
        if (!readCount(d, kGuideUseCountValueId, &recordedValueC)) return;
      }
    }

    // The product key is whole and counts an installation. An install writes the
    // counter last, so a layout sub-record that is missing or lacks its setup
    // copy or level is a removal that stopped part-way (or damage): it reads as
    // an installation of this level, which the removal can finish.
    installedVersion = kRecordedLevel;
    KeyGuard layoutParent(openKey(p, kLayoutRecordParentKeyId, KEY_READ));
    KeyGuard layout(layoutParent.get() != nullptr
                        ? openKey(layoutParent.get(), kLayoutRecordKeyId, KEY_READ)
                        : nullptr);
    const HKEY l = layout.get();
    // A setup copy or link the record no longer names is the one this run plans.
    const int32_t copies[] = {kSetupCopyItem, kSetupCopyLinkItem};
    const uint32_t copyValues[] = {kSetupCopyValueId, kSetupLinkValueId};
    bool copiesRead = true;
    for (int i = 0; i < 2; ++i) {
      if (l != nullptr && readPath(l, copyValues[i], copies[i])) continue;
      copiesRead = false;
      /* result ignored: an empty slot only leaves the file behind */
      paths[copies[i]].Assign(&paths[PlannedSlot(copies[i])]);
    }
    if (!copiesRead) return;
    uint32_t level = 0;
    if (!readDword(l, kLevelValueId, level) || !IsUsableLevel(level)) return;
    installedVersion = static_cast<int32_t>(level);
    uint32_t size = 0;
    uint8_t* assignments = readBinary(l, kKeyAssignmentsValueId, size);
    // Takes the block over; a missing value (null) changes nothing.
    loadKeyAssignments(assignments, size);
    readChoice(l, kVariantValueId, 2, &variantIndex);
    readChoice(l, kDecimalOptionValueId, 1, &decimalOption);
    readChoice(l, kRecordedOptionValueId, 1, &recordedOption);
  };
  readProductRecord();

  if (installedVersion != 0) return;
  // No product record: an installation that left only the system's layout entry?
  const REGSAM access =
      KEY_READ | (versionCode >= kFirstVersionWithRegistryViews ? KEY_WOW64_64KEY : 0);
  KeyGuard layouts(openKey(HKEY_LOCAL_MACHINE, kLayoutListKeyId, access));
  if (layouts.get() == nullptr) return;
  KeyGuard entry(openKey(layouts.get(), kLayoutKeyNameId, access));
  if (entry.get() == nullptr) return;
  // Each value against its text, in this order, stopping at the first mismatch.
  const uint32_t compared[][2] = {{kLayoutTextValueId, kLayoutDisplayNameId},
                                  {kLayoutComponentValueId, kLayoutComponentId},
                                  {kLayoutFileValueId, kLayoutFileNameId}};
  WString expected;
  for (const auto& pair : compared) {
    if (!loadText(pair[1], expected)) return;
    if (!textEquals(entry.get(), pair[0], expected)) return;
  }
  installedVersion = kLayoutEntryOnlyLevel;
}
