// The engine's registry work: the product record written in full over nothing
// and over a recorded installation, in update-only mode, and taken apart by the
// use counters; the system's layout entry; the per-user toggle values; and a
// removal that another installation still counts on.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <set>
#include <string>

#include "setup/MachineChanges.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
#include "tests/state/StateTestSupport.h"
#include "tests/support/RegistryLinks.h"

namespace {

using Names = std::set<std::wstring>;

Names ValueNames(const wchar_t* path, HKEY root = HKEY_LOCAL_MACHINE, REGSAM view = 0) {
  Names names;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return {L"<no key>"};
  wchar_t name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = 256;
    if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    names.insert(name);
  }
  RegCloseKey(key);
  return names;
}

std::wstring Text(const wchar_t* path, const wchar_t* name, HKEY root = HKEY_LOCAL_MACHINE,
                  REGSAM view = 0) {
  wchar_t data[512] = {};
  DWORD size = sizeof(data) - 2;
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return L"<no key>";
  const LONG read =
      RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return read == ERROR_SUCCESS ? data : L"<none>";
}

uint32_t Number(const wchar_t* path, const wchar_t* name) {
  DWORD type = 0;
  Bytes data;
  if (!GetValue(path, name, &type, &data) || type != REG_DWORD || data.size() != 4) return 0xDEAD;
  return data[0] | data[1] << 8 | data[2] << 16 | static_cast<uint32_t>(data[3]) << 24;
}

class Record : public EngineTest {
 protected:
  void SetUp() override {
    ASSERT_TRUE(productLock.held());
    EngineTest::SetUp();
    ASSERT_TRUE(ready);
    ASSERT_TRUE(DeleteTree(kProductVendorPath));
    for (int slot = 7; slot <= 35; slot += 2) set(slot, L"C:\\planned\\" + std::to_wstring(slot));
  }
  void TearDown() override { DeleteTree(kProductVendorPath); }
  void set(int slot, const std::wstring& text) {
    InstallerAppProbe::path(app, slot).AssignWide(text.c_str(), -1);
  }

  NamedLock productLock{L"KestrelTestsProductRecord"};
};

const Names kAlways = {L"InitialInputLanguage", L"InstallCount"};

TEST_F(Record, FullWritesWhatThisRunMadeAndUpdateOnlyTheOptions) {
  InstallerAppProbe::installCount(app) = 1;
  InstallerAppProbe::recordedValueC(app) = 1;
  InstallerAppProbe::placementResultB(app) = 1;  // only the guide's desktop shortcut
  app.setVariant(1);
  app.setDecimalOption(0);
  app.findKey(0x3A)->assignedKey = 0xA2;
  ASSERT_EQ(1, app.writeProductRecord());
  Names product = kAlways;
  product.insert({L"ReadMeMenuShortcut", L"ReadMeFile", L"WebLinkMenu", L"WebLinkDesktop",
                  L"WebLinkIcon", L"ChartFile", L"ChartMenuShortcut", L"ChartLevel"});
  EXPECT_EQ(product, ValueNames(kProductKeyPath));
  EXPECT_EQ(Names({L"GuideFile", L"GuideMenuShortcut", L"GuideDesktopShortcut", L"GuideLevel",
                   L"GuideUseCount"}),
            ValueNames(kDocumentKeyPath));
  EXPECT_EQ(Names({L"SetupCopy", L"SetupShortcut", L"Level", L"Variant", L"DecimalKey",
                   L"KeepEarlierOptions", L"KeyAssignments"}),
            ValueNames(kLayoutRecordPath));
  EXPECT_EQ(L"C:\\planned\\19", Text(kProductKeyPath, L"ReadMeFile"));
  EXPECT_EQ(L"C:\\planned\\11", Text(kDocumentKeyPath, L"GuideDesktopShortcut"));
  EXPECT_EQ(L"C:\\planned\\33", Text(kLayoutRecordPath, L"SetupCopy"));
  EXPECT_EQ(180u, Number(kProductKeyPath, L"ChartLevel"));
  EXPECT_EQ(1u, Number(kDocumentKeyPath, L"GuideUseCount"));
  EXPECT_EQ(1u, Number(kLayoutRecordPath, L"Variant"));
  DWORD type = 0;
  Bytes keys;
  ASSERT_TRUE(GetValue(kLayoutRecordPath, L"KeyAssignments", &type, &keys));
  EXPECT_EQ(Bytes({0x3A, 0, 0xA2, 0}), keys);
  const std::wstring firstInput = Text(kProductKeyPath, L"InitialInputLanguage");

  // Over the recorded installation: what it holds once stays as it was, the
  // first input language too; the guide, its count and the options are new.
  set(20, L"C:\\recorded\\20");
  set(24, L"C:\\recorded\\24");
  set(1, firstInput);
  InstallerAppProbe::recordedValueA(app) = 180;
  InstallerAppProbe::placementResultA(app) = 1;
  InstallerAppProbe::placementResultC(app) = 1;
  InstallerAppProbe::installCount(app) = 2;
  set(7, L"C:\\second\\7");
  ASSERT_EQ(1, app.writeProductRecord());
  product.insert(L"ReadMeDesktopShortcut");
  EXPECT_EQ(product, ValueNames(kProductKeyPath));
  EXPECT_EQ(L"C:\\planned\\19", Text(kProductKeyPath, L"ReadMeFile"));
  EXPECT_EQ(L"C:\\planned\\13", Text(kProductKeyPath, L"ChartFile"));
  EXPECT_EQ(firstInput, Text(kProductKeyPath, L"InitialInputLanguage"));
  EXPECT_EQ(2u, Number(kProductKeyPath, L"InstallCount"));
  EXPECT_EQ(L"C:\\second\\7", Text(kDocumentKeyPath, L"GuideFile"));

  // Update only: the layout sub-record's options, nothing else.
  app.setUpdateOnly(1);
  app.setVariant(2);
  InstallerAppProbe::installCount(app) = 5;
  ASSERT_EQ(1, app.writeProductRecord());
  EXPECT_EQ(2u, Number(kLayoutRecordPath, L"Variant"));
  EXPECT_EQ(2u, Number(kProductKeyPath, L"InstallCount"));
  ASSERT_TRUE(DeleteTree(L"SOFTWARE\\Kestrel Keyboards\\Kestrel\\Layout"));
  EXPECT_EQ(0, app.writeProductRecord());
  EXPECT_EQ(Names({L"<no key>"}), ValueNames(kLayoutRecordPath));
}

// A record write that stops at any of its changes (the disk full there, or the
// machine off) leaves no counter, so the next install counts from nothing, or a
// record the next run reads as an installation whose removal finishes it.
TEST_F(Record, AWriteStoppedAtAnyChangeIsNeverHalfCounted) {
  static uint32_t failAt = 0, seen = 0;
  const MachineChangeWatcher failing = {[](const char*, const WChar*) {
                                          if (++seen != failAt) return 1;
                                          SetLastError(ERROR_DISK_FULL);
                                          return 0;
                                        },
                                        [](const char*, const WChar*) {}};
  WatchMachineChanges(&failing);
  failAt = 0;
  InstallerAppProbe::installCount(app) = 1;
  InstallerAppProbe::recordedValueC(app) = 1;
  EXPECT_EQ(1, app.writeProductRecord());
  const uint32_t changes = seen;
  EXPECT_GT(changes, 20u);
  for (failAt = 1; failAt <= changes; ++failAt) {
    SCOPED_TRACE(testing::Message() << "change " << failAt << " of " << changes << " fails");
    ASSERT_TRUE(DeleteTree(kProductVendorPath));
    // What the detection of the last round read is forgotten: a first install again.
    for (int slot = 6; slot <= 34; slot += 2) set(slot, L"");
    set(1, L"");
    InstallerAppProbe::recordedValueA(app) = 0;
    seen = 0;
    InstallerAppProbe::installCount(app) = 1;
    const int written = app.writeProductRecord();
    InstallerAppProbe::installCount(app) = 0;
    app.detectInstallation();
    // Without the counter the next install counts from nothing (a layout entry
    // other tests left may make it read as 130, never as this level).
    const bool counted = Number(kProductKeyPath, L"InstallCount") == 1;
    if (counted) {
      EXPECT_EQ(180, app.getInstalledVersion());
    } else {
      EXPECT_NE(180, app.getInstalledVersion());
      EXPECT_EQ(0, written);
    }
    EXPECT_EQ(counted ? 1 : 0, InstallerAppProbe::installCount(app));
  }
  WatchMachineChanges(nullptr);
}

// The counters as runUninstall leaves them: the last installation takes the
// whole record; one of two leaves the shared key with its count lowered.
TEST_F(Record, RemovalFollowsTheUseCounters) {
  struct Case {
    int32_t installs, documentUses;
    bool productKeyStays, documentKeyStays;
  } const cases[] = {{0, 0, false, false}, {1, 0, true, false}, {1, 1, true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.installs << "/" << c.documentUses);
    InstallerAppProbe::installCount(app) = 9;
    InstallerAppProbe::recordedValueC(app) = 9;
    ASSERT_EQ(1, app.writeProductRecord());
    InstallerAppProbe::installCount(app) = c.installs;
    InstallerAppProbe::recordedValueC(app) = c.documentUses;
    EXPECT_EQ(1, app.removeProductRecord());
    EXPECT_EQ(Names({L"<no key>"}), ValueNames(kLayoutRecordPath));
    EXPECT_EQ(c.documentKeyStays, ValueNames(kDocumentKeyPath).count(L"GuideFile") == 1);
    if (c.documentKeyStays) {
      EXPECT_EQ(1u, Number(kDocumentKeyPath, L"GuideUseCount"));
    }
    EXPECT_EQ(c.productKeyStays ? 1u : 0xDEADu, Number(kProductKeyPath, L"InstallCount"));
    EXPECT_EQ(!c.productKeyStays, ValueNames(kProductVendorPath) == Names({L"<no key>"}));
    // Without its layout sub-record what is left of the record is removed all the
    // same; without a product key there is nothing to remove.
    EXPECT_EQ(c.productKeyStays ? 1 : 0, app.removeProductRecord());
    ASSERT_TRUE(DeleteTree(kProductVendorPath));
  }
}

// The product's entry in Windows' list of programs: Uninstall and Change run the
// setup copy; one of two removals keeps the entry, the last takes it.
TEST_F(Record, UninstallEntryFollowsTheRecord) {
  const wchar_t kEntry[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KestrelKeyboardLayout";
  set(3, L"C:\\planned\\program");
  ASSERT_EQ(1, app.writeUninstallEntry());
  EXPECT_EQ(Names({L"DisplayName", L"DisplayVersion", L"Publisher", L"DisplayIcon",
                   L"InstallLocation", L"UninstallString", L"ModifyPath", L"URLInfoAbout",
                   L"EstimatedSize", L"NoModify", L"NoRepair"}),
            ValueNames(kEntry));
  EXPECT_EQ(L"\"C:\\planned\\33\"", Text(kEntry, L"UninstallString"));
  EXPECT_EQ(L"\"C:\\planned\\33\"", Text(kEntry, L"ModifyPath"));
  EXPECT_EQ(L"C:\\planned\\33", Text(kEntry, L"DisplayIcon"));
  EXPECT_EQ(L"C:\\planned\\program", Text(kEntry, L"InstallLocation"));
  EXPECT_EQ(L"Kestrel Keyboards", Text(kEntry, L"Publisher"));
  EXPECT_EQ(0u, Number(kEntry, L"NoModify"));
  EXPECT_EQ(1u, Number(kEntry, L"NoRepair"));
  InstallerAppProbe::installCount(app) = 2;
  InstallerAppProbe::recordedValueC(app) = 2;
  ASSERT_EQ(1, app.writeProductRecord());
  InstallerAppProbe::installCount(app) = 1;
  InstallerAppProbe::recordedValueC(app) = 1;
  ASSERT_EQ(1, app.removeProductRecord());
  EXPECT_EQ(L"Kestrel Keyboards", Text(kEntry, L"Publisher"));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"Level", 180));  // the record again, the last one
  InstallerAppProbe::installCount(app) = 0;
  InstallerAppProbe::recordedValueC(app) = 0;
  ASSERT_EQ(1, app.removeProductRecord());
  EXPECT_EQ(Names({L"<no key>"}), ValueNames(kEntry));
}

// Every installation uses the one library and layout entry: removing one of
// two schedules neither for deletion and keeps the entry.
TEST_F(Record, RemovalKeepsTheLayoutWhileAnotherInstallationCounts) {
  NamedLock layoutLock(L"KestrelTestsLayoutEntry");
  NamedLock renameLock(L"KestrelTestsPendingRenames");
  ASSERT_TRUE(layoutLock.held() && renameLock.held());
  const wchar_t kSession[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  SavedValue renames(kSession, L"PendingFileRenameOperations");
  ASSERT_TRUE(DeleteValue(kSession, L"PendingFileRenameOperations"));
  HKEY list = nullptr;  // a fresh Wine prefix lacks the system's layout list
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kLayoutListPath, 0, nullptr, 0,
                                           KEY_READ | NativeView(), nullptr, &list, nullptr));
  RegCloseKey(list);
  ASSERT_EQ(1, app.registerLayoutEntry());
  EXPECT_EQ(L"Polish (Kestrel)", Text(kLayoutEntryPath, L"Layout Text", HKEY_LOCAL_MACHINE,
                                      NativeView()));
  EXPECT_EQ(L"0a15", Text(kLayoutEntryPath, L"Layout Id", HKEY_LOCAL_MACHINE, NativeView()));
  InstallerAppProbe::installCount(app) = 2;
  InstallerAppProbe::recordedValueC(app) = 2;
  ASSERT_EQ(1, app.writeProductRecord());
  ASSERT_EQ(1, app.runUninstall());
  EXPECT_EQ(1u, Number(kProductKeyPath, L"InstallCount"));
  EXPECT_EQ(L"kbdkestr.dll", Text(kLayoutEntryPath, L"Layout File", HKEY_LOCAL_MACHINE,
                                  NativeView()));
  DWORD type = 0;
  Bytes pending;
  EXPECT_FALSE(GetValue(kSession, L"PendingFileRenameOperations", &type, &pending));

  // The last one takes both.
  InstallerAppProbe::installCount(app) = 1;
  ASSERT_EQ(1, app.writeProductRecord());
  ASSERT_EQ(1, app.runUninstall());
  EXPECT_EQ(L"<no key>", Text(kLayoutEntryPath, L"Layout File", HKEY_LOCAL_MACHINE, NativeView()));
  ASSERT_TRUE(GetValue(kSession, L"PendingFileRenameOperations", &type, &pending));
  const std::wstring scheduled(reinterpret_cast<const wchar_t*>(pending.data()),
                               pending.size() / 2);
  EXPECT_NE(std::wstring::npos, scheduled.find(L"kbdkestr.dll")) << scheduled;
}

// The toggle values turn the shortcuts off; a profile without the key fails,
// and the key is not made; a key the user made a link is never written through.
TEST_F(EngineTest, UserKeyValuesTurnTheShortcutsOff) {
  ASSERT_TRUE(ready);
  NamedLock toggleLock(L"KestrelTestsToggle");
  ASSERT_TRUE(toggleLock.held());
  const wchar_t kToggle[] = L"Keyboard Layout\\Toggle";
  const wchar_t* kValues[] = {L"Hotkey", L"Language Hotkey", L"Layout Hotkey"};
  std::wstring before[3];
  for (int i = 0; i < 3; ++i) before[i] = Text(kToggle, kValues[i], HKEY_CURRENT_USER);
  RegDeleteKeyW(HKEY_CURRENT_USER, kToggle);
  EXPECT_EQ(0, app.writeUserKeyValues());
  EXPECT_EQ(L"<no key>", Text(kToggle, kValues[0], HKEY_CURRENT_USER));
  HKEY key = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kToggle, 0, nullptr, 0,
                                           KEY_SET_VALUE, nullptr, &key, nullptr));
  RegCloseKey(key);
  EXPECT_EQ(1, app.writeUserKeyValues());
  for (const wchar_t* name : kValues) {
    EXPECT_EQ(L"3", Text(kToggle, name, HKEY_CURRENT_USER)) << name;
  }

  // The toggle key made a link to another user key: the link is refused like
  // a missing key, and nothing is written to its target.
  const wchar_t kTarget[] = L"Software\\KestrelTests\\ToggleTarget";
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kTarget, 0, nullptr, 0,
                                           KEY_SET_VALUE, nullptr, &key, nullptr));
  RegSetValueExW(key, L"Marker", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"target"), 14);
  RegCloseKey(key);
  ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyW(HKEY_CURRENT_USER, kToggle));
  ASSERT_TRUE(MakeUserLink(kToggle, kTarget));
  ASSERT_EQ(L"target", Text(kToggle, L"Marker", HKEY_CURRENT_USER));  // the link leads there
  EXPECT_EQ(0, app.writeUserKeyValues());
  EXPECT_EQ((Names{L"Marker"}), ValueNames(kTarget, HKEY_CURRENT_USER));
  EXPECT_TRUE(DeleteUserLink(kToggle));
  RegDeleteKeyW(HKEY_CURRENT_USER, kTarget);
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kToggle, 0, nullptr, 0,
                                           KEY_SET_VALUE, nullptr, &key, nullptr));
  RegCloseKey(key);

  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, kToggle, 0, KEY_SET_VALUE, &key));
  for (int i = 0; i < 3; ++i) {
    if (before[i][0] == L'<') continue;
    RegSetValueExW(key, kValues[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(before[i].c_str()),
                   static_cast<DWORD>((before[i].size() + 1) * 2));
  }
  RegCloseKey(key);
}

}  // namespace
