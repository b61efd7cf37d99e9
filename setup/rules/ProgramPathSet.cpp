// Composition of the program folder, Start-menu folder, document, shortcut and
// setup-copy paths. Every part is made wide first, so narrow texts join too.
#include "setup/rules/ProgramPathSet.h"

#include "text/Format.h"

namespace {

const WChar kBackslash = WTEXT('\\');

// A wide copy of `text` (empty for null). 0 when it is malformed UTF-8.
int WideCopy(const WString* text, WString& out) {
  if (text == nullptr) return out.AssignWide(WTEXT(""), 0);
  return out.AssignAsWide(text);
}

// slot <- base \ component + ending (the ending may be null).
int Compose(WString& slot, const WString& base, const WString& component,
            const WString* ending) {
  int ok = slot.Assign(&base);
  ok &= slot.AppendPathComponent(component.WideAt(0), component.Length());
  if (ending != nullptr) ok &= slot.Append(ending);
  return ok;
}

// The texts the composition reads, each made wide once.
struct WideFacts {
  WString programFiles, commonPrograms, commonDesktop, vendorFolder, productFolder;
  WString displayName, chartName, documentExtension, shortcutExtension;
  WString textFileExtension, webLinkExtension, setupLinkFormat, webLinkName;
  WString readMeName, webLinkIcon, layoutDisplayName;
};

int MakeWide(const ProgramPathFacts& facts, WideFacts& wide) {
  int ok = WideCopy(facts.programFiles, wide.programFiles);
  ok &= WideCopy(facts.commonPrograms, wide.commonPrograms);
  ok &= WideCopy(facts.commonDesktop, wide.commonDesktop);
  ok &= WideCopy(facts.vendorFolder, wide.vendorFolder);
  ok &= WideCopy(facts.productFolder, wide.productFolder);
  ok &= WideCopy(facts.chartName, wide.chartName);
  ok &= WideCopy(facts.documentExtension, wide.documentExtension);
  ok &= WideCopy(facts.shortcutExtension, wide.shortcutExtension);
  ok &= WideCopy(facts.textFileExtension, wide.textFileExtension);
  ok &= WideCopy(facts.webLinkExtension, wide.webLinkExtension);
  ok &= WideCopy(facts.setupLinkFormat, wide.setupLinkFormat);
  ok &= WideCopy(facts.webLinkName, wide.webLinkName);
  ok &= WideCopy(facts.readMeName, wide.readMeName);
  ok &= WideCopy(facts.webLinkIcon, wide.webLinkIcon);
  ok &= WideCopy(facts.layoutDisplayName, wide.layoutDisplayName);
  // The first document's name: "guide (qualifier)".
  WString qualifier;
  ok &= WideCopy(facts.guideName, wide.displayName);
  ok &= WideCopy(facts.guideQualifier, qualifier);
  ok &= wide.displayName.AppendWide(WTEXT(" ("), 2);
  ok &= wide.displayName.Append(&qualifier);
  ok &= wide.displayName.AppendWide(WTEXT(")"), 1);
  return ok;
}

}  // namespace

int OwnFileName(const WChar* path, WString& out) {
  out.AssignWide(WTEXT(""), 0);
  if (path == nullptr || !out.AssignWide(path, -1)) return 0;
  const int32_t lastBackslash = out.FindLastChar(kBackslash, 0);
  const int32_t lastSlash = out.FindLastChar(WTEXT('/'), 0);
  const int32_t last = lastBackslash > lastSlash ? lastBackslash : lastSlash;
  if (last >= 0) out.DropFront(last + 1);
  // The name is joined to the program folder: it must stay a name in it.
  if (out.IsEmpty() || out.FindWide(WTEXT(":"), 0, 1) >= 0 ||
      out.FindWide(WTEXT(".."), 0, 2) >= 0) {
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  return 1;
}

int ComposeProgramPaths(const ProgramPathFacts& facts, WString* paths) {
  WideFacts wide;
  int ok = MakeWide(facts, wide);
  // Without a folder every path would begin at the current drive's root.
  if (wide.programFiles.IsEmpty() || wide.commonPrograms.IsEmpty() ||
      wide.commonDesktop.IsEmpty()) {
    return 0;
  }

  WString& programFolder = paths[kProgramFolderSlot];
  WString& menuFolder = paths[kMenuFolderSlot];
  ok &= Compose(paths[kProgramParentSlot], wide.programFiles, wide.vendorFolder, nullptr);
  ok &= Compose(programFolder, paths[kProgramParentSlot], wide.productFolder, nullptr);
  ok &= Compose(paths[kMenuParentSlot], wide.commonPrograms, wide.vendorFolder, nullptr);
  ok &= Compose(menuFolder, paths[kMenuParentSlot], wide.productFolder, nullptr);

  const WString& lnk = wide.shortcutExtension;
  ok &= Compose(paths[7], programFolder, wide.displayName, &wide.documentExtension);
  ok &= Compose(paths[9], menuFolder, wide.displayName, &lnk);
  ok &= Compose(paths[11], wide.commonDesktop, wide.displayName, &lnk);
  ok &= Compose(paths[13], programFolder, wide.chartName, &wide.documentExtension);
  ok &= Compose(paths[15], menuFolder, wide.chartName, &lnk);
  ok &= Compose(paths[17], wide.commonDesktop, wide.chartName, &lnk);
  ok &= Compose(paths[19], programFolder, wide.readMeName, &wide.textFileExtension);
  ok &= Compose(paths[21], menuFolder, wide.readMeName, &lnk);
  ok &= Compose(paths[23], wide.commonDesktop, wide.readMeName, &lnk);
  ok &= Compose(paths[25], menuFolder, wide.webLinkName, &wide.webLinkExtension);
  ok &= Compose(paths[27], wide.commonDesktop, wide.webLinkName, &wide.webLinkExtension);
  ok &= Compose(paths[29], programFolder, wide.webLinkIcon, nullptr);

  WString ownName;
  if (!OwnFileName(facts.ownPath, ownName)) return 0;
  ok &= paths[kOwnPathSlot].AssignWide(facts.ownPath, -1);
  ok &= Compose(paths[kSetupCopySlot], programFolder, ownName, nullptr);
  // A missing format string gives an empty name rather than a failed Format.
  WString& linkText = paths[kSetupLinkTextSlot];
  if (wide.setupLinkFormat.IsEmpty()) {
    ok &= linkText.AssignWide(WTEXT(""), 0);
  } else {
    ok &= Format(&linkText, wide.setupLinkFormat.WideAt(0), wide.layoutDisplayName.WideAt(0));
  }
  ok &= Compose(paths[kSetupCopyLinkSlot], menuFolder, linkText, &lnk);
  return ok ? 1 : 0;
}
