// PrivateScript: a script file for a system command that no other process can
// plant, redirect, replace or remove from its creation until it is removed.
#pragma once

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"

// The folder, the file and the handle that pins the file. Owned by one caller,
// who ends it with RemovePrivateScript.
struct PrivateScript {
  WString folder;     // made for this script; administrators and the system only
  WString path;       // the script file in it
  HANDLE file = nullptr;  // open for reading, sharing reads only; null when none
};

// Makes a new folder under `parent` (an existing folder) named `prefix`, this
// process's id and a counter, never taking a name that already exists, with
// access for administrators and the system only; creates the script in it
// exclusively, writes `bytes` through the handle that created it, then holds
// it open for reading only, sharing nothing but reads, after checking that it
// is still the file written. 1 = `script` is ready for the command; 0 = nothing
// is left behind and `script` is empty.
int CreatePrivateScript(const WChar* parent, const WChar* prefix, const uint8_t* bytes,
                        uint32_t count, PrivateScript& script);

// Lets go of the file, then deletes it and its folder (each at the next
// restart when it cannot go now; one already gone is done, IsAlreadyGone).
// Harmless on an empty script.
void RemovePrivateScript(PrivateScript& script);

// Has the system delete the file, then its folder, when Windows next starts,
// holding on to it meanwhile: for a script a command may go on reading after its
// own process has ended (the control panel may hand it to another process).
// Scheduled before the command runs, so that a process ended at any point
// leaves nothing after the restart. Only administrators and the system can
// change the folder meanwhile. Harmless on an empty script.
void KeepPrivateScriptUntilRestart(const PrivateScript& script);

// Lets go of a script kept until the restart; the file stays. Harmless on an
// empty script.
void ReleasePrivateScript(PrivateScript& script);
