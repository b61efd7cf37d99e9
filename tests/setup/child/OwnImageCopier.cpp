// A program the own-image tests start, also as a signed copy: it opens its own
// file as setup.exe does and copies it to the path its first argument names.
// Exit code: 0 copied; 1 its file was not taken for the running image; 2 the
// copy failed; 3 no target or no own path.

#include <windows.h>

#include "setup/OwnImage.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 3;
  WString path;
  if (!GetOwnImagePath(path)) return 3;
  HANDLE image = OpenOwnImage(path.WideAt(0), GetModuleHandleW(nullptr));
  if (image == nullptr) return 1;
  const int copied = CopyOwnImage(image, argv[1]);
  CloseHandle(image);
  return copied ? 0 : 2;
}
