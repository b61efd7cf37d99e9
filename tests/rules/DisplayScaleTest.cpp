// The header band's sizes at the usual scalings: 100, 125, 150 and 200 percent.
#include <gtest/gtest.h>

#include "setup/rules/DisplayScale.h"

namespace {

TEST(DisplayScale, TheHeaderFollowsTheDpi) {
  struct Case {
    int32_t dpi;
    HeaderPlacement expected;
  } const cases[] = {
      {96, {10, 10, 32, 60, 10, 30}},   {120, {13, 13, 48, 76, 13, 38}},
      {144, {15, 15, 48, 90, 15, 45}},  {192, {20, 20, 48, 120, 20, 60}},
      {0, {10, 10, 32, 60, 10, 30}},    {-5, {10, 10, 32, 60, 10, 30}},
  };
  for (const Case& c : cases) {
    const HeaderPlacement got = PlaceHeader(c.dpi);
    const HeaderPlacement& want = c.expected;
    EXPECT_EQ(want.iconLeft, got.iconLeft) << c.dpi;
    EXPECT_EQ(want.iconSize, got.iconSize) << c.dpi;
    EXPECT_EQ(want.textLeft, got.textLeft) << c.dpi;
    EXPECT_EQ(want.textTop, got.textTop) << c.dpi;
    EXPECT_EQ(want.fontHeight, got.fontHeight) << c.dpi;
    // The text never starts over the icon.
    EXPECT_GE(got.textLeft, got.iconLeft + got.iconSize) << c.dpi;
  }
  EXPECT_EQ(-38, ScaleForDpi(-30, 120));  // a negative height keeps its sign
  EXPECT_EQ(32, HeaderIconSize(110));
}

}  // namespace
