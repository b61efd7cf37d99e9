// The keyboard-layout library: which payload images the system needs, where they
// go, and writing each one, patched, to its staging file with its replacement
// of the system-folder target scheduled for the next restart.

#include <windows.h>
#include <shlobj.h>

#include "app/InstallerApp.h"
#include "app/engine/RedirectionOff.h"
#include "payload/PayloadStore.h"
#include "payload/StringIds.h"
#include "setup/Files.h"
#include "setup/SystemFolders.h"
#include "setup/SystemGuards.h"
#include "setup/rules/LayoutImagePatch.h"
#include "setup/rules/ProgramPathSet.h"
#include "setup/rules/SystemSupport.h"

namespace {

static_assert(kImageSlotsPerVariant == kLayoutImageSlotCount, "one image table");

// The 64-bit library's staging file is the 32-bit one's name with this ending.
const WChar kStaging64Suffix[] = WTEXT("64");

// A decoded pattern, freed when it goes.
struct DecodedPattern {
  BlockGuard bytes;
  uint32_t length = 0;
  BytePattern view() const {
    return BytePattern{static_cast<const uint8_t*>(bytes.get()), static_cast<int32_t>(length)};
  }
};

}  // namespace

int InstallerApp::layoutFilePaths(WString& target32, WString& target64, WString* staging32,
                                  WString* staging64) {
  target32.AssignWide(WTEXT(""), 0);
  target64.AssignWide(WTEXT(""), 0);
  WString fileName;
  if (!loadText(kLayoutFileNameId, fileName) || fileName.ToWide(-1) == nullptr ||
      fileName.IsEmpty()) {
    return 0;
  }
  WString systemFolder;
  if (!getSpecialFolder(CSIDL_SYSTEM, systemFolder) || systemFolder.IsEmpty()) return 0;
  if (is64BitSystem) {
    // The 32-bit library goes to the WOW64 folder by its own name: a replacement
    // recorded for "system32" would reach the native folder at the restart.
    HMODULE loaded = nullptr;
    FARPROC query = getProcById(kWow64SystemFolderProcId, kNativeSystemInfoLibraryId, loaded);
    ModuleGuard library(loaded);
    if (!GetWow64SystemFolder(query, target32)) return 0;
    // The system folder's name, which names the native folder while
    // redirection is off.
    if (!target64.Assign(&systemFolder)) return 0;
  } else if (!target32.Assign(&systemFolder)) {
    return 0;
  }
  if (!target32.AppendPathComponent(fileName.WideAt(0), fileName.Length())) return 0;
  if (is64BitSystem && !target64.AppendPathComponent(fileName.WideAt(0), fileName.Length())) {
    return 0;
  }
  const WString& programFolder = paths[kProgramFolderSlot];
  // Without the program folder a staging path would start at the drive's root.
  if ((staging32 != nullptr || staging64 != nullptr) && programFolder.IsEmpty()) return 0;
  if (staging32 != nullptr) {
    if (!staging32->AssignAsWide(&programFolder) ||
        !staging32->AppendPathComponent(fileName.WideAt(0), fileName.Length())) {
      return 0;
    }
  }
  if (staging64 != nullptr && is64BitSystem) {
    if (!staging64->AssignAsWide(&programFolder) ||
        !staging64->AppendPathComponent(fileName.WideAt(0), fileName.Length()) ||
        !staging64->AppendWide(kStaging64Suffix, -1)) {
      return 0;
    }
  }
  return 1;
}

int InstallerApp::chooseLayoutImages(const uint8_t*& entry32, const uint8_t*& entry64,
                                     int32_t& length32, int32_t& length64) {
  entry32 = nullptr;
  entry64 = nullptr;
  length32 = -1;
  length64 = -1;
  int32_t slot32 = kNoImageSlot, slot64 = kNoImageSlot;
  if (variantIndex < 0 || variantIndex >= kLayoutVariantCount) return 0;
  if (!ChooseLayoutImageSlots(versionCode, processorArchitecture, &slot32, &slot64)) return 0;
  const StoredEntry& image32 = kPayloadStore.layoutImages[variantIndex][slot32];
  if (image32.bytes != nullptr && image32.length != 0) {
    entry32 = image32.bytes;
    length32 = static_cast<int32_t>(image32.length);
  }
  if (slot64 != kNoImageSlot) {
    const StoredEntry& image64 = kPayloadStore.layoutImages[variantIndex][slot64];
    if (image64.bytes != nullptr && image64.length != 0) {
      entry64 = image64.bytes;
      length64 = static_cast<int32_t>(image64.length);
    }
  }
  return 1;
}

int InstallerApp::carriesLayoutImages() const {
  for (int32_t variant = 0; variant < kLayoutVariantCount; ++variant) {
    int32_t slot32 = kNoImageSlot, slot64 = kNoImageSlot;
    if (!ChooseLayoutImageSlots(versionCode, processorArchitecture, &slot32, &slot64)) return 0;
    const int32_t slots[] = {slot32, slot64};
    for (int32_t slot : slots) {
      if (slot == kNoImageSlot) continue;
      const StoredEntry& image = kPayloadStore.layoutImages[variant][slot];
      if (image.bytes == nullptr || image.length == 0) return 0;
    }
  }
  return 1;
}

int InstallerApp::writeLayoutImage(const WChar* target, const WChar* staging, const uint8_t* entry,
                                   uint32_t length) {
  if (target == nullptr || target[0] == 0 || staging == nullptr || staging[0] == 0 ||
      entry == nullptr) {
    return 0;
  }
  uint32_t imageLength = length;
  BlockGuard image(keyBlock.extractEntry(entry, &imageLength, nullptr));
  if (image.get() == nullptr || imageLength == 0 || imageLength > 0x7FFFFFFFu) return 0;

  // Only the patterns the changes need are decoded; the patcher refuses a
  // missing one that it needs, and changes nothing then.
  DecodedPattern scanCodes, extendedE0, extendedE1, decimalKey;
  const bool withKeys = keyTable != nullptr && keyCount > 0;
  if (withKeys && variantIndex >= 0 && variantIndex < kLayoutVariantCount) {
    *scanCodes.bytes.out() = decodeHexString(
        kFirstVirtualKeyPatternId + static_cast<uint32_t>(variantIndex), scanCodes.length);
    *extendedE0.bytes.out() = decodeHexString(kExtendedE0PatternId, extendedE0.length);
    *extendedE1.bytes.out() = decodeHexString(kExtendedE1PatternId, extendedE1.length);
  }
  if (decimalOption == 0) {
    *decimalKey.bytes.out() = decodeHexString(kDecimalKeyPatternId, decimalKey.length);
  }
  LayoutImagePatterns patterns = {};
  if (variantIndex >= 0 && variantIndex < kLayoutVariantCount) {
    patterns.scanCodeTable[variantIndex] = scanCodes.view();
  }
  patterns.extendedE0List = extendedE0.view();
  patterns.extendedE1List = extendedE1.view();
  patterns.decimalKey = decimalKey.view();
  LayoutImageChanges changes = {};
  changes.keys = withKeys ? keyTable : nullptr;
  changes.keyCount = withKeys ? keyCount : 0;
  changes.variantIndex = variantIndex;
  changes.decimalOption = decimalOption;
  uint8_t* bytes = static_cast<uint8_t*>(image.get());
  if (!PatchLayoutImage(bytes, static_cast<int32_t>(imageLength), patterns, changes)) return 0;

  {
    // It becomes a system file at the restart: nobody else may change it meanwhile.
    HandleGuard file(CreateProtectedFile(staging));
    if (file.get() == nullptr || !WriteBytes(file.get(), bytes, imageLength)) return 0;
  }
  // Never fought over: the library in use is replaced while Windows starts.
  RedirectionOff nativeFolders(*this);
  return ScheduleReplacementAtRestart(staging, target);
}

int InstallerApp::placeLayoutFiles() {
  WString target32, target64, staging32, staging64;
  const uint8_t* entry32 = nullptr;
  const uint8_t* entry64 = nullptr;
  int32_t length32 = -1, length64 = -1;
  if (!layoutFilePaths(target32, target64, &staging32, &staging64) ||
      !chooseLayoutImages(entry32, entry64, length32, length64) || entry32 == nullptr) {
    return 0;
  }
  // The staging files wait in the program folder until the restart: it is made
  // or reset to the product access first, also by an update alone (its parent
  // is the installation's, placeDocuments).
  if (!EnsureFolder(paths[kProgramFolderSlot].WideAt(0))) return 0;
  // A system without its 64-bit image (IA-64) gets neither library, rather
  // than a 32-bit one scheduled for an installation that then fails.
  if (is64BitSystem && entry64 == nullptr) return 0;
  if (!writeLayoutImage(target32.WideAt(0), staging32.WideAt(0), entry32,
                        static_cast<uint32_t>(length32))) {
    return 0;
  }
  if (!is64BitSystem) return 1;
  return writeLayoutImage(target64.WideAt(0), staging64.WideAt(0), entry64,
                          static_cast<uint32_t>(length64));
}
