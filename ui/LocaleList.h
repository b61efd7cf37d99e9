// LocaleList: the options page's list of input languages, filled from the
// locales installed in the system that have a keyboard layout loaded, plus the
// language already chosen. The system's enumeration callback takes no context,
// so its state is one module-wide record, used by that page alone.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"

struct LocaleListState {
  HKL* layouts;          // owned (AllocateBlock): the layouts loaded in the system
  int32_t layoutCount;
  WChar* nameBuffer;     // owned: one locale name at a time, during a fill only
  int32_t nameCapacity;  // characters
  HWND list;             // the combo box being filled (not owned)
  uint16_t selected;     // the language to select: the target language
  // Display name of `selected`, set only when a fill meets it: otherwise it
  // keeps the name of an earlier fill (empty at program start).
  WString selectedName;
};

// Frees both buffers and sets both counts to 0 (the page's constructor).
void ReleaseLocaleBuffers();
// Frees both buffers and forgets the list and the selection (the page's
// destructor); `selectedName` is kept for the next build of the page.
void ForgetLocaleList();

// Empties `list` and adds, sorted by the box, the name of every installed
// locale that is listed (setup/rules/LocaleListing.h), each with its locale id
// as item data, and selects the first item of language `selected`.
// 1 = filled (with or without a selection); 0 = no list, no layouts loaded, or
// the enumeration could not run (the items added before stay).
int FillLocaleList(HWND list, uint16_t selected);

// The display name of the selected language from the last fill that met it.
const WString& SelectedLocaleName();
