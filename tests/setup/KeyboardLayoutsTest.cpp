// The user's loaded keyboard layouts and the active layout's name, as the
// system reports them.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>

#include "setup/KeyboardLayouts.h"
#include "setup/SystemGuards.h"
#include "tests/setup/SystemTestSupport.h"

namespace {

TEST(KeyboardLayouts, TheActiveLayoutIsAmongTheLoadedOnes) {
  int32_t count = -1;
  BlockGuard list(LoadedKeyboardLayouts(count));
  ASSERT_NE(nullptr, list.get());
  ASSERT_GT(count, 0);
  const uint32_t* handles = static_cast<const uint32_t*>(list.get());
  const uint32_t active = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetKeyboardLayout(0)));
  bool found = false;
  for (int32_t i = 0; i < count; ++i) found = found || handles[i] == active;
  EXPECT_TRUE(found);
  WString name;
  ASSERT_EQ(1, ActiveKeyboardLayoutName(name));
  const std::wstring text = Wide(name);
  EXPECT_EQ(8u, text.size());
  EXPECT_EQ(std::wstring::npos, text.find_first_not_of(L"0123456789abcdefABCDEF")) << text;
}

}  // namespace
