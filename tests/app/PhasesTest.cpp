// The initialise and run phases on the application object itself: the values
// they compute from the string tables, the user's language and the system.

#include <gtest/gtest.h>

#include "app/InstallerApp.h"
#include "setup/rules/WindowsVersions.h"
#include "tests/app/doubles/CallScript.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/app/support/TableImage.h"

namespace {

using P = InstallerAppProbe;

constexpr int kCommon = 0;
constexpr int kSupplementary = 1;
constexpr int kLanguage0 = 2;
constexpr int kLanguage1 = 3;

class Phases : public ::testing::Test {
 protected:
  void SetUp() override { ResetCallScript(); }
  int initialise() { return app.initialise(GetModuleHandleW(nullptr)); }
  InstallerApp app;
};

TEST_F(Phases, InitialiseLoadsTheTablesAndCreatesTheWizard) {
  Script().tables[kCommon] = BuildTable({Wide(4, u"common")});
  Script().tables[kSupplementary] = BuildTable({Wide(5, u"supplementary")});
  Script().tables[kLanguage0] = BuildTable({Wide(6, u"english")});
  Script().tables[kLanguage1] = BuildTable({Wide(6, u"polski")});
  ASSERT_EQ(1, initialise());
  EXPECT_EQ(GetModuleHandleW(nullptr), app.getInstance());
  EXPECT_NE(nullptr, app.getWizard());
  EXPECT_NE(nullptr, P::commonTable(app).find(4));
  EXPECT_NE(nullptr, P::supplementaryTable(app).find(5));
  EXPECT_NE(nullptr, P::languageTable(app, 0).find(6));
  EXPECT_NE(nullptr, P::languageTable(app, 1).find(6));
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), app.ownerWindow());  // the double's frame
}

TEST_F(Phases, FinishReleasesEveryTableAndTheWizard) {
  Script().tables[kCommon] = BuildTable({Wide(4, u"x")});
  Script().tables[kSupplementary] = BuildTable({Wide(5, u"x")});
  Script().tables[kLanguage0] = BuildTable({Wide(6, u"x")});
  Script().tables[kLanguage1] = BuildTable({Wide(6, u"x")});
  ASSERT_EQ(1, initialise());
  app.finish();
  EXPECT_EQ(nullptr, app.getWizard());
  EXPECT_EQ(nullptr, app.ownerWindow());
  EXPECT_TRUE(P::commonTable(app).isEmpty());
  EXPECT_TRUE(P::supplementaryTable(app).isEmpty());
  EXPECT_TRUE(P::languageTable(app, 0).isEmpty());
  EXPECT_TRUE(P::languageTable(app, 1).isEmpty());
  EXPECT_EQ(0, app.showMessage(122, 0));  // no wizard left to show it
}

// ---- String 86: the fallback language -------------------------------------

struct FallbackCase {
  const char16_t* text;  // null: string 86 missing
  uint16_t expected;
};

TEST_F(Phases, FallbackLanguageIsString86ReadAsHexadecimal) {
  const FallbackCase cases[] = {
      {u"0415", 0x0415}, {u"415", 0x0415}, {u"0x0409", 0x0409}, {u" 0407", 0x0407},
      {u"a0010415", 0x0415},  // low 16 bits of a longer number
      {u"041g", 0x0041},      // stops at the first non-digit
      {u"pl", 0}, {u"", 0}, {nullptr, 0},
  };
  for (const FallbackCase& c : cases) {
    ResetCallScript();
    InstallerApp fresh;
    if (c.text != nullptr) Script().tables[kCommon] = BuildTable({Wide(86, c.text)});
    ASSERT_EQ(1, fresh.initialise(GetModuleHandleW(nullptr)));
    EXPECT_EQ(c.expected, fresh.getFallbackLanguageId())
        << (c.text ? std::string(c.text, c.text + std::char_traits<char16_t>::length(c.text))
                   : std::string("(missing)"));
  }
}

// ---- String 88: the variant ------------------------------------------------

struct VariantCase {
  const char16_t* needle;
  const char16_t* texts[3];
  int32_t expected;
};

TEST_F(Phases, VariantIsTheFirstOfStrings112To114ContainingString88) {
  const VariantCase cases[] = {
      {u"Typo", {u"Plain", u"Dead keys", u"Typographic"}, 2},
      {u"Dead", {u"Plain", u"Dead keys", u"Dead and typographic"}, 1},
      {u"Pl", {u"Plain", u"Plain too", u"x"}, 0},
      {u"typo", {u"Plain", u"Dead keys", u"Typographic"}, 0},  // case-sensitive
      {u"none", {u"Plain", u"Dead keys", u"Typographic"}, 0},
  };
  for (const VariantCase& c : cases) {
    ResetCallScript();
    InstallerApp fresh;
    Script().tables[kCommon] = BuildTable({Wide(88, c.needle), Wide(112, c.texts[0]),
                                           Wide(113, c.texts[1]), Wide(114, c.texts[2])});
    ASSERT_EQ(1, fresh.initialise(GetModuleHandleW(nullptr)));
    EXPECT_EQ(c.expected, fresh.getVariantIndex())
        << std::string(c.needle, c.needle + std::char_traits<char16_t>::length(c.needle));
  }
}

TEST_F(Phases, ComputeVariantKeepsAValueAlreadyKnown) {
  Script().tables[kCommon] =
      BuildTable({Wide(88, u"B"), Wide(112, u"A"), Wide(113, u"B"), Wide(114, u"C")});
  app.setVariant(2);  // as detection would have set it
  ASSERT_EQ(1, initialise());
  EXPECT_EQ(2, app.getVariantIndex());
  EXPECT_EQ(2, app.computeVariant());
}

TEST_F(Phases, InitialiseComputesTheDecimalOption) {
  ASSERT_EQ(1, initialise());
  EXPECT_TRUE(app.getDecimalOption() == 0 || app.getDecimalOption() == 1);
}

// ---- run -------------------------------------------------------------------

TEST_F(Phases, InterfaceLanguageFollowsTheUserDefaultLanguage) {
  ASSERT_EQ(1, initialise());
  ASSERT_EQ(1, app.run());
  EXPECT_EQ(GetUserDefaultLangID() == 0x0415 ? 1 : 0, app.getLanguageIndex());
}

TEST_F(Phases, TargetLanguageIsTheUserLanguageFromVersion60On) {
  Script().tables[kCommon] = BuildTable({Wide(86, u"0415")});
  Script().probedVersion = kWindowsVista;
  ASSERT_EQ(1, initialise());
  ASSERT_EQ(1, app.run());
  EXPECT_EQ(GetUserDefaultLangID(), app.getTargetLanguageId());
  EXPECT_EQ(1, app.getDefaultLanguageFlag());
}

TEST_F(Phases, TargetLanguageIsString86BelowVersion60) {
  Script().tables[kCommon] = BuildTable({Wide(86, u"0415")});
  Script().probedVersion = kWindowsServer2003;
  Script().probedArchitecture = 9;
  ASSERT_EQ(1, initialise());
  ASSERT_EQ(1, app.run());
  EXPECT_EQ(0x0415, app.getTargetLanguageId());
  EXPECT_EQ(1, app.getDefaultLanguageFlag());
}

TEST_F(Phases, Windows2000StartsWithoutTheDefaultLanguageFlag) {
  Script().probedVersion = kWindows2000;
  ASSERT_EQ(1, initialise());
  ASSERT_EQ(1, app.run());
  EXPECT_EQ(0, app.getDefaultLanguageFlag());
}

TEST_F(Phases, RunStoresTheAssociationAndAdministratorResults) {
  Script().association = 0;
  ASSERT_EQ(1, initialise());
  ASSERT_EQ(1, app.run());
  EXPECT_EQ(0, app.getAssociationMatch());
  EXPECT_EQ(1, app.getIsAdministrator());

  ResetCallScript();
  InstallerApp other;
  Script().administrator = 0;
  ASSERT_EQ(1, other.initialise(GetModuleHandleW(nullptr)));
  ASSERT_EQ(1, other.run());
  EXPECT_EQ(1, other.getAssociationMatch());
  EXPECT_EQ(0, other.getIsAdministrator());
}

}  // namespace
