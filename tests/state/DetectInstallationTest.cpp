// detectInstallation over product records and layout entries the tests write:
// a whole record, each value missing or mistyped in turn, stored choices out
// of range, and the system's layout entry as the only trace.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>

#include "tests/app/support/InstallerAppProbe.h"
#include "tests/state/StateTestSupport.h"
#include "tests/support/ProductText.h"

namespace {

enum class Where { Product, Documents, Layout };
enum class Kind { Text, Number };

// Every value detectInstallation reads before the level decides, in its order.
struct RecordValue {
  Where where;
  const wchar_t* name;
  Kind kind;
  bool required;
  int slot;          // Text: the stored path slot
  uint32_t number;   // Number: the value written
};

const RecordValue kRecord[] = {
    {Where::Product, L"InitialInputLanguage", Kind::Text, true, 1, 0},
    {Where::Product, L"InstallCount", Kind::Number, true, 0, 3},
    {Where::Product, L"ReadMeFile", Kind::Text, true, 18, 0},
    {Where::Product, L"ReadMeMenuShortcut", Kind::Text, false, 20, 0},
    {Where::Product, L"ReadMeDesktopShortcut", Kind::Text, false, 22, 0},
    {Where::Product, L"WebLinkMenu", Kind::Text, true, 24, 0},
    {Where::Product, L"WebLinkDesktop", Kind::Text, false, 26, 0},
    {Where::Product, L"ChartFile", Kind::Text, true, 12, 0},
    {Where::Product, L"ChartMenuShortcut", Kind::Text, true, 14, 0},
    {Where::Product, L"ChartDesktopShortcut", Kind::Text, false, 16, 0},
    {Where::Product, L"WebLinkIcon", Kind::Text, true, 28, 0},
    {Where::Product, L"ChartLevel", Kind::Number, true, 0, 170},
    {Where::Documents, L"GuideFile", Kind::Text, true, 6, 0},
    {Where::Documents, L"GuideMenuShortcut", Kind::Text, true, 8, 0},
    {Where::Documents, L"GuideDesktopShortcut", Kind::Text, false, 10, 0},
    {Where::Documents, L"GuideLevel", Kind::Number, true, 0, 175},
    {Where::Documents, L"GuideUseCount", Kind::Number, true, 0, 2},
    {Where::Layout, L"SetupCopy", Kind::Text, true, 32, 0},
    {Where::Layout, L"SetupShortcut", Kind::Text, true, 34, 0},
    {Where::Layout, L"Level", Kind::Number, true, 0, 180},
};
constexpr int kRecordCount = sizeof(kRecord) / sizeof(kRecord[0]);

const wchar_t* PathOf(Where where) {
  switch (where) {
    case Where::Product: return kProductKeyPath;
    case Where::Documents: return kDocumentKeyPath;
    case Where::Layout: return kLayoutRecordPath;
  }
  return kProductKeyPath;
}

// A path in the folder of the planned ones (SetUp), of their kind.
std::wstring TextFor(const RecordValue& v) {
  return std::wstring(L"C:\\Kestrel\\") + v.name + L".x";
}
const wchar_t kPlanned[] = L"C:\\Kestrel\\planned.x";

// The number field a Number value lands in.
int32_t NumberOf(InstallerApp& app, const RecordValue& v) {
  const std::wstring name = v.name;
  if (name == L"InstallCount") return InstallerAppProbe::installCount(app);
  if (name == L"ChartLevel") return InstallerAppProbe::recordedValueA(app);
  if (name == L"GuideLevel") return InstallerAppProbe::recordedVersion(app);
  if (name == L"GuideUseCount") return InstallerAppProbe::recordedValueC(app);
  return InstallerAppProbe::installedVersion(app);
}

std::wstring Slot(InstallerApp& app, int i) {
  return Wide(InstallerAppProbe::path(app, i));
}

class DetectInstallation : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(productLock_.held());
    ASSERT_TRUE(layoutLock_.held());
    ASSERT_TRUE(DeleteTree(kProductVendorPath));
    HKEY entry = nullptr;
    entryExisted_ = RegOpenKeyExW(HKEY_LOCAL_MACHINE, kLayoutEntryPath, 0, KEY_READ | NativeView(),
                                  &entry) == ERROR_SUCCESS;
    if (entry != nullptr) RegCloseKey(entry);
    for (const wchar_t* name : kEntryValues) saved_.emplace_back(new SavedValue(kLayoutEntryPath, name, NativeView()));
    for (const wchar_t* name : kEntryValues) ASSERT_TRUE(DeleteValue(kLayoutEntryPath, name, NativeView()));
    app_.reset(NewInitialisedApp());
    ASSERT_NE(nullptr, app_);
    // Start values the record may replace, so that "left alone" shows.
    InstallerAppProbe::variantIndex(*app_) = -1;
    InstallerAppProbe::decimalOption(*app_) = -1;
    for (const RecordValue& v : kRecord) {
      if (v.kind == Kind::Text) InstallerAppProbe::path(*app_, v.slot + 1).AssignWide(kPlanned, -1);
    }
  }
  void TearDown() override {
    app_.reset();
    DeleteTree(kProductVendorPath);
    saved_.clear();
    // A layout entry this test made goes again; one that was there keeps its values.
    if (!entryExisted_) DeleteTree(kLayoutEntryPath, NativeView());
  }

  // Writes the whole record except value `skip` (-1: nothing skipped).
  void WriteRecord(int skip) {
    for (int i = 0; i < kRecordCount; ++i) {
      if (i == skip) continue;
      const RecordValue& v = kRecord[i];
      if (v.kind == Kind::Text) {
        ASSERT_TRUE(PutText(PathOf(v.where), v.name, TextFor(v)));
      } else {
        ASSERT_TRUE(PutDword(PathOf(v.where), v.name, v.number));
      }
    }
  }

  void WriteLayoutEntry(const wchar_t* text, const wchar_t* component, const wchar_t* file) {
    ASSERT_TRUE(PutText(kLayoutEntryPath, L"Layout Text", text, NativeView()));
    ASSERT_TRUE(PutText(kLayoutEntryPath, L"Layout Component ID", component, NativeView()));
    ASSERT_TRUE(PutText(kLayoutEntryPath, L"Layout File", file, NativeView()));
    // Not compared: a value no installation would write.
    ASSERT_TRUE(PutText(kLayoutEntryPath, L"Layout Id", L"ffff", NativeView()));
  }

  // Checks that values before `stop` were read and the rest were not.
  void ExpectReadUpTo(int stop, int missing) {
    for (int i = 0; i < kRecordCount; ++i) {
      const RecordValue& v = kRecord[i];
      const bool read = i < stop && i != missing;
      if (v.kind == Kind::Text) {
        EXPECT_EQ(read ? TextFor(v) : L"", Slot(*app_, v.slot)) << "value " << i;
      } else if (std::wstring(v.name) != L"Level") {
        EXPECT_EQ(read ? static_cast<int32_t>(v.number) : 0, NumberOf(*app_, v)) << "value " << i;
      }
    }
  }

  static constexpr const wchar_t* kEntryValues[4] = {L"Layout Text", L"Layout Component ID",
                                                     L"Layout File", L"Layout Id"};
  NamedLock productLock_{L"KestrelTestsProductRecord"};
  NamedLock layoutLock_{L"KestrelTestsLayoutEntry"};
  std::vector<std::unique_ptr<SavedValue>> saved_;
  bool entryExisted_ = false;
  std::unique_ptr<InstallerApp> app_;
};

TEST_F(DetectInstallation, CompleteRecordFillsEveryField) {
  WriteRecord(-1);
  // KeyAssignments: Caps Lock (3A) given 0xA2, Left Ctrl (1D) given its own default.
  ASSERT_TRUE(PutValue(kLayoutRecordPath, L"KeyAssignments", REG_BINARY,
                       Bytes{0x3A, 0x00, 0xA2, 0x00, 0x1D, 0x00, 0xA2, 0x00}));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"Variant", 2));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"DecimalKey", 0));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"KeepEarlierOptions", 1));
  app_->detectInstallation();
  EXPECT_EQ(180, app_->getInstalledVersion());
  ExpectReadUpTo(kRecordCount, -1);
  EXPECT_EQ(kPlanned, Slot(*app_, 7));
  EXPECT_EQ(2, app_->getVariantIndex());
  EXPECT_EQ(0, app_->getDecimalOption());
  EXPECT_EQ(1, app_->getRecordedOption());
  EXPECT_EQ(0xA2, app_->findKey(0x3A)->assignedKey);
  EXPECT_EQ(0, app_->findKey(0x1D)->assignedKey);  // equal to the default: dropped
}

// The sequences delete what the record names: a path the program would not
// have written there is read as the file the program makes for the item.
TEST_F(DetectInstallation, APathOutsideItsItemsFolderIsReadAsThePlannedOne) {
  WriteRecord(-1);
  ASSERT_TRUE(PutText(kProductKeyPath, L"ReadMeFile", L"C:\\Windows\\win.ini"));
  ASSERT_TRUE(PutText(kProductKeyPath, L"ChartDesktopShortcut", L"C:\\Kestrel\\..\\x.x"));
  ASSERT_TRUE(PutText(kLayoutRecordPath, L"SetupCopy", L"Kestrel\\SetupCopy.x"));
  ASSERT_TRUE(PutText(kLayoutRecordPath, L"SetupShortcut", L""));
  app_->detectInstallation();
  EXPECT_EQ(180, app_->getInstalledVersion());
  EXPECT_EQ(kPlanned, Slot(*app_, 18));
  EXPECT_EQ(kPlanned, Slot(*app_, 16));
  EXPECT_EQ(kPlanned, Slot(*app_, 32));
  EXPECT_EQ(kPlanned, Slot(*app_, 34));
  EXPECT_EQ(TextFor(kRecord[3]), Slot(*app_, 20));  // the others as recorded
}

TEST_F(DetectInstallation, AMissingRequiredValueStopsTheReadingThere) {
  for (int missing = 0; missing < kRecordCount; ++missing) {
    // The layout sub-record's own values: ARemovalStoppedPartWay below.
    if (!kRecord[missing].required || kRecord[missing].where == Where::Layout) continue;
    SCOPED_TRACE(::testing::Message() << "without " << kRecord[missing].name);
    TearDown();
    SetUp();
    WriteRecord(missing);
    app_->detectInstallation();
    EXPECT_EQ(0, app_->getInstalledVersion());
    ExpectReadUpTo(missing, missing);
  }
}

TEST_F(DetectInstallation, AMissingOptionalValueLeavesTheRestRead) {
  for (int missing = 0; missing < kRecordCount; ++missing) {
    if (kRecord[missing].required) continue;
    SCOPED_TRACE(::testing::Message() << "without " << kRecord[missing].name);
    TearDown();
    SetUp();
    WriteRecord(missing);
    app_->detectInstallation();
    EXPECT_EQ(180, app_->getInstalledVersion());
    ExpectReadUpTo(kRecordCount, missing);
  }
}

TEST_F(DetectInstallation, WithoutTheDocumentGroupTheLayoutRecordIsStillRead) {
  WriteRecord(-1);
  ASSERT_TRUE(DeleteTree(L"SOFTWARE\\Kestrel Keyboards\\Kestrel\\Documents"));
  app_->detectInstallation();
  EXPECT_EQ(180, app_->getInstalledVersion());
  EXPECT_EQ(0, InstallerAppProbe::recordedVersion(*app_));
  EXPECT_EQ(L"", Slot(*app_, 6));
  EXPECT_EQ(TextFor(kRecord[17]), Slot(*app_, 32));
}

TEST_F(DetectInstallation, ValuesOfTheWrongTypeCountAsMissing) {
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
    DWORD type;
    Bytes data;
  };
  const Case cases[] = {
      {kProductKeyPath, L"InstallCount", REG_SZ, {'3', 0, 0, 0}},
      {kProductKeyPath, L"InstallCount", REG_BINARY, Words({3})},
      {kProductKeyPath, L"InitialInputLanguage", REG_DWORD, Words({0x415})},
      {kLayoutRecordPath, L"Level", REG_BINARY, Words({180})},
      {kLayoutRecordPath, L"Level", REG_DWORD, Bytes{180, 0}},
      {kLayoutRecordPath, L"SetupCopy", REG_BINARY, Bytes{'C', 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.name << " of type " << c.type);
    TearDown();
    SetUp();
    WriteRecord(-1);
    ASSERT_TRUE(PutValue(c.path, c.name, c.type, c.data));
    app_->detectInstallation();
    // The layout sub-record's values: read as the installation a removal finishes.
    EXPECT_EQ(c.path == kLayoutRecordPath ? 180 : 0, app_->getInstalledVersion());
  }
}

// Counters the sequences add to and subtract from, and the level, out of their
// range: the record is damaged, as if the value were missing.
TEST_F(DetectInstallation, CountersAndLevelsOutOfRangeCountAsMissing) {
  struct Case {
    const wchar_t* path;
    const wchar_t* name;
    uint32_t value;
    int index;  // in kRecord
  };
  const Case cases[] = {
      {kProductKeyPath, L"InstallCount", 0x7FFFFFFFu, 1},
      {kProductKeyPath, L"InstallCount", 0x80000000u, 1},
      {kProductKeyPath, L"InstallCount", 0x10000u, 1},
      {kDocumentKeyPath, L"GuideUseCount", 0xFFFFFFFFu, 16},
      {kDocumentKeyPath, L"GuideUseCount", 0x80000000u, 16},
      {kLayoutRecordPath, L"Level", 0, 19},
      {kLayoutRecordPath, L"Level", 0x80000000u, 19},
      {kLayoutRecordPath, L"Level", 0xFFFFFF4Cu, 19},  // -180
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.name << " = " << c.value);
    TearDown();
    SetUp();
    WriteRecord(-1);
    ASSERT_TRUE(PutDword(c.path, c.name, c.value));
    app_->detectInstallation();
    EXPECT_EQ(c.path == kLayoutRecordPath ? 180 : 0, app_->getInstalledVersion());
    ExpectReadUpTo(c.index, c.index);
  }
  // The largest sane count is still taken.
  TearDown();
  SetUp();
  WriteRecord(-1);
  ASSERT_TRUE(PutDword(kProductKeyPath, L"InstallCount", 0xFFFF));
  app_->detectInstallation();
  EXPECT_EQ(180, app_->getInstalledVersion());
  EXPECT_EQ(0xFFFF, InstallerAppProbe::installCount(*app_));
}

TEST_F(DetectInstallation, StoredChoicesOutOfRangeOrMistypedAreIgnored) {
  WriteRecord(-1);
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"Variant", 3));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"DecimalKey", 2));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"KeepEarlierOptions", 2));
  ASSERT_TRUE(PutValue(kLayoutRecordPath, L"KeyAssignments", REG_SZ, Bytes{0x3A, 0, 0xA2, 0, 0, 0}));
  app_->detectInstallation();
  EXPECT_EQ(180, app_->getInstalledVersion());
  EXPECT_EQ(-1, app_->getVariantIndex());
  EXPECT_EQ(-1, app_->getDecimalOption());
  EXPECT_EQ(0, app_->getRecordedOption());
  EXPECT_EQ(0, app_->findKey(0x3A)->assignedKey);
  // Huge numbers are not taken either (no sign trouble in the range check).
  TearDown();
  SetUp();
  WriteRecord(-1);
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"Variant", 0xFFFFFFFFu));
  ASSERT_TRUE(PutDword(kLayoutRecordPath, L"DecimalKey", 0x80000000u));
  app_->detectInstallation();
  EXPECT_EQ(-1, app_->getVariantIndex());
  EXPECT_EQ(-1, app_->getDecimalOption());
}

TEST_F(DetectInstallation, NothingFoundLeavesVersionZero) {
  app_->detectInstallation();
  EXPECT_EQ(0, app_->getInstalledVersion());
  EXPECT_EQ(0, InstallerAppProbe::installCount(*app_));
}

TEST_F(DetectInstallation, OnlyTheSystemsLayoutEntryGives130) {
  WriteLayoutEntry(L"Polish (Kestrel)", L"C5D2F79C2A5B597F972671A06F383854", L"kbdkestr.dll");
  app_->detectInstallation();
  EXPECT_EQ(130, app_->getInstalledVersion());
}

// A whole, counted product key whose layout sub-record is gone, or lacks its setup
// copy, link or level: a removal that stopped part-way. It reads as an installation
// of this level, so that the installed face offers the removal that finishes it
// (the system's layout entry makes no difference); a setup copy or link no longer
// named is the planned one.
TEST_F(DetectInstallation, ARemovalStoppedPartWayReadsAsAnInstallation) {
  const int kSetupCopy = 17, kSetupShortcut = 18, kLevel = 19;
  for (int missing : {-2, kSetupCopy, kSetupShortcut, kLevel}) {
    for (bool entry : {false, true}) {
      SCOPED_TRACE(::testing::Message() << "without " << (missing < 0 ? L"the sub-record"
                                                                       : kRecord[missing].name)
                                        << (entry ? ", with the layout entry" : ""));
      TearDown();
      SetUp();
      WriteRecord(missing);
      if (missing < 0) {
        ASSERT_TRUE(DeleteTree(L"SOFTWARE\\Kestrel Keyboards\\Kestrel\\Layout"));
      }
      if (entry) {
        WriteLayoutEntry(L"Polish (Kestrel)", L"C5D2F79C2A5B597F972671A06F383854", L"kbdkestr.dll");
      }
      app_->detectInstallation();
      EXPECT_EQ(180, app_->getInstalledVersion());
      EXPECT_EQ(3, InstallerAppProbe::installCount(*app_));
      for (int copy : {kSetupCopy, kSetupShortcut}) {
        const bool named = missing != -2 && missing != copy;
        EXPECT_EQ(named ? TextFor(kRecord[copy]) : kPlanned, Slot(*app_, kRecord[copy].slot));
      }
    }
  }
}

TEST_F(DetectInstallation, AnyMismatchOfTheLayoutEntryGivesZero) {
  struct Case {
    const wchar_t* text;
    const wchar_t* component;
    const wchar_t* file;
  };
  const Case cases[] = {
      {L"Polish (Kestrel) ", L"C5D2F79C2A5B597F972671A06F383854", L"kbdkestr.dll"},
      {L"Polish (Kestrel)", L"c5d2f79c2a5b597f972671a06f383854", L"kbdkestr.dll"},
      {L"Polish (Kestrel)", L"C5D2F79C2A5B597F972671A06F383854", L"KBDKESTR.DLL"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "entry " << c.text << " " << c.component << " " << c.file);
    TearDown();
    SetUp();
    WriteLayoutEntry(c.text, c.component, c.file);
    app_->detectInstallation();
    EXPECT_EQ(0, app_->getInstalledVersion());
  }
  // A missing value is a mismatch too.
  TearDown();
  SetUp();
  WriteLayoutEntry(L"Polish (Kestrel)", L"C5D2F79C2A5B597F972671A06F383854", L"kbdkestr.dll");
  ASSERT_TRUE(DeleteValue(kLayoutEntryPath, L"Layout File", NativeView()));
  app_->detectInstallation();
  EXPECT_EQ(0, app_->getInstalledVersion());
}

}  // namespace
