// The accessors the wizard pages use: range checks of the option setters,
// the update-only switch and the interface language.

#include <gtest/gtest.h>

#include "app/InstallerApp.h"
#include "tests/app/doubles/CallScript.h"

namespace {

class Accessors : public ::testing::Test {
 protected:
  void SetUp() override { ResetCallScript(); }
  InstallerApp app;
};

TEST_F(Accessors, SetVariantStoresZeroToTwoAndReturnsItsArgument) {
  for (int32_t v = 0; v <= 2; ++v) {
    EXPECT_EQ(v, app.setVariant(v));
    EXPECT_EQ(v, app.getVariantIndex());
  }
}

TEST_F(Accessors, SetVariantOutOfRangeKeepsTheValueButReturnsTheArgument) {
  app.setVariant(1);
  const int32_t rejected[] = {3, -1, 0x7FFFFFFF, INT32_MIN};
  for (int32_t v : rejected) {
    EXPECT_EQ(v, app.setVariant(v));
    EXPECT_EQ(1, app.getVariantIndex()) << v;
  }
}

TEST_F(Accessors, SetDecimalOptionStoresOnlyZeroOrOne) {
  EXPECT_EQ(1, app.setDecimalOption(1));
  EXPECT_EQ(1, app.getDecimalOption());
  EXPECT_EQ(0, app.setDecimalOption(0));
  EXPECT_EQ(0, app.getDecimalOption());
  EXPECT_EQ(2, app.setDecimalOption(2));
  EXPECT_EQ(-1, app.setDecimalOption(-1));
  EXPECT_EQ(0, app.getDecimalOption());
}

TEST_F(Accessors, SetUpdateOnlyAcceptsTheLicenceOnlyWhenSwitchedOn) {
  EXPECT_EQ(0, app.setUpdateOnly(0));
  EXPECT_EQ(0, app.getUpdateOnly());
  EXPECT_EQ(0, app.getPageFlag());
  EXPECT_EQ(5, app.setUpdateOnly(5));
  EXPECT_EQ(5, app.getUpdateOnly());
  EXPECT_EQ(1, app.getPageFlag());
  // Switching it off again does not withdraw the acceptance.
  EXPECT_EQ(0, app.setUpdateOnly(0));
  EXPECT_EQ(0, app.getUpdateOnly());
  EXPECT_EQ(1, app.getPageFlag());
}

TEST_F(Accessors, SetLanguageIndexAcceptsOnlyZeroAndOne) {
  EXPECT_EQ(1, app.setLanguageIndex(1));
  EXPECT_EQ(1, app.getLanguageIndex());
  EXPECT_EQ(0, app.setLanguageIndex(2));
  EXPECT_EQ(0, app.setLanguageIndex(-1));
  EXPECT_EQ(1, app.getLanguageIndex());
  EXPECT_EQ(1, app.setLanguageIndex(0));
  EXPECT_EQ(0, app.getLanguageIndex());
}

}  // namespace
