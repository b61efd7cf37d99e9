// The support matrix and the layout-image slots over every version code and
// architecture, including IA-64, which no emulator offers.
#include <gtest/gtest.h>

#include <stdint.h>

#include "setup/rules/SystemSupport.h"

namespace {

struct SystemCase {
  int32_t version;
  uint16_t architecture;
  int supported;
  int32_t slot32;  // kNoImageSlot with slot64 when no images are chosen
  int32_t slot64;
};

constexpr int32_t kNone = kNoImageSlot;

// Every version the installer knows, on each architecture it might report.
// 64-bit Windows takes the WOW64 image (slot 13) for its 32-bit folder.
const SystemCase kSupportedSystems[] = {
    {50, 0, 1, 0, kNone},  {51, 0, 1, 1, kNone},  {52, 0, 1, 2, kNone}, {52, 6, 1, 13, 3},
    {52, 9, 1, 13, 4},     {60, 0, 1, 5, kNone},  {60, 6, 1, 13, 6},    {60, 9, 1, 13, 7},
    {61, 0, 1, 8, kNone},  {61, 6, 1, 13, 9},     {61, 9, 1, 13, 10},   {62, 0, 1, 11, kNone},
    {62, 9, 1, 13, 12},
};

TEST(SystemSupport, EverySupportedSystemHasItsImages) {
  for (const SystemCase& c : kSupportedSystems) {
    SCOPED_TRACE(testing::Message() << c.version << "/" << c.architecture);
    EXPECT_EQ(1, IsSupportedSystem(c.version, c.architecture));
    int32_t slot32 = 99, slot64 = 99;
    ASSERT_EQ(1, ChooseLayoutImageSlots(c.version, c.architecture, &slot32, &slot64));
    EXPECT_EQ(c.slot32, slot32);
    EXPECT_EQ(c.slot64, slot64);
  }
}

TEST(SystemSupport, SixtyFourBitWindowsOnXpOrOlderIsRefused) {
  // 64-bit XP reports 5.2; 5.0 or 5.1 with a 64-bit architecture is no real system.
  for (int32_t version : {50, 51}) {
    EXPECT_EQ(0, IsSupportedSystem(version, kArchitectureIa64)) << version;
    EXPECT_EQ(0, IsSupportedSystem(version, kArchitectureX64)) << version;
  }
}

TEST(SystemSupport, XpOrOlderTakesItsOneImageOnAnyArchitecture) {
  for (uint16_t architecture : {kArchitectureIa64, kArchitectureX64}) {
    int32_t slot32 = 99, slot64 = 99;
    ASSERT_EQ(1, ChooseLayoutImageSlots(51, architecture, &slot32, &slot64));
    EXPECT_EQ(1, slot32);
    EXPECT_EQ(kNone, slot64);
  }
}

TEST(SystemSupport, WindowsEightOnIa64HasNoImageAndIsRefused) {
  int32_t slot32 = 99, slot64 = 99;
  EXPECT_EQ(0, ChooseLayoutImageSlots(62, kArchitectureIa64, &slot32, &slot64));
  EXPECT_EQ(kNone, slot32);
  EXPECT_EQ(kNone, slot64);
  EXPECT_EQ(0, IsSupportedSystem(62, kArchitectureIa64));
}

TEST(SystemSupport, UnknownVersionsAndArchitecturesAreRefused) {
  const int32_t versions[] = {0, 40, 49, 53, 55, 59, 63, 64, 100, -1, 0x7FFFFFFF};
  for (int32_t version : versions) {
    for (uint16_t architecture : {0, 6, 9}) {
      int32_t slot32 = 99, slot64 = 99;
      EXPECT_EQ(0, IsSupportedSystem(version, architecture)) << version;
      EXPECT_EQ(0, ChooseLayoutImageSlots(version, architecture, &slot32, &slot64)) << version;
      EXPECT_EQ(kNone, slot32);
      EXPECT_EQ(kNone, slot64);
    }
  }
  // ARM (5), ARM64 (12), x86 on Win64 (10) and "not probed yet" (0xFFFF).
  for (uint16_t architecture : {1, 5, 10, 12, 0xFFFF}) {
    for (int32_t version : {50, 51, 52, 60, 61, 62}) {
      int32_t slot32 = 99, slot64 = 99;
      EXPECT_EQ(0, IsSupportedSystem(version, architecture)) << version << "/" << architecture;
      EXPECT_EQ(0, ChooseLayoutImageSlots(version, architecture, &slot32, &slot64));
      EXPECT_EQ(kNone, slot32);
    }
  }
}

TEST(SystemSupport, ImageSlotsStayInsideTheImageTable) {
  for (int32_t version = 0; version < 100; ++version) {
    for (uint16_t architecture = 0; architecture < 16; ++architecture) {
      int32_t slot32 = 99, slot64 = 99;
      if (!ChooseLayoutImageSlots(version, architecture, &slot32, &slot64)) continue;
      EXPECT_GE(slot32, 0);
      EXPECT_LT(slot32, kImageSlotsPerVariant);
      EXPECT_LT(slot64, kImageSlotsPerVariant);
      EXPECT_NE(slot32, slot64);
    }
  }
}

TEST(SystemSupport, OnlyAnotherUsersDesktopBeforeVistaIsRefused) {
  const struct {
    int32_t version;
    DesktopUser user;
    int expected;
  } cases[] = {
      {50, kDesktopUserOther, 0}, {51, kDesktopUserOther, 0}, {52, kDesktopUserOther, 0},
      {51, kDesktopUserOurs, 1},  {51, kDesktopUserUnknown, 1}, {50, kDesktopUserOurs, 1},
      // UIPI keeps other programs' input away from the elevated wizard.
      {60, kDesktopUserOther, 1}, {62, kDesktopUserOther, 1}, {61, kDesktopUserOurs, 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, MayRunOnDesktop(c.version, c.user))
        << "version " << c.version << ", user " << c.user;
  }
}

TEST(VersionCode, MajorTimesTenPlusMinor) {
  EXPECT_EQ(50, VersionCodeOf(5, 0));
  EXPECT_EQ(52, VersionCodeOf(5, 2));
  EXPECT_EQ(62, VersionCodeOf(6, 2));
  EXPECT_EQ(100, VersionCodeOf(10, 0));
  EXPECT_EQ(0, VersionCodeOf(0, 0));
}

TEST(VersionCode, NumbersThatFormNoCodeGiveZero) {
  // 6.10 must not pass for 7.0, nor a huge major wrap into a supported code.
  EXPECT_EQ(0, VersionCodeOf(6, 10));
  EXPECT_EQ(0, VersionCodeOf(0xFFFFFFFFu, 0));
  EXPECT_EQ(0, VersionCodeOf(2147483653u, 2));  // * 10 + 2 wraps to 52 in 32 bits
  EXPECT_EQ(0, IsSupportedSystem(VersionCodeOf(2147483653u, 2), kArchitectureX86));
}

}  // namespace
