// Privileges: what the process's token allows, asked of the system: membership
// of the Administrators group, and the right to restart the machine.
#pragma once

// 1 when the process token is in the Administrators group (under user account
// control, only when the program was started elevated); 0 otherwise, or when
// the group's identifier cannot be made or the membership cannot be asked.
int IsProcessAdministrator();

// 1 when SeShutdownPrivilege is enabled in the process token; 0 when the token
// cannot be opened or the privilege is not held (ERROR_NOT_ALL_ASSIGNED).
int EnableShutdownPrivilege();
