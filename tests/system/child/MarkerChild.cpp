// A small program the process tests start: it writes its first argument's file
// (a marker that it ran), then sleeps for the milliseconds its second gives.

#include <windows.h>

#include <stdlib.h>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  HANDLE file = CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, "ran", 3, &written, nullptr);
  CloseHandle(file);
  if (argc >= 3) Sleep(static_cast<DWORD>(wcstoul(argv[2], nullptr, 10)));
  return 0;
}
