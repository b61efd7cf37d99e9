#pragma once
// What a run without an administrator's rights does: on Windows Vista and
// later the limited half of an administrator's split token can have the full
// one for the asking (the consent prompt); everyone else gets the message that
// an administrator must run the program.

#include <stdint.h>

// TOKEN_ELEVATION_TYPE of a limited token (TokenElevationTypeLimited); systems
// before Vista report no elevation type at all (0).
constexpr int32_t kElevationTypeLimited = 3;
// The relaunch not tried yet.
constexpr int kNotRelaunched = -1;

enum class ElevationStep {
  ShowRefusal,  // the message for users without the right
  Relaunch,     // start the program's own image again with the "runas" verb
  EndQuietly,   // the elevated copy runs: this one ends, exit code 0
};

// `imageHeld`: the running image is held open and its path is known, so that
// the file started is the one running. `relaunched`: kNotRelaunched before the
// relaunch, then 1 when the elevated copy started, 0 when the user declined the
// prompt or the start failed.
ElevationStep NextElevationStep(int32_t versionCode, int32_t elevationType, int imageHeld,
                                int relaunched);
