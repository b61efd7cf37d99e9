// What the options page shows for a system and a mode: which controls are
// visible, how the boxes are ticked, and the desktop-shortcut setting it forces.
#pragma once

#include <stdint.h>

// The page's controls as one decision; each field 0 or 1.
struct OptionsLayout {
  // The language label, the language list and the default-language box.
  int32_t languageShown;
  int32_t defaultLanguageTicked;
  int32_t finalStepShown;
  int32_t finalStepTicked;
  int32_t placementShown;
  int32_t placementTicked;
  // The desktop-shortcut setting once the page is built: forced on from
  // Windows 8, where the box is hidden; the caller stores it back.
  int32_t placementOption;
};

// The language controls need Windows Vista (60) or later and a full install;
// update-only mode keeps only the variant and decimal-key lists; from Windows
// 8 (62) desktop shortcuts are always made. A hidden box shows unticked and
// leaves its setting as it was, apart from the forced placement.
OptionsLayout LayOutOptions(int32_t versionCode, int32_t updateOnly, int32_t defaultLanguageFlag,
                            int32_t finalStepOption, int32_t placementOption);
