// Interface language, target language and decimal-key option from the user's
// settings, as pure functions and, for the decimal separator, through the
// user's real locale setting.

#include <gtest/gtest.h>

#include <windows.h>

#include "app/InstallerApp.h"
#include "app/LocaleChoices.h"
#include "tests/app/doubles/CallScript.h"
#include "text/WString.h"

namespace {

TEST(LanguageIndexFor, OnlyPolishPolandSelectsLanguageOne) {
  EXPECT_EQ(1, LanguageIndexFor(0x0415));
  const uint16_t others[] = {0x0409, 0x0809, 0x0407, 0x0015, 0x0815, 0x0C15, 0x1415, 0x0000,
                             0xFFFF, 0x0419};
  for (uint16_t id : others) EXPECT_EQ(0, LanguageIndexFor(id)) << std::hex << id;
}

TEST(TargetLanguageFor, UserLanguageFromVista) {
  EXPECT_EQ(0x0407, TargetLanguageFor(60, 0x0407, 0x0415));
  EXPECT_EQ(0x0407, TargetLanguageFor(62, 0x0407, 0x0415));
  EXPECT_EQ(0x0415, TargetLanguageFor(59, 0x0407, 0x0415));
  EXPECT_EQ(0x0415, TargetLanguageFor(50, 0x0407, 0x0415));
  EXPECT_EQ(0, TargetLanguageFor(51, 0x0407, 0));
}

TEST(DecimalOptionFor, OnlyACommaGivesZero) {
  struct Case {
    const wchar_t* separator;
    int32_t expected;
  };
  const Case cases[] = {{L",", 0}, {L".", 1}, {L",,", 1}, {L", ", 1}, {L"", 1}, {L"\x066B", 1}};
  for (const Case& c : cases) {
    WString text;
    text.AssignWide(c.separator, -1);
    EXPECT_EQ(c.expected, DecimalOptionFor(text)) << "\"" << c.separator << "\"";
  }
}

// Sets the user's decimal separator for one test and puts the old one back.
// The setting is shared by every test program in the prefix, and ctest may run
// several at once: a named mutex keeps them from changing it under each other.
class UserDecimalSeparator : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCallScript();
    lock_ = CreateMutexW(nullptr, FALSE, L"KestrelAppTestsDecimalSeparator");
    ASSERT_NE(nullptr, lock_);
    const DWORD waited = WaitForSingleObject(lock_, 60000);
    ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED);
    saved_ = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, original_, 8);
    ASSERT_GT(saved_, 0);
  }
  void TearDown() override {
    if (saved_ > 0) SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, original_);
    if (lock_ != nullptr) {
      ReleaseMutex(lock_);
      CloseHandle(lock_);
    }
  }
  void use(const wchar_t* separator) {
    ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator));
    wchar_t check[8] = {};
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, check, 8);
    ASSERT_STREQ(separator, check);
  }
  HANDLE lock_ = nullptr;
  wchar_t original_[8] = {};
  int saved_ = 0;
};

TEST_F(UserDecimalSeparator, CommaGivesZeroOtherSeparatorsOne) {
  struct Case {
    const wchar_t* separator;
    int32_t expected;
  };
  const Case cases[] = {{L",", 0}, {L".", 1}, {L",.", 1}};
  for (const Case& c : cases) {
    use(c.separator);
    InstallerApp app;
    EXPECT_EQ(c.expected, app.computeDecimalOption()) << "\"" << c.separator << "\"";
    EXPECT_EQ(c.expected, app.getDecimalOption());
  }
}

TEST_F(UserDecimalSeparator, AValueAlreadyKnownIsKept) {
  use(L",");
  InstallerApp app;
  app.setDecimalOption(1);
  EXPECT_EQ(1, app.computeDecimalOption());
}

}  // namespace
