// A small program the process tests start. It writes its first argument's file
// (a marker: "ran", its current folder, and what it could do to the file its
// third argument names), then sleeps for the milliseconds its second gives.

#include <windows.h>

#include <stdlib.h>
#include <wchar.h>

namespace {

// Tries what an unelevated process would do to a script it wants to replace:
// write it, delete it, rename it; then reads it as the command would.
void TryToReplace(const wchar_t* path, wchar_t* report, size_t room) {
  HANDLE writer = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  const bool wrote = writer != INVALID_HANDLE_VALUE;
  if (wrote) CloseHandle(writer);
  const bool deleted = DeleteFileW(path) != 0;
  wchar_t moved[MAX_PATH + 8];
  swprintf(moved, MAX_PATH + 8, L"%ls.moved", path);
  const bool renamed = MoveFileW(path, moved) != 0;
  char content[64] = {};
  DWORD got = 0;
  HANDLE reader = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  const bool read = reader != INVALID_HANDLE_VALUE &&
                    ReadFile(reader, content, sizeof(content) - 1, &got, nullptr);
  if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
  swprintf(report, room, L"write=%d delete=%d rename=%d read=%d:%hs", wrote, deleted, renamed,
           read, content);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  wchar_t text[2 * MAX_PATH + 256] = L"ran\n";
  wchar_t* end = text + wcslen(text);
  end += GetCurrentDirectoryW(MAX_PATH, end);
  if (argc >= 4) {
    *end++ = L'\n';
    TryToReplace(argv[3], end, text + sizeof(text) / sizeof(text[0]) - end);
  }
  char bytes[sizeof(text)] = {};
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof(bytes), nullptr, nullptr);
  // Written beside the marker and then renamed, so a reader never sees half of it.
  wchar_t part[MAX_PATH + 8];
  swprintf(part, MAX_PATH + 8, L"%ls.part", argv[1]);
  HANDLE file = CreateFileW(part, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 3;
  DWORD written = 0;
  WriteFile(file, bytes, length > 0 ? static_cast<DWORD>(length - 1) : 0, &written, nullptr);
  CloseHandle(file);
  if (!MoveFileExW(part, argv[1], MOVEFILE_REPLACE_EXISTING)) return 4;
  if (argc >= 3) Sleep(static_cast<DWORD>(wcstoul(argv[2], nullptr, 10)));
  return 0;
}
