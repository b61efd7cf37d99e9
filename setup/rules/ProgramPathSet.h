// The computed half of the program's path texts, composed from the shell
// folders, the product's names and the path of the program's own image.
#pragma once

#include <stdint.h>

#include "text/WChar.h"
#include "text/WString.h"

// Path slots this composition fills; the others belong to the earlier
// installation's record and to the options page.
constexpr int32_t kProgramPathSlots = 36;
constexpr int32_t kProgramParentSlot = 2;
constexpr int32_t kProgramFolderSlot = 3;
constexpr int32_t kMenuParentSlot = 4;
constexpr int32_t kMenuFolderSlot = 5;
constexpr int32_t kOwnPathSlot = 30;
constexpr int32_t kSetupLinkTextSlot = 31;
constexpr int32_t kSetupCopySlot = 33;
constexpr int32_t kSetupCopyLinkSlot = 35;

// The record items: each is a pair of slots, the path the earlier record names
// (stored: the even slot given here) and the one this run makes (planned: the
// next slot). PlannedSlot gives the second.
constexpr int32_t kGuideItem = 6;
constexpr int32_t kGuideMenuLinkItem = 8;
constexpr int32_t kGuideDesktopLinkItem = 10;
constexpr int32_t kChartItem = 12;
constexpr int32_t kChartMenuLinkItem = 14;
constexpr int32_t kChartDesktopLinkItem = 16;
constexpr int32_t kReadMeItem = 18;
constexpr int32_t kReadMeMenuLinkItem = 20;
constexpr int32_t kReadMeDesktopLinkItem = 22;
constexpr int32_t kWebLinkMenuItem = 24;
constexpr int32_t kWebLinkDesktopItem = 26;
constexpr int32_t kWebLinkIconItem = 28;
constexpr int32_t kSetupCopyItem = 32;
constexpr int32_t kSetupCopyLinkItem = 34;
constexpr int32_t PlannedSlot(int32_t item) { return item + 1; }
// The language and layout the user had before the first installation (not a path).
constexpr int32_t kPreviousInputTextSlot = 1;

// What the paths are made of. Each text may be narrow or wide; a missing
// string gives an empty part. The three shell folders must not be empty.
struct ProgramPathFacts {
  const WString* programFiles;       // shell folder: program files
  const WString* commonPrograms;     // shell folder: common Start-menu programs
  const WString* commonDesktop;      // shell folder: common desktop
  const WString* vendorFolder;       // under program files and common programs
  const WString* productFolder;      // under the vendor folder
  const WString* guideName;          // first document: "guideName (guideQualifier)"
  const WString* guideQualifier;
  const WString* chartName;          // second document's base name
  const WString* documentExtension;  // both documents
  const WString* shortcutExtension;  // every shortcut
  const WString* textFileExtension;  // the read-me
  const WString* webLinkExtension;   // the two web links
  const WString* setupLinkFormat;    // format of the setup-copy shortcut's name, one %s
  const WString* webLinkName;
  const WString* readMeName;
  const WString* webLinkIcon;        // icon file of the web links
  const WString* layoutDisplayName;  // the %s of setupLinkFormat
  // The full path of the running program's image, or null when it is unknown.
  const WChar* ownPath;
};

// The part of `path` after its last backslash or slash, as wide text into
// `out`. 1 = a plain file name; 0 = `out` empty: no path, an empty name, or a
// name with ":" (a stream or a drive) or ".." that would lead the program's copy
// out of its folder.
int OwnFileName(const WChar* path, WString& out);

// Fills slots 2 to 5, the odd slots 7 to 29, and from `ownPath` slots 30, 31,
// 33 and 35 of `paths` (kProgramPathSlots texts), all wide. 1 = every slot
// filled. 0 = a shell folder is empty (nothing is filled: the paths would
// otherwise start at the root of whatever drive is current), `ownPath` is
// null or has no usable file name (slots 30, 31, 33, 35 are left empty), or a
// text could not be built (a malformed text or format string).
int ComposeProgramPaths(const ProgramPathFacts& facts, WString* paths);
