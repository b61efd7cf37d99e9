// The run phase's rights decision over the versions, token kinds and the
// relaunch's outcome.
#include <gtest/gtest.h>

#include "setup/rules/Elevation.h"

namespace {

TEST(Elevation, OnlyALimitedAdministratorOnVistaAndLaterIsAskedForTheRights) {
  // Default (1) is a standard user or an administrator without a split token;
  // full (2) is already elevated, which the membership check would have found.
  struct Case {
    int32_t version, elevationType;
    int imageHeld;
    ElevationStep expected;
  } const cases[] = {
      {50, 0, 1, ElevationStep::ShowRefusal},  {51, 0, 1, ElevationStep::ShowRefusal},
      {52, 3, 1, ElevationStep::ShowRefusal},  {60, 1, 1, ElevationStep::ShowRefusal},
      {60, 2, 1, ElevationStep::ShowRefusal},  {60, 3, 1, ElevationStep::Relaunch},
      {61, 3, 1, ElevationStep::Relaunch},     {62, 3, 1, ElevationStep::Relaunch},
      {62, 3, 0, ElevationStep::ShowRefusal},  {62, 0, 1, ElevationStep::ShowRefusal},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.expected, NextElevationStep(c.version, c.elevationType, c.imageHeld,
                                            kNotRelaunched))
        << c.version << " " << c.elevationType << " " << c.imageHeld;
  }
  // After the relaunch: the elevated copy goes on, or the user declined.
  EXPECT_EQ(ElevationStep::EndQuietly, NextElevationStep(61, 3, 1, 1));
  EXPECT_EQ(ElevationStep::ShowRefusal, NextElevationStep(61, 3, 1, 0));
}

}  // namespace
