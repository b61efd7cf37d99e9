// libFuzzer target: arbitrary bytes as UTF-8 through WString's decoder, the
// round trip back to UTF-8, search, comparison and upper-casing.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "text/WString.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  const char* bytes = reinterpret_cast<const char*>(data);
  int32_t count = static_cast<int32_t>(size);

  WString wide;
  wide.AssignWide(WTEXT("prefix"), -1);
  int decoded = wide.AppendNarrowText(bytes, count, 0);
  if (!decoded) {
    // A refused text leaves the string exactly as it was.
    if (wide.CompareWide(WTEXT("prefix"), -1) != 0) __builtin_trap();
    return 0;
  }

  // Decoding, encoding and decoding again gives the same units.
  WString copy;
  copy.Assign(&wide);
  if (copy.ToNarrow(-1) == nullptr) __builtin_trap();
  if (copy.ToWide(-1) == nullptr) __builtin_trap();
  if (copy.CompareWide(wide.WideAt(0), wide.Length()) != 0) __builtin_trap();

  // The original bytes are found in the decoded text right after the prefix.
  if (count > 0 && wide.FindNarrow(bytes, 6, count) != 6) {
    // Overlong forms decode to shorter text, so a miss is allowed only for them.
    WString reencoded;
    reencoded.AssignWide(wide.WideAt(6), wide.Length() - 6);
    reencoded.ToNarrow(-1);
    if (reencoded.Length() == count && memcmp(reencoded.NarrowAt(0), bytes, size) == 0) {
      __builtin_trap();
    }
  }

  WString narrow;
  narrow.AssignNarrow(bytes, count, -1);
  if (!narrow.ToUpper()) __builtin_trap();  // the text decoded above, so this must too
  narrow.FindLastChar(WChar(0x00E9), 0);
  narrow.DebugDump(0);
  return 0;
}
