// Privileges: what the process's token allows, asked of the system: membership
// of the Administrators group, the right to restart the machine, and whether
// the desktop the program runs on is its user's.
#pragma once

#include "setup/rules/SystemSupport.h"

// 1 when the process token is in the Administrators group (under user account
// control, only when the program was started elevated); 0 otherwise, or when
// the group's identifier cannot be made or the membership cannot be asked.
int IsProcessAdministrator();

// The process token's TOKEN_ELEVATION_TYPE (1 default, 2 full, 3 limited), or
// 0 where the system knows no elevation (before Windows Vista) or the token
// cannot be asked.
int32_t TokenElevationKind();

// 1 when SeShutdownPrivilege is enabled in the process token; 0 when the token
// cannot be opened or the privilege is not held (ERROR_NOT_ALL_ASSIGNED).
int EnableShutdownPrivilege();

// Whose the calling thread's desktop is (UOI_USER_SID, which Windows answers
// from the desktop's window station), against the process token:
// kDesktopUserOurs when that SID is the token's user or one of its logon-session
// SIDs (Windows names a window station by either), kDesktopUserOther for any
// other SID or when the token cannot be read to compare, and kDesktopUserUnknown
// when no user is named or the query is not served (Wine).
DesktopUser ThreadDesktopUser();
