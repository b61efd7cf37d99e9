// readScancodeMap over maps the tests store in the system's value (saved and
// put back around each test): sound maps, damaged maps, wrong types.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "tests/app/support/InstallerAppProbe.h"
#include "tests/state/StateTestSupport.h"

namespace {

class ReadScancodeMap : public ScancodeMapTest {
 protected:
  void Fresh() {
    app_.reset(NewInitialisedApp());
    ASSERT_NE(nullptr, app_);
  }
  void ExpectNoTargets() {
    for (int32_t i = 0; i < app_->getKeyCount(); ++i) {
      EXPECT_EQ(0, app_->getKeyTable()[i].mapTarget) << "row " << i;
    }
  }
};

TEST_F(ReadScancodeMap, NoValueLeavesTheTableAndThePresenceFlag) {
  app_->readScancodeMap();
  EXPECT_EQ(0, InstallerAppProbe::scancodeMapPresent(*app_));
  ExpectNoTargets();
}

TEST_F(ReadScancodeMap, EntriesBecomeTargetsSelfMapsDropAndZeroSwitchesOff) {
  // Caps Lock sends Left Ctrl; Left Windows is off; Right Alt maps to itself;
  // 0x7F is no key of the table.
  ASSERT_TRUE(PutValue(kScancodeMapKeyPath, L"Scancode Map", REG_BINARY,
                       Words({0, 0, 5, MapEntry(0x3A, 0x1D), MapEntry(0xE05B, 0), MapEntry(0xE038, 0xE038),
                              MapEntry(0x7F, 0x3A), 0})));
  app_->readScancodeMap();
  EXPECT_EQ(1, InstallerAppProbe::scancodeMapPresent(*app_));
  EXPECT_EQ(0x1D, app_->findKey(0x3A)->mapTarget);
  EXPECT_EQ(kKeySwitchedOff, app_->findKey(0xE05B)->mapTarget);
  EXPECT_EQ(0, app_->findKey(0xE038)->mapTarget);
  int32_t remapped = 0;
  for (int32_t i = 0; i < app_->getKeyCount(); ++i) remapped += app_->getKeyTable()[i].mapTarget != 0;
  EXPECT_EQ(2, remapped);
}

TEST_F(ReadScancodeMap, DamagedMapsAreIgnoredButCountAsPresent) {
  struct Case {
    const char* what;
    Bytes data;
  };
  Bytes twelve = Words({0, 0, 2});
  Bytes fifteen = Words({0, 0, 2, MapEntry(0x3A, 0x1D)});
  fifteen.resize(15);
  const Case cases[] = {
      {"shorter than 16 bytes", twelve},
      {"15 bytes", fifteen},
      {"count 0", Words({0, 0, 0, MapEntry(0x3A, 0x1D), 0})},
      {"count 1", Words({0, 0, 1, MapEntry(0x3A, 0x1D), 0})},
      {"count beyond the data", Words({0, 0, 4, MapEntry(0x3A, 0x1D), 0})},
      {"count 0x40000000", Words({0, 0, 0x40000000u, MapEntry(0x3A, 0x1D)})},
      {"count 0xFFFFFFFF", Words({0, 0, 0xFFFFFFFFu, MapEntry(0x3A, 0x1D), 0})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Fresh();
    ASSERT_TRUE(PutValue(kScancodeMapKeyPath, L"Scancode Map", REG_BINARY, c.data));
    app_->readScancodeMap();
    EXPECT_EQ(1, InstallerAppProbe::scancodeMapPresent(*app_));
    ExpectNoTargets();
  }
}

TEST_F(ReadScancodeMap, AValueOfAnotherTypeIsNoMap) {
  ASSERT_TRUE(PutValue(kScancodeMapKeyPath, L"Scancode Map", REG_SZ,
                       Words({0, 0, 2, MapEntry(0x3A, 0x1D), 0})));
  app_->readScancodeMap();
  EXPECT_EQ(0, InstallerAppProbe::scancodeMapPresent(*app_));
  ExpectNoTargets();
}

TEST_F(ReadScancodeMap, WithoutATableNothingIsRead) {
  ASSERT_TRUE(PutValue(kScancodeMapKeyPath, L"Scancode Map", REG_BINARY,
                       Words({0, 0, 2, MapEntry(0x3A, 0x1D), 0})));
  InstallerAppProbe::keyCount(*app_) = 0;
  app_->readScancodeMap();
  EXPECT_EQ(0, InstallerAppProbe::scancodeMapPresent(*app_));
}

}  // namespace
