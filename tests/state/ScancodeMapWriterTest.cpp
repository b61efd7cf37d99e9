// writeScancodeMap against the system's value (saved and put back around each
// test): nothing to write, clearing an old map, and the exact bytes written.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "tests/app/support/InstallerAppProbe.h"
#include "tests/state/StateTestSupport.h"

namespace {

class WriteScancodeMap : public ScancodeMapTest {
 protected:
  bool Stored(Bytes* data) {
    DWORD type = 0;
    if (!GetValue(kScancodeMapKeyPath, L"Scancode Map", &type, data)) return false;
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    return true;
  }
};

TEST_F(WriteScancodeMap, NothingRemappedAndNoMapWritesNothing) {
  EXPECT_EQ(1, app_->writeScancodeMap());
  Bytes data;
  EXPECT_FALSE(Stored(&data));
}

TEST_F(WriteScancodeMap, NothingRemappedOverAnOldMapWritesTheEmptyMap) {
  ASSERT_TRUE(PutValue(kScancodeMapKeyPath, L"Scancode Map", REG_BINARY,
                       Words({0, 0, 2, MapEntry(0x3A, 0x1D), 0})));
  app_->readScancodeMap();
  // The user undid the remapping on the key page.
  app_->findKey(0x3A)->mapTarget = 0;
  EXPECT_EQ(1, app_->writeScancodeMap());
  Bytes data;
  ASSERT_TRUE(Stored(&data));
  EXPECT_EQ(Words({0, 0, 1, 0}), data);
}

TEST_F(WriteScancodeMap, RemappedKeysAreWrittenInTableOrder) {
  app_->findKey(0xE05B)->mapTarget = kKeySwitchedOff;
  app_->findKey(0x3A)->mapTarget = 0x1D;
  app_->findKey(0xE11D)->mapTarget = 0x46;
  EXPECT_EQ(1, app_->writeScancodeMap());
  Bytes data;
  ASSERT_TRUE(Stored(&data));
  EXPECT_EQ(Words({0, 0, 4, MapEntry(0x3A, 0x1D), MapEntry(0xE05B, 0), MapEntry(0xE11D, 0x46), 0}), data);
  // And a later run reads the same targets back.
  std::unique_ptr<InstallerApp> later(NewInitialisedApp());
  ASSERT_NE(nullptr, later);
  later->readScancodeMap();
  for (int32_t i = 0; i < app_->getKeyCount(); ++i) {
    EXPECT_EQ(app_->getKeyTable()[i].mapTarget, later->getKeyTable()[i].mapTarget) << i;
  }
}

TEST_F(WriteScancodeMap, FailsWithoutATable) {
  KeyRow* table = InstallerAppProbe::keyTable(*app_);
  InstallerAppProbe::keyTable(*app_) = nullptr;
  EXPECT_EQ(0, app_->writeScancodeMap());
  InstallerAppProbe::keyTable(*app_) = table;
}

}  // namespace
