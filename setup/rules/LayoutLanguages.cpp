// The languages under which the user has the layout loaded.

#include "setup/rules/LayoutLanguages.h"

namespace {

bool Contains(const uint16_t* list, int32_t count, uint16_t language) {
  for (int32_t i = 0; i < count; ++i) {
    if (list[i] == language) return true;
  }
  return false;
}

}  // namespace

int32_t LanguagesWithLayout(const uint32_t* handles, int32_t count, uint16_t layoutId,
                            uint16_t first, uint16_t* out, int32_t capacity) {
  if (out == nullptr || capacity <= 0) return 0;
  int32_t written = 0;
  out[written++] = first;
  if (handles == nullptr) return written;
  const uint32_t ours = kLayoutIdHandleBits | (layoutId & 0x0FFFu);
  for (int32_t i = 0; i < count && written < capacity; ++i) {
    if ((handles[i] >> 16) != ours) continue;
    const uint16_t language = static_cast<uint16_t>(handles[i] & 0xFFFFu);
    if (!Contains(out, written, language)) out[written++] = language;
  }
  return written;
}
