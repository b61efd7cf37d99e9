// The file-association check against an association this test registers for
// an extension of its own, with needles that differ only in case, and with the
// product's texts against the association a fresh prefix has.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/app/support/TableImage.h"
#include "tests/environment/EnvironmentExpectations.h"

namespace {

const wchar_t kOpener[] = L"\"C:\\windows\\system32\\notepad.exe\" \"%1\"";

// An association of `extension` with notepad, removed again on exit. Wine's
// association queries read the machine's classes only, so it is made there;
// the names carry the process id, so parallel runs never meet.
class ScratchAssociation {
 public:
  ScratchAssociation(const std::wstring& extension, const std::wstring& progId)
      : extensionKey(extension), progIdKey(progId) {
    made = SetDefault(extensionKey, progId) &&
           SetDefault(progIdKey + L"\\shell\\open\\command", kOpener);
  }
  ~ScratchAssociation() {
    SHDeleteKeyW(HKEY_CLASSES_ROOT, extensionKey.c_str());
    SHDeleteKeyW(HKEY_CLASSES_ROOT, progIdKey.c_str());
  }
  ScratchAssociation(const ScratchAssociation&) = delete;
  ScratchAssociation& operator=(const ScratchAssociation&) = delete;
  bool made = false;

 private:
  static bool SetDefault(const std::wstring& key, const std::wstring& value) {
    DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return SHSetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(), bytes) ==
           ERROR_SUCCESS;
  }
  std::wstring extensionKey;
  std::wstring progIdKey;
};

std::wstring Unique(const wchar_t* stem) {
  return stem + std::to_wstring(GetCurrentProcessId());
}

std::u16string U16(const std::wstring& text) { return std::u16string(text.begin(), text.end()); }

// ---- Texts of this test's own --------------------------------------------------

constexpr uint32_t kTypeId = 0x7000;
constexpr uint32_t kUnassociatedTypeId = 0x7001;
constexpr uint32_t kUpperNeedleId = 0x7002;
constexpr uint32_t kLowerNeedleId = 0x7003;
constexpr uint32_t kAbsentId = 0x7004;
constexpr uint32_t kOtherProgramNeedleId = 0x7005;

class Association : public testing::Test {
 protected:
  void SetUp() override {
    extension = Unique(L".kestrelenv");
    TableImage table = BuildTable({
        Wide(kTypeId, U16(extension)),
        Wide(kUnassociatedTypeId, U16(Unique(L".kestrelnone"))),
        Wide(kUpperNeedleId, u"NOTEPAD.EXE"),
        Narrow(kLowerNeedleId, "notepad.exe"),
        Wide(kOtherProgramNeedleId, u"WORDPAD.EXE"),
    });
    ASSERT_EQ(1, AttachImage(table, InstallerAppProbe::commonTable(app)));
  }
  InstallerApp app;
  std::wstring extension;
};

TEST_F(Association, NeedleIsFoundInTheUpperCasedProgramPath) {
  ScratchAssociation association(extension, Unique(L"KestrelTests.Env"));
  ASSERT_TRUE(association.made);
  EXPECT_EQ(1, app.checkAssociation(kTypeId, kUpperNeedleId));
  // The path is upper-cased and the search is exact: lower case never matches.
  EXPECT_EQ(0, app.checkAssociation(kTypeId, kLowerNeedleId));
  EXPECT_EQ(0, app.checkAssociation(kTypeId, kOtherProgramNeedleId));
}

TEST_F(Association, NoAssociationOrNoTextIsNoMatch) {
  EXPECT_EQ(0, app.checkAssociation(kUnassociatedTypeId, kUpperNeedleId));
  ScratchAssociation association(extension, Unique(L"KestrelTests.Env"));
  ASSERT_TRUE(association.made);
  EXPECT_EQ(0, app.checkAssociation(kAbsentId, kUpperNeedleId));
  // A missing needle must not match every path.
  EXPECT_EQ(0, app.checkAssociation(kTypeId, kAbsentId));
}

// ---- The product's own texts ---------------------------------------------------

TEST(ProductAssociation, DocumentTypeOfAFreshPrefixMatchesTheNeedle) {
  InstallerApp app;
  ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
  WString type;
  ASSERT_EQ(1, app.loadText(kFileTypeId, type));
  // Wine opens the document type with a program of its own; the check needs one.
  wchar_t program[MAX_PATH + 1] = {};
  DWORD count = MAX_PATH;
  ASSERT_EQ(S_OK, AssocQueryStringW(0, ASSOCSTR_EXECUTABLE, type.WideAt(0), nullptr, program,
                                    &count))
      << "the prefix has no program for the document type";
  // Text 45 names what every program's path holds, in upper case.
  EXPECT_EQ(1, app.checkAssociation(kFileTypeId, kAssociationNeedleId));
}

}  // namespace
