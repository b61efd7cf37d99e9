// The options page's decisions without a window: which controls each system
// and mode shows, and which enumerated locales the language list offers.
#include <gtest/gtest.h>

#include <stdint.h>

#include "setup/rules/LocaleListing.h"
#include "setup/rules/OptionsLayout.h"

namespace {

// Wide text on both hosts (wchar_t under mingw, char16_t natively).
const WChar* W(const char16_t* text) { return reinterpret_cast<const WChar*>(text); }

struct LayoutCase {
  int32_t version;
  int32_t updateOnly;
  int32_t language, finalStep, placement;  // shown
  int32_t placementOption;                 // after the build, from a stored 0
};

// Windows 2000, XP, 2003, Vista, 7, 8 in a full install, then update-only.
const LayoutCase kLayouts[] = {
    {50, 0, 0, 1, 1, 0}, {51, 0, 0, 1, 1, 0}, {52, 0, 0, 1, 1, 0}, {60, 0, 1, 1, 1, 0},
    {61, 0, 1, 1, 1, 0}, {62, 0, 1, 1, 0, 1}, {51, 1, 0, 0, 0, 0}, {61, 1, 0, 0, 0, 0},
    {62, 1, 0, 0, 0, 1},
};

TEST(OptionsLayout, EachSystemAndModeShowsItsControls) {
  for (const LayoutCase& c : kLayouts) {
    SCOPED_TRACE(testing::Message() << "version " << c.version << " update " << c.updateOnly);
    const OptionsLayout unticked = LayOutOptions(c.version, c.updateOnly, 0, 0, 0);
    EXPECT_EQ(unticked.languageShown, c.language);
    EXPECT_EQ(unticked.finalStepShown, c.finalStep);
    EXPECT_EQ(unticked.placementShown, c.placement);
    EXPECT_EQ(unticked.placementOption, c.placementOption);
    EXPECT_EQ(unticked.defaultLanguageTicked + unticked.finalStepTicked, 0);
    // Ticked settings show only on visible boxes; Windows 8 ticks its hidden
    // placement setting on, and a kept 1 stays 1 everywhere.
    const OptionsLayout ticked = LayOutOptions(c.version, c.updateOnly, 1, 1, 1);
    EXPECT_EQ(ticked.defaultLanguageTicked, c.language);
    EXPECT_EQ(ticked.finalStepTicked, c.finalStep);
    EXPECT_EQ(ticked.placementTicked, c.updateOnly ? 0 : 1);
    EXPECT_EQ(ticked.placementOption, 1);
  }
}

TEST(LocaleListing, ReadsLocaleStringsAsTheSystemGivesThem) {
  uint32_t id = 7;
  EXPECT_EQ(ParseLocaleId(W(u"00000415"), id), 1);
  EXPECT_EQ(id, 0x415u);
  EXPECT_EQ(ParseLocaleId(W(u"  0x0001040a tail"), id), 1);
  EXPECT_EQ(id, 0x1040Au);
  EXPECT_EQ(ParseLocaleId(W(u"FFFFFFFF"), id), 1);
  EXPECT_EQ(id, 0xFFFFFFFFu);
  // Nothing that stops the enumeration may pass as a locale.
  for (const char16_t* bad : {u"", u"00000000", u"xyz", u"0x", u"100000000", u" "}) {
    EXPECT_EQ(ParseLocaleId(W(bad), id), 0);
    EXPECT_EQ(id, 0u);
  }
  EXPECT_EQ(ParseLocaleId(nullptr, id), 0);
}

TEST(LocaleListing, ListsLanguagesWithALayoutAndTheChosenOne) {
  // US English and Polish layouts loaded; a handle's high word is its layout.
  const uintptr_t layouts[] = {0x04090409u, 0xF0020415u};
  EXPECT_EQ(IsLocaleListed(0x0415, 0x0409, layouts, 2), 1);
  EXPECT_EQ(IsLocaleListed(0x10415, 0x0409, layouts, 2), 1) << "a sort order of Polish";
  EXPECT_EQ(IsLocaleListed(0x0407, 0x0409, layouts, 2), 0) << "German has no layout";
  EXPECT_EQ(IsLocaleListed(0x0407, 0x0407, layouts, 2), 1) << "German chosen already";
  EXPECT_EQ(IsLocaleListed(0x10407, 0x0407, layouts, 2), 0) << "only the whole id counts";
  EXPECT_EQ(IsLocaleListed(0x0409, 0x0409, layouts, 0), 0);
  EXPECT_EQ(IsLocaleListed(0x0409, 0x0409, nullptr, 2), 0);
}

}  // namespace
