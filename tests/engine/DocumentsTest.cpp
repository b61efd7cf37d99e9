// The product's files: a first run places every folder, document, read-me, web
// link, setup copy and shortcut; a second run over the record makes again only
// what belongs to this version (the guide, moved when its name changed, and the
// setup copy); files an unrecorded old version left in the user's folders go.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <utility>

#include "payload/StringIds.h"
#include "setup/rules/ProgramPathSet.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
#include "tests/state/StateTestSupport.h"

namespace {

void DeleteFolderTree(const std::wstring& folder) {
  std::wstring from = folder + L'\0';
  SHFILEOPSTRUCTW operation = {};
  operation.wFunc = FO_DELETE;
  operation.pFrom = from.c_str();
  operation.fFlags = FOF_NO_UI;
  SHFileOperationW(&operation);
}

class Documents : public EngineTest {
 protected:
  // The real path set, composed again under a folder of this test, with the
  // names of the second interface language (the first holds the test texts).
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_TRUE(ready);
    ASSERT_EQ(1, app.setLanguageIndex(1));
    // Shortcuts are shell link objects, as in the program's entry point.
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    ASSERT_EQ(1, app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId));
    ASSERT_EQ(1, app.buildPaths());
    root = TempFolder() + Unique(L"kestrel-documents");
    WString programFiles, programs, desktop;
    programFiles.AssignWide((root + L"\\pf").c_str(), -1);
    programs.AssignWide((root + L"\\menu").c_str(), -1);
    desktop.AssignWide((root + L"\\desk").c_str(), -1);
    for (const WString* made : {&programFiles, &programs, &desktop}) {
      ASSERT_TRUE(SHCreateDirectoryExW(nullptr, made->WideAt(0), nullptr) == ERROR_SUCCESS);
    }
    ProgramPathFacts facts = {};
    facts.programFiles = &programFiles;
    facts.commonPrograms = &programs;
    facts.commonDesktop = &desktop;
    const std::pair<const WString* ProgramPathFacts::*, uint32_t> texts[] = {
        {&ProgramPathFacts::vendorFolder, kVendorFolderId},
        {&ProgramPathFacts::productFolder, kProductFolderId},
        {&ProgramPathFacts::guideName, kGuideNameId},
        {&ProgramPathFacts::guideQualifier, kGuideQualifierId},
        {&ProgramPathFacts::chartName, kChartNameId},
        {&ProgramPathFacts::documentExtension, kDocumentExtensionId},
        {&ProgramPathFacts::shortcutExtension, kShortcutExtensionId},
        {&ProgramPathFacts::textFileExtension, kTextFileExtensionId},
        {&ProgramPathFacts::webLinkExtension, kWebLinkExtensionId},
        {&ProgramPathFacts::setupLinkFormat, kSetupLinkFormatId},
        {&ProgramPathFacts::webLinkName, kWebLinkNameId},
        {&ProgramPathFacts::readMeName, kReadMeNameId},
        {&ProgramPathFacts::webLinkIcon, kWebLinkIconFileId},
        {&ProgramPathFacts::layoutDisplayName, kLayoutDisplayNameId}};
    for (size_t i = 0; i < sizeof(texts) / sizeof(texts[0]); ++i) {
      app.loadText(texts[i].second, loaded[i]);
      facts.*texts[i].first = &loaded[i];
    }
    const std::wstring own = Slot(kOwnPathSlot);
    facts.ownPath = own.c_str();
    ASSERT_EQ(1, ComposeProgramPaths(facts, &InstallerAppProbe::path(app, 0)));
  }
  void TearDown() override {
    DeleteFolderTree(root);
    CoUninitialize();
  }
  std::wstring Slot(int slot) { return Wide(InstallerAppProbe::path(app, slot)); }
  bool Planned(int item) { return FileExists(Slot(PlannedSlot(item))); }

  std::wstring root;
  WString loaded[14];
};

const int kEveryItem[] = {kGuideItem,        kGuideMenuLinkItem,    kGuideDesktopLinkItem,
                          kChartItem,        kChartMenuLinkItem,    kChartDesktopLinkItem,
                          kReadMeItem,       kReadMeMenuLinkItem,   kReadMeDesktopLinkItem,
                          kWebLinkMenuItem,  kWebLinkDesktopItem,   kWebLinkIconItem,
                          kSetupCopyItem,    kSetupCopyLinkItem};

TEST_F(Documents, FirstRunPlacesAllAndASecondOnlyItsOwn) {
  ASSERT_EQ(1, app.placeDocuments());
  for (int item : kEveryItem) EXPECT_TRUE(Planned(item)) << Slot(PlannedSlot(item));
  EXPECT_EQ(1, InstallerAppProbe::recordedValueC(app));
  EXPECT_EQ(3, InstallerAppProbe::placementResultA(app) + InstallerAppProbe::placementResultB(app) +
                   InstallerAppProbe::placementResultC(app));
  WString readMe;
  ASSERT_EQ(1, app.loadText(app.getVersionCode() > 50 ? kReadMeTextId : kReadMeTextWindows2000Id,
                           readMe));
  EXPECT_EQ(std::string(readMe.ToNarrow(-1)), ReadWholeFile(Slot(PlannedSlot(kReadMeItem))));
  const std::string webLink = ReadWholeFile(Slot(PlannedSlot(kWebLinkMenuItem)));
  EXPECT_NE(std::string::npos, webLink.find("kestrel.ico")) << webLink;
  EXPECT_EQ(ReadWholeFile(Slot(kOwnPathSlot)), ReadWholeFile(Slot(kSetupCopySlot)));

  // The record names what the first run made, the guide and its desktop
  // shortcut under the names of an older version.
  for (int item : kEveryItem) {
    InstallerAppProbe::path(app, item).Assign(&InstallerAppProbe::path(app, PlannedSlot(item)));
  }
  const std::wstring oldGuide = root + L"\\pf\\old guide.pdf";
  const std::wstring oldLink = root + L"\\desk\\old guide.lnk";
  ASSERT_TRUE(MoveFileW(Slot(PlannedSlot(kGuideItem)).c_str(), oldGuide.c_str()));
  ASSERT_TRUE(MoveFileW(Slot(PlannedSlot(kGuideDesktopLinkItem)).c_str(), oldLink.c_str()));
  InstallerAppProbe::path(app, kGuideItem).AssignWide(oldGuide.c_str(), -1);
  InstallerAppProbe::path(app, kGuideDesktopLinkItem).AssignWide(oldLink.c_str(), -1);
  for (int item : kEveryItem) DeleteFileW(Slot(PlannedSlot(item)).c_str());
  InstallerAppProbe::recordedValueA(app) = 180;
  app.setPlacementOption(0);
  InstallerAppProbe::placementResultA(app) = InstallerAppProbe::placementResultB(app) =
      InstallerAppProbe::placementResultC(app) = 0;
  ASSERT_EQ(1, app.placeDocuments());
  for (int item : kEveryItem) {
    // The moved guide brings its desktop shortcut back, even without desktop shortcuts.
    const bool again = item == kGuideItem || item == kGuideMenuLinkItem ||
                       item == kGuideDesktopLinkItem || item == kSetupCopyItem ||
                       item == kSetupCopyLinkItem;
    EXPECT_EQ(again, Planned(item)) << Slot(PlannedSlot(item));
  }
  EXPECT_FALSE(FileExists(oldGuide));
  EXPECT_FALSE(FileExists(oldLink));
  EXPECT_EQ(1, InstallerAppProbe::recordedValueC(app));
  EXPECT_EQ(1, InstallerAppProbe::placementResultB(app));
}

TEST_F(EngineTest, OldVersionsFilesLeaveTheUsersFolders) {
  ASSERT_TRUE(ready);
  NamedLock userFolders(L"KestrelTestsUserFolders");
  ASSERT_TRUE(userFolders.held());
  WString documents, desktop;
  ASSERT_EQ(1, app.getSpecialFolder(CSIDL_PERSONAL, documents));
  ASSERT_EQ(1, app.getSpecialFolder(CSIDL_DESKTOP, desktop));
  const std::wstring files[] = {Wide(documents) + L"\\Kestrel User Guide.pdf",
                                Wide(desktop) + L"\\Kestrel User Guide.lnk",
                                Wide(documents) + L"\\Kestrel Read Me.txt",
                                Wide(desktop) + L"\\Kestrel Read Me.lnk"};
  for (const std::wstring& file : files) {
    HANDLE made = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, made) << file;
    CloseHandle(made);
  }
  EXPECT_EQ(1, app.removeOldShortcuts());
  for (const std::wstring& file : files) EXPECT_FALSE(FileExists(file)) << file;
}

}  // namespace
