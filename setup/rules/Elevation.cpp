// The rights decision of the run phase.

#include "setup/rules/Elevation.h"

#include "setup/rules/WindowsVersions.h"

ElevationStep NextElevationStep(int32_t versionCode, int32_t elevationType, int imageHeld,
                                int relaunched) {
  if (relaunched == 1) return ElevationStep::EndQuietly;
  if (relaunched != kNotRelaunched) return ElevationStep::ShowRefusal;
  const bool splitAdministrator =
      versionCode >= kWindowsVista && elevationType == kElevationTypeLimited;
  return splitAdministrator && imageHeld ? ElevationStep::Relaunch : ElevationStep::ShowRefusal;
}
