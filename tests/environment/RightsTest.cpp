// Administrator rights and the restart's privilege step under Wine, where every
// program runs as a member of Administrators. The restart itself is never asked
// for here: it would end the Wine session every test shares.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/Privileges.h"

namespace {

// Whether the privilege is enabled in this process's token, read back apart
// from the code that enables it.
bool ShutdownPrivilegeEnabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  LUID shutdown = {};
  bool enabled = false;
  PRIVILEGE_SET query = {};
  query.PrivilegeCount = 1;
  query.Control = PRIVILEGE_SET_ALL_NECESSARY;
  if (LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &shutdown)) {
    query.Privilege[0].Luid = shutdown;
    BOOL result = FALSE;
    enabled = PrivilegeCheck(token, &query, &result) && result;
  }
  CloseHandle(token);
  return enabled;
}

TEST(Rights, WineRunsUsAsAnAdministrator) {
  InstallerApp app;
  EXPECT_EQ(1, app.checkAdministrator());
}

TEST(Rights, ThisUsersOwnDesktopIsNotRefused) {
  InstallerApp app;
  ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
  ASSERT_EQ(1, app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId));
  // Wine serves no desktop user SID: the desktop names nobody else, so every
  // emulated version, XP and 2000 included, goes on.
  EXPECT_NE(kDesktopUserOther, ThreadDesktopUser());
  EXPECT_EQ(1, app.checkDesktopUser());
}

TEST(Rights, ShutdownPrivilegeIsEnabledBeforeARestart) {
  ASSERT_EQ(1, EnableShutdownPrivilege());
  EXPECT_TRUE(ShutdownPrivilegeEnabled());
  // Enabling it twice is no failure.
  EXPECT_EQ(1, EnableShutdownPrivilege());
}

}  // namespace
