// Which script form each Windows version gets and one remove line per
// language, over short test texts that take the product's arguments.
#include <gtest/gtest.h>

#include <stdint.h>

#include <string>

#include "setup/rules/InputLanguageScripts.h"
#include "text/WString.h"

namespace {

std::u16string Text(const WString& text) {
  return std::u16string(reinterpret_cast<const char16_t*>(text.WideAt(0)),
                        static_cast<size_t>(text.Length()));
}

class InputLanguageScripts : public ::testing::Test {
 protected:
  void SetUp() override {
    addScript.AssignNarrow("plain %04x:%s%s", -1, 0);
    userListScript.AssignNarrow("[%s] %04x:%s%s (%04x %u)", -1, 0);
    userList.AssignNarrow("users", -1, 0);
    defaultPart.AssignNarrow(" default", -1, 0);
    removeScript.AssignNarrow("remove{%s}", -1, 0);
    removeLegacy.AssignNarrow("legacy{%s%s}", -1, 0);
    removeLine.AssignNarrow("-%04x:%s;", -1, 0);
    removeLineLegacy.AssignNarrow("#%04x:%s;", -1, 0);
    layout.AssignWide(WTEXT("a0e70415"), -1);
  }
  InputScriptTexts texts() {
    return InputScriptTexts{&addScript,    &userListScript, &userList,
                            &defaultPart,  &removeScript,   &removeLegacy,
                            &removeLine,   &removeLineLegacy, &layout};
  }
  WString addScript, userListScript, userList, defaultPart, removeScript, removeLegacy,
      removeLine, removeLineLegacy, layout;
};

// The forms with the product's texts are read by tests/scripts/check_input_scripts.sh;
// here the choices: no add script before Vista, the user-list form only with a
// user list, one remove line per language, a missing text refusing the script.
TEST_F(InputLanguageScripts, FormsAndLinesFollowTheVersionAndTheTexts) {
  WString script;
  int usesUserList = 7;
  EXPECT_EQ(0, ComposeAddLanguageScript(texts(), 52, 0x0415, 1, script, &usesUserList));
  EXPECT_EQ(0, usesUserList);
  ASSERT_EQ(1, ComposeAddLanguageScript(texts(), 62, 0x0415, 1, script, &usesUserList));
  EXPECT_EQ(u"[users] 0415:a0e70415 default (0415 1045)", Text(script));
  EXPECT_EQ(1, usesUserList);
  userList.AssignWide(WTEXT(""), 0);
  ASSERT_EQ(1, ComposeAddLanguageScript(texts(), 62, 0x0415, 0, script, &usesUserList));
  EXPECT_EQ(u"plain 0415:a0e70415", Text(script));
  EXPECT_EQ(0, usesUserList);
  const uint16_t languages[] = {0x0415, 0x0409, 0x0c0a};
  ASSERT_EQ(1, ComposeRemoveLanguageScript(texts(), 60, languages, 3, script));
  EXPECT_EQ(u"remove{-0415:a0e70415;-0409:a0e70415;-0c0a:a0e70415;}", Text(script));
  ASSERT_EQ(1, ComposeRemoveLanguageScript(texts(), 51, languages, 1, script));
  EXPECT_EQ(u"legacy{#0415:a0e70415;}", Text(script));
  EXPECT_EQ(0, ComposeRemoveLanguageScript(texts(), 60, languages, 0, script));
}

// A missing text refuses the script rather than running a broken one; the
// default part is needed only when asked for.
TEST_F(InputLanguageScripts, MissingTextsRefuseTheScript) {
  WString script;
  const uint16_t polish = 0x0415;
  defaultPart.AssignWide(WTEXT(""), 0);
  EXPECT_EQ(1, ComposeAddLanguageScript(texts(), 60, polish, 0, script, nullptr));
  EXPECT_EQ(0, ComposeAddLanguageScript(texts(), 60, polish, 1, script, nullptr));
  layout.AssignWide(WTEXT(""), 0);
  EXPECT_EQ(0, ComposeAddLanguageScript(texts(), 60, polish, 0, script, nullptr));
  EXPECT_EQ(0, ComposeRemoveLanguageScript(texts(), 60, &polish, 1, script));
  EXPECT_EQ(0, script.Length());
}

}  // namespace
