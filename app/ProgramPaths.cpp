// InstallerApp::buildPaths: the program's planned paths from the shell folders,
// the product's names and the program's own command-line path.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/rules/ProgramPathSet.h"

namespace {

static_assert(kPathCount == kProgramPathSlots, "the path set has one size");

// Frees CommandLineToArgvW's array on every path.
class ArgumentList {
 public:
  ArgumentList() : count(0), items(CommandLineToArgvW(GetCommandLineW(), &count)) {}
  ~ArgumentList() {
    if (items != nullptr) /* freed = */ LocalFree(items);
  }
  ArgumentList(const ArgumentList&) = delete;
  ArgumentList& operator=(const ArgumentList&) = delete;
  // The first element, or null when the command line gave none.
  const WChar* first() const { return (items != nullptr && count > 0) ? items[0] : nullptr; }

 private:
  int count;
  LPWSTR* items;
};

}  // namespace

int InstallerApp::buildPaths() {
  // A failed folder query gives an empty folder; the paths then start at "\".
  WString programFiles, commonPrograms, commonDesktop;
  if (!getSpecialFolder(CSIDL_PROGRAM_FILES, programFiles)) programFiles.AssignWide(L"", 0);
  if (!getSpecialFolder(CSIDL_COMMON_PROGRAMS, commonPrograms)) {
    commonPrograms.AssignWide(L"", 0);
  }
  if (!getSpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY, commonDesktop)) {
    commonDesktop.AssignWide(L"", 0);
  }

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

  ArgumentList arguments;
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
  facts.ownPath = arguments.first();
  /* composed = */ ComposeProgramPaths(facts, paths);
  return facts.ownPath != nullptr ? 1 : 0;
}
