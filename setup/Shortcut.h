// Shortcut: shell link files made through the shell's link object.
#pragma once

#include "text/WChar.h"

// Saves a link at `linkFile` to `target` with `description` (may be null) and
// the icon at index `iconIndex` of `iconPath` (null: the target's own icon);
// `runAsAdministrator` sets the link's "Run as administrator" flag (for Windows
// Vista and later only: Windows XP reads the same flag as "Run with different
// credentials" and asks for another account every time). A flag the link
// object refuses leaves a working link. COM must be initialised for the thread. 1 = the link file was saved;
// 0 = an empty target or link path, no link object, the target refused, a
// reparse point, folder or hard link at `linkFile` (IsPlainFileOrFree), or the
// save failed (each failed call reported with its HRESULT).
int CreateShortcut(const WChar* target, const WChar* linkFile, const WChar* description,
                   const WChar* iconPath, int iconIndex, bool runAsAdministrator = false);
