// The program's real parts together under Windows: the payload compiled into
// this test (the same as setup.exe's) loads in the initialise phase, and the
// four tables answer in their order.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "tests/support/ProductText.h"
#include "text/WString.h"

namespace {

std::wstring Loaded(InstallerApp& app, uint32_t id) {
  WString text;
  if (!app.loadText(id, text)) return L"<missing>";
  return Wide(text);
}

TEST(RealPayload, InitialiseLoadsAllFourTables) {
  InstallerApp app;
  ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
  // Common table: a registry path; supplementary table: an input-language script.
  EXPECT_NE(std::wstring::npos, Loaded(app, kLayoutListKeyId).find(L"Keyboard Layouts"));
  EXPECT_NE(std::wstring::npos, Loaded(app, 62).find(L"GlobalizationServices"));
  // Language tables: the caption in each interface language.
  ASSERT_EQ(1, app.setLanguageIndex(0));
  std::wstring english = Loaded(app, kMessageBoxCaptionId);
  ASSERT_EQ(1, app.setLanguageIndex(1));
  std::wstring polish = Loaded(app, kMessageBoxCaptionId);
  EXPECT_NE(L"<missing>", english);
  EXPECT_NE(L"<missing>", polish);
  EXPECT_NE(english, polish);
  EXPECT_EQ(L"<missing>", Loaded(app, 0xFFFFFFF0u));
}

TEST(RealPayload, InitialiseComputesTheOptionsFromTheTexts) {
  InstallerApp app;
  ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
  EXPECT_EQ(0x0415, app.getFallbackLanguageId());
  EXPECT_EQ(0, app.getVariantIndex());  // the recommended variant is the standard one
  EXPECT_TRUE(app.getDecimalOption() == 0 || app.getDecimalOption() == 1);
}

}  // namespace
