// The computed half of the program's path texts, composed from the shell
// folders, the product's names and the program's own command-line path.
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

// What the paths are made of. Each text may be narrow or wide; an empty text
// (a failed folder query, a missing string) gives an empty part.
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
  // The command line's first element, or null when the command line gave none.
  const WChar* ownPath;
};

// The part of `path` after its last backslash (all of it without one; a
// forward slash is not a separator here), as wide text into `out`.
int OwnFileName(const WChar* path, WString& out);

// Fills slots 2 to 5, the odd slots 7 to 29, and from `ownPath` slots 30, 31,
// 33 and 35 of `paths` (kProgramPathSlots texts), all wide. 1 = every slot
// filled; 0 = ownPath is null (slots 30, 31, 33, 35 are left empty) or a text
// could not be built (a malformed text or format string).
int ComposeProgramPaths(const ProgramPathFacts& facts, WString* paths);
