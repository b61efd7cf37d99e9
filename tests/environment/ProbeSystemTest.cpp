// The version and architecture probe under every emulated Windows version, in
// the 32-bit prefix (x86) and the 64-bit one (a 32-bit process on x64).
#include <gtest/gtest.h>

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "tests/environment/EnvironmentExpectations.h"
#include "tests/support/ProcessBits.h"

namespace {

class ProbeSystem : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
    expectedVersion = ExpectedNumber("KESTREL_EXPECT_VERSION");
    expectedArchitecture = ExpectedNumber("KESTREL_EXPECT_ARCH");
    ASSERT_NE(-1, expectedVersion) << "run through scripts/wine-run.sh --version";
    ASSERT_NE(-1, expectedArchitecture);
  }
  InstallerApp app;
  int expectedVersion = -1;
  int expectedArchitecture = -1;
};

TEST_F(ProbeSystem, ReportsTheEmulatedVersionAndTheNativeArchitecture) {
  ASSERT_EQ(1, app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId));
  EXPECT_EQ(expectedVersion, app.getVersionCode());
  EXPECT_EQ(expectedArchitecture, app.getProcessorArchitecture());
  EXPECT_EQ(expectedArchitecture == 9 ? 1 : 0, app.getIs64BitSystem());
  // Every system of the test matrix is one the installer serves.
  EXPECT_EQ(1, app.isSupportedSystem());
}

TEST_F(ProbeSystem, WithoutTheNativeProcedureTheEmulatedViewIsUsed) {
  SKIP_UNLESS_32_BIT_PROCESS();
  // An id no table holds: no procedure, so GetSystemInfo answers, which shows
  // a 32-bit process x86 even on 64-bit Windows.
  ASSERT_EQ(1, app.probeSystem(0xFFFFFF00u, kNativeSystemInfoLibraryId));
  EXPECT_EQ(expectedVersion, app.getVersionCode());
  EXPECT_EQ(0, app.getProcessorArchitecture());
  EXPECT_EQ(0, app.getIs64BitSystem());
}

TEST_F(ProbeSystem, ProbingAgainGivesTheSameFacts) {
  ASSERT_EQ(1, app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId));
  ASSERT_EQ(1, app.probeSystem(0xFFFFFF00u, kNativeSystemInfoLibraryId));
  ASSERT_EQ(1, app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId));
  EXPECT_EQ(expectedArchitecture, app.getProcessorArchitecture());
  EXPECT_EQ(expectedArchitecture == 9 ? 1 : 0, app.getIs64BitSystem());
}

TEST(UnprobedSystem, IsNotSupported) {
  InstallerApp app;
  EXPECT_EQ(0, app.isSupportedSystem());
}

}  // namespace
