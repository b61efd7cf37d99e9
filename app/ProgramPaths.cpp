// InstallerApp::buildPaths: the program's planned paths from the shell folders,
// the product's names and the path of the program's own image.
#include <windows.h>
#include <shlobj.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/OwnImage.h"
#include "setup/rules/ProgramPathSet.h"

namespace {

static_assert(kPathCount == kProgramPathSlots, "the path set has one size");

}  // namespace

int InstallerApp::buildPaths() {
  // A failed folder query leaves its text empty, and then no path is composed.
  WString programFiles, commonPrograms, commonDesktop;
  getSpecialFolder(CSIDL_PROGRAM_FILES, programFiles);
  getSpecialFolder(CSIDL_COMMON_PROGRAMS, commonPrograms);
  getSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, commonDesktop);

  // A missing string leaves its text empty (loadText empties it).
  WString readMeName, webLinkName, webLinkIcon, guideName, guideQualifier, chartName;
  WString documentExtension, shortcutExtension, textFileExtension, webLinkExtension;
  WString setupLinkFormat, layoutDisplayName, vendorFolder, productFolder;
  loadText(kReadMeNameId, readMeName);
  loadText(kWebLinkNameId, webLinkName);
  loadText(kWebLinkIconFileId, webLinkIcon);
  loadText(kGuideNameId, guideName);
  loadText(kGuideQualifierId, guideQualifier);
  loadText(kChartNameId, chartName);
  loadText(kDocumentExtensionId, documentExtension);
  loadText(kShortcutExtensionId, shortcutExtension);
  loadText(kTextFileExtensionId, textFileExtension);
  loadText(kWebLinkExtensionId, webLinkExtension);
  loadText(kSetupLinkFormatId, setupLinkFormat);
  loadText(kLayoutDisplayNameId, layoutDisplayName);
  loadText(kVendorFolderId, vendorFolder);
  loadText(kProductFolderId, productFolder);

  // The image itself, never the command line: a launcher chooses that text
  // freely, and the copy made from it runs elevated later.
  WString ownPath;
  if (GetOwnImagePath(ownPath) && ownImage == nullptr) {
    ownImage = OpenOwnImage(ownPath.WideAt(0), GetModuleHandleW(nullptr));
  }
  if (ownImage == nullptr) ownPath.AssignWide(WTEXT(""), 0);
  ProgramPathFacts facts = {};
  facts.programFiles = &programFiles;
  facts.commonPrograms = &commonPrograms;
  facts.commonDesktop = &commonDesktop;
  facts.vendorFolder = &vendorFolder;
  facts.productFolder = &productFolder;
  facts.guideName = &guideName;
  facts.guideQualifier = &guideQualifier;
  facts.chartName = &chartName;
  facts.documentExtension = &documentExtension;
  facts.shortcutExtension = &shortcutExtension;
  facts.textFileExtension = &textFileExtension;
  facts.webLinkExtension = &webLinkExtension;
  facts.setupLinkFormat = &setupLinkFormat;
  facts.webLinkName = &webLinkName;
  facts.readMeName = &readMeName;
  facts.webLinkIcon = &webLinkIcon;
  facts.layoutDisplayName = &layoutDisplayName;
  facts.ownPath = ownPath.IsEmpty() ? nullptr : ownPath.WideAt(0);
  return ComposeProgramPaths(facts, paths);
}
