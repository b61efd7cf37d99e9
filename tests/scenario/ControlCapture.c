/* control_capture: stands in for the system's control.exe inside a scenario prefix.
   Every start leaves a record in C:\kestrel-capture: call-NNN.txt with the command
   line, and for a command that names a script (/f:"file"), the script's path, a copy
   of its bytes (call-NNN.script) and whether this process, another one than the
   script's owner, could open the script for writing or for deleting while it ran,
   and whether the script was still there two seconds later.
   It ends at once and changes nothing else. */
#include <windows.h>

#define CAPTURE_FOLDER L"C:\\kestrel-capture"

/* Appends UTF-8 of a wide text to an open file. */
static void WriteWide(HANDLE file, const wchar_t* text, int length) {
  char buffer[4096];
  DWORD written = 0;
  int bytes;
  if (length < 0) length = lstrlenW(text);
  if (length == 0) return;
  bytes = WideCharToMultiByte(CP_UTF8, 0, text, length, buffer, sizeof buffer, NULL, NULL);
  /* result ignored: the runner reports a record it cannot read */
  if (bytes > 0) WriteFile(file, buffer, (DWORD)bytes, &written, NULL);
}

static void WriteLine(HANDLE file, const wchar_t* name, const wchar_t* value, int length) {
  WriteWide(file, name, -1);
  WriteWide(file, L"\t", 1);
  WriteWide(file, value, length);
  WriteWide(file, L"\r\n", 2);
}

/* 1 = another process could open `path` with `access` now (the handle is closed again). */
static int CanOpen(const wchar_t* path, DWORD access) {
  HANDLE h = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (h == INVALID_HANDLE_VALUE) return 0;
  CloseHandle(h);
  return 1;
}

/* How long to wait before looking for the script again: 2000 ms unless the
   runner's environment says otherwise. */
static DWORD HoldMilliseconds(void) {
  wchar_t value[16];
  DWORD length = GetEnvironmentVariableW(L"KESTREL_CAPTURE_HOLD_MS", value, 16);
  DWORD ms = 0;
  DWORD i;
  if (length == 0 || length >= 16) return 2000;
  for (i = 0; i < length && value[i] >= L'0' && value[i] <= L'9'; ++i) ms = ms * 10 + (value[i] - L'0');
  return ms;
}

/* Copies the script's bytes to `copyPath`; 1 = copied. */
static int CopyScript(const wchar_t* path, const wchar_t* copyPath) {
  static char bytes[1 << 16];
  DWORD count = 0, written = 0;
  int copied = 0;
  HANDLE in = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (in == INVALID_HANDLE_VALUE) return 0;
  if (ReadFile(in, bytes, sizeof bytes, &count, NULL)) {
    HANDLE out = CreateFileW(copyPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
    if (out != INVALID_HANDLE_VALUE) {
      copied = count == 0 || (WriteFile(out, bytes, count, &written, NULL) && written == count);
      CloseHandle(out);
    }
  }
  CloseHandle(in);
  return copied;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, wchar_t* arguments, int show) {
  wchar_t record[MAX_PATH], copy[MAX_PATH], script[MAX_PATH];
  const wchar_t* line = GetCommandLineW();
  const wchar_t* option;
  HANDLE file = INVALID_HANDLE_VALUE;
  int n;
  (void)instance, (void)previous, (void)arguments, (void)show;

  /* result ignored: it exists after the first call */
  CreateDirectoryW(CAPTURE_FOLDER, NULL);
  /* The first free number: parallel starts never share a record. */
  for (n = 1; n < 1000 && file == INVALID_HANDLE_VALUE; ++n) {
    wsprintfW(record, CAPTURE_FOLDER L"\\call-%03d.txt", n);
    file = CreateFileW(record, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
  }
  if (file == INVALID_HANDLE_VALUE) return 1;
  --n;
  WriteLine(file, L"command", line, -1);

  option = wcsstr(line, L"/f:");
  if (option != NULL) {
    const wchar_t* start = option + 3;
    const wchar_t* end;
    int length;
    if (*start == L'"') ++start;
    end = start;
    while (*end != 0 && *end != L'"') ++end;
    length = (int)(end - start);
    if (length <= 0 || length >= MAX_PATH) length = 0;
    lstrcpynW(script, start, length + 1);
    WriteLine(file, L"script", script, length);
    wsprintfW(copy, CAPTURE_FOLDER L"\\call-%03d.script", n);
    WriteLine(file, L"copied", CopyScript(script, copy) ? L"1" : L"0", 1);
    WriteLine(file, L"writable", CanOpen(script, GENERIC_WRITE) ? L"1" : L"0", 1);
    WriteLine(file, L"deletable", CanOpen(script, DELETE) ? L"1" : L"0", 1);
    /* Longer than setup ever waited before it removed a script: the script must
       outlive the command that reads it (KESTREL_CAPTURE_HOLD_MS: another wait). */
    Sleep(HoldMilliseconds());
    WriteLine(file, L"kept", GetFileAttributesW(script) != INVALID_FILE_ATTRIBUTES ? L"1" : L"0", 1);
  }
  CloseHandle(file);
  return 0;
}
