// The first step of a restart request: the shutdown privilege enabled in this
// process's token, apart from the request so that it can be tested alone.
#pragma once

// 1 when SeShutdownPrivilege is enabled in the process token; 0 when the token
// cannot be opened or the privilege is not held (ERROR_NOT_ALL_ASSIGNED).
int EnableShutdownPrivilege();
