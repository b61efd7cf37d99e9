// A new application object: every field's start value, the live key table,
// and the guarded size of its allocation.

#include <gtest/gtest.h>

#include <stdint.h>

#include "app/ByteCount.h"
#include "app/InstallerApp.h"
#include "app/StaticKeyTable.h"
#include "payload/PayloadStore.h"
#include "tests/app/doubles/CallScript.h"
#include "tests/app/support/InstallerAppProbe.h"

namespace {

using P = InstallerAppProbe;

class NewInstallerApp : public ::testing::Test {
 protected:
  void SetUp() override { ResetCallScript(); }
  InstallerApp app;
};

TEST_F(NewInstallerApp, BaseFieldsStartEmpty) {
  EXPECT_EQ(nullptr, P::instance(app));
  EXPECT_FALSE(P::keyBlock(app).isLoaded());
  EXPECT_TRUE(P::commonTable(app).isEmpty());
  EXPECT_TRUE(P::languageTable(app, 0).isEmpty());
  EXPECT_TRUE(P::languageTable(app, 1).isEmpty());
  EXPECT_EQ(0, P::wizardStep(app));
  EXPECT_EQ(0, P::versionCode(app));
  EXPECT_EQ(0, P::languageIndex(app));
  EXPECT_EQ(0, P::is64BitSystem(app));
  EXPECT_EQ(0xFFFF, P::processorArchitecture(app));
  EXPECT_TRUE(P::lookupBuffer(app).IsEmpty());
}

TEST_F(NewInstallerApp, KeyBlockTakesTheStoredRebuildParameters) {
  const KeyBlock& block = P::keyBlock(app);
  EXPECT_EQ(nullptr, block.data);
  EXPECT_EQ(968, block.size);
  EXPECT_EQ(495, block.keyLength);
  const KeyBlockParameters k = PayloadKeyParameters();
  EXPECT_EQ(11, k.keyOffset);  // the test store's distinctive values
  EXPECT_EQ(k.keyOffset, block.keyOffset);
  EXPECT_EQ(k.moveASource, block.moveASource);
  EXPECT_EQ(k.moveADestination, block.moveADestination);
  EXPECT_EQ(k.moveACount, block.moveACount);
  EXPECT_EQ(k.moveBSource, block.moveBSource);
  EXPECT_EQ(k.moveBDestination, block.moveBDestination);
  EXPECT_EQ(k.moveBCount, block.moveBCount);
  EXPECT_EQ(k.maskPosition, block.maskPosition);
  EXPECT_EQ(k.maskStart, block.maskStart);
  EXPECT_EQ(k.maskCount, block.maskCount);
}

TEST_F(NewInstallerApp, OptionAndStateFieldsHaveTheirStartValues) {
  EXPECT_EQ(0, P::fallbackLanguageId(app));
  EXPECT_EQ(0, P::targetLanguageId(app));
  EXPECT_EQ(1, P::defaultLanguageFlag(app));
  EXPECT_EQ(0, P::associationMatch(app));
  EXPECT_EQ(0, P::isAdministrator(app));
  EXPECT_EQ(0, P::uninstallDone(app));
  EXPECT_EQ(0, P::installDone(app));
  EXPECT_EQ(0, P::restartRequested(app));
  EXPECT_EQ(0, P::pageFlag(app));
  EXPECT_EQ(1, P::finalStepOption(app));
  EXPECT_EQ(1, P::placementOption(app));
  EXPECT_EQ(0, P::placementResultA(app));
  EXPECT_EQ(0, P::placementResultB(app));
  EXPECT_EQ(0, P::placementResultC(app));
  EXPECT_EQ(-1, P::variantIndex(app));
  EXPECT_EQ(-1, P::decimalOption(app));
  EXPECT_EQ(0, P::recordedOption(app));
  EXPECT_EQ(0, P::updateOnly(app));
  EXPECT_EQ(0, P::scancodeMapPresent(app));
  EXPECT_TRUE(P::supplementaryTable(app).isEmpty());
  EXPECT_EQ(nullptr, P::wizard(app));
  EXPECT_EQ(0, P::recordedValueA(app));
  EXPECT_EQ(0, P::recordedVersion(app));
  EXPECT_EQ(0, P::recordedValueC(app));
  EXPECT_EQ(0, P::installedVersion(app));
  EXPECT_EQ(0, P::installCount(app));
}

TEST_F(NewInstallerApp, AllThirtySixPathsAreEmpty) {
  for (int i = 0; i < kPathCount; ++i) EXPECT_TRUE(P::path(app, i).IsEmpty()) << "slot " << i;
  EXPECT_EQ(&P::path(app, 35), app.path(35));
  EXPECT_EQ(nullptr, app.path(36));
  EXPECT_EQ(nullptr, app.path(-1));
}

TEST_F(NewInstallerApp, KeyTableIsTheStaticTableWithoutAssignments) {
  ASSERT_EQ(146, P::keyCount(app));
  const KeyRow* live = P::keyTable(app);
  ASSERT_NE(nullptr, live);
  ASSERT_NE(StaticKeyTable, live);  // an owned copy, not the constant table
  for (int i = 0; i < 146; ++i) {
    EXPECT_EQ(StaticKeyTable[i].scanCode, live[i].scanCode) << "row " << i;
    EXPECT_EQ(0, live[i].assignedKey) << "row " << i;
    EXPECT_EQ(StaticKeyTable[i].keyNumber, live[i].keyNumber) << "row " << i;
    EXPECT_EQ(StaticKeyTable[i].mapTarget, live[i].mapTarget) << "row " << i;
  }
}

TEST_F(NewInstallerApp, WithoutAWizardThereIsNoOwnerWindowAndNoMessage) {
  EXPECT_EQ(nullptr, app.ownerWindow());
  EXPECT_EQ(0, app.showMessage(123, MB_ICONEXCLAMATION));
  EXPECT_EQ(-1, CallIndex("showMessage 123 48")) << CallLog();
}

TEST_F(NewInstallerApp, RunWithoutAWizardStopsBeforeAnyCheck) {
  EXPECT_EQ(0, app.run());
  EXPECT_TRUE(Script().calls.empty()) << CallLog();
}

TEST(GuardedByteCount, MultipliesWhenTheProductFits) {
  EXPECT_EQ(1168u, GuardedByteCount(146, sizeof(KeyRow)));
  EXPECT_EQ(0u, GuardedByteCount(0, 8));
  EXPECT_EQ(0u, GuardedByteCount(5, 0));
}

TEST(GuardedByteCount, OverflowAndNegativeCountsAskForTheLargestSize) {
  EXPECT_EQ(SIZE_MAX, GuardedByteCount(-1, 8));
  EXPECT_EQ(SIZE_MAX, GuardedByteCount(INT32_MIN, 1));
  const size_t limit = SIZE_MAX / 8;
  if (limit <= static_cast<size_t>(INT32_MAX)) {  // 32-bit size_t, as in setup.exe
    EXPECT_EQ(limit * 8, GuardedByteCount(static_cast<int32_t>(limit), 8));
    EXPECT_EQ(SIZE_MAX, GuardedByteCount(static_cast<int32_t>(limit + 1), 8));
  }
  EXPECT_EQ(SIZE_MAX, GuardedByteCount(INT32_MAX, SIZE_MAX / 2));
}

}  // namespace
