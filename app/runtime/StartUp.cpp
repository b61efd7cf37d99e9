// The entry point of setup.exe, which links without the C runtime: runs the
// static constructors, wWinMain, then the functions registered with atexit.

#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR commandLine, int show);

// The constructors' table the linker gathers from .ctors: a count (or -1), the
// constructors, a zero. GCC runs them from the last to the first.
extern "C" void (*__CTOR_LIST__[])();

// The TLS directory the C runtime would bring: the program has no thread-local
// data, but its TLS callbacks (.CRT$XLB..Y, between the two markers here) must
// run before the entry point. The linker points the image's TLS directory
// entry at _tls_used.
extern "C" {
ULONG _tls_index = 0;
__attribute__((section(".tls"), used)) char _tls_start = 0;
__attribute__((section(".tls$ZZZ"), used)) char _tls_end = 0;
__attribute__((section(".CRT$XLA"), used)) PIMAGE_TLS_CALLBACK __xl_a = nullptr;
__attribute__((section(".CRT$XLZ"), used)) PIMAGE_TLS_CALLBACK __xl_z = nullptr;
extern const IMAGE_TLS_DIRECTORY _tls_used;
__attribute__((used)) const IMAGE_TLS_DIRECTORY _tls_used = {
    reinterpret_cast<ULONG_PTR>(&_tls_start + 1), reinterpret_cast<ULONG_PTR>(&_tls_end),
    reinterpret_cast<ULONG_PTR>(&_tls_index), reinterpret_cast<ULONG_PTR>(&__xl_a + 1), 0, 0};
}

namespace {

// GCC registers the destructors of static objects with atexit; the program has
// a handful, and more is a build mistake caught by the test programs' runs.
constexpr int kExitFunctionRoom = 32;
void (*exitFunctions[kExitFunctionRoom])();
int exitFunctionCount = 0;

void RunConstructors() {
  unsigned long count = reinterpret_cast<unsigned long>(__CTOR_LIST__[0]);
  if (count == static_cast<unsigned long>(-1)) {
    for (count = 0; __CTOR_LIST__[count + 1] != nullptr; ++count) {
    }
  }
  for (unsigned long i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

void RunExitFunctions() {
  while (exitFunctionCount > 0) exitFunctions[--exitFunctionCount]();
}

}  // namespace

// 0 = registered; -1 = no room left (the function will not run).
extern "C" int atexit(void (*function)()) {
  if (function == nullptr || exitFunctionCount >= kExitFunctionRoom) return -1;
  exitFunctions[exitFunctionCount++] = function;
  return 0;
}

// The image's entry point (linked with -e): the loader calls it with nothing
// the program needs, and the process ends here.
extern "C" void SetupStart() {
  RunConstructors();
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  GetStartupInfoW(&startup);
  const int show =
      (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWDEFAULT;
  // The command line is not read by the program: no arguments are parsed.
  const int result = wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), show);
  RunExitFunctions();
  ExitProcess(static_cast<UINT>(result));
}
