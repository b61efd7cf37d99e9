// The languages a removal names: the layout's own first, then every language
// whose loaded layout carries the Layout Id in its handle's high word.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "setup/rules/LayoutLanguages.h"

namespace {

std::vector<uint16_t> Languages(const std::vector<uint32_t>& handles, int32_t capacity = 16) {
  std::vector<uint16_t> out(static_cast<size_t>(capacity));
  const int32_t n = LanguagesWithLayout(handles.data(), static_cast<int32_t>(handles.size()),
                                        0x0a15, 0x0415, out.data(), capacity);
  out.resize(static_cast<size_t>(n));
  return out;
}

TEST(LayoutLanguages, OwnLanguageFirstThenEveryLanguageThatHasTheLayout) {
  using V = std::vector<uint16_t>;
  EXPECT_EQ(V({0x0415}), Languages({}));
  EXPECT_EQ(V({0x0415}), Languages({0x04090409, 0x04150415, 0xF0010415}));
  // Polish (by its own language) and German, each once, in list order; other
  // layouts with an id (F001) and ids in the low word do not count.
  EXPECT_EQ(V({0x0415, 0x0407}),
            Languages({0xFA150407, 0x04090409, 0xFA150415, 0xFA150407, 0xF0010409, 0x0A150409}));
  EXPECT_EQ(V({0x0415, 0x0409}), Languages({0xFA150409, 0xFA150407}, 2));
  uint16_t one = 0;
  EXPECT_EQ(0, LanguagesWithLayout(nullptr, 0, 0x0a15, 0x0415, &one, 0));
}

}  // namespace
