#!/bin/sh
# scripts/check-pe.sh against tiny images built here: an import the table lacks, one
# documented later than the image's oldest system, the limit of each architecture, a
# subsystem version too new for Windows 2000, a library outside KnownDLLs' four and an
# unsorted table all fail the check;
# the same images pass once the table allows them. Exit 77 = no mingw toolchain.
set -u
repo=$(cd "$(dirname "$0")/../.." && pwd)
check="$repo/scripts/check-pe.sh"
for tool in i686-w64-mingw32-gcc x86_64-w64-mingw32-gcc x86_64-w64-mingw32-objdump; do
  command -v "$tool" >/dev/null 2>&1 || { echo "skipped: $tool missing"; exit 77; }
done
objdump=x86_64-w64-mingw32-objdump
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A GUI program (and an x64 library) with no runtime: it imports exactly ExitProcess
# and GetTickCount64.
cat >"$work/later.c" <<'EOF'
#include <windows.h>
void start(void) { ExitProcess((UINT)GetTickCount64()); }
EOF
build() { # compiler, output, extra link options...
  cc=$1 out=$2
  shift 2
  "$cc" -D_WIN32_WINNT=0x0600 -Os -nostdlib -mwindows -Wl,-e,start -o "$work/$out" \
    "$work/later.c" "$@" -lkernel32 || { echo "FAIL: cannot build $out"; exit 1; }
}
build i686-w64-mingw32-gcc x86.exe -Wl,-e,_start
build i686-w64-mingw32-gcc x86-vista-subsystem.exe -Wl,-e,_start -Wl,--subsystem,windows:6.0
# The same kind of program importing from shell32 too: a library outside the four.
cat >"$work/shell.c" <<'EOF'
#include <windows.h>
#include <shlobj.h>
void start(void) {
  WCHAR path[MAX_PATH];
  ExitProcess(SHGetSpecialFolderPathW(NULL, path, CSIDL_APPDATA, FALSE) ? GetTickCount() : 0);
}
EOF
i686-w64-mingw32-gcc -Os -nostdlib -mwindows -Wl,-e,_start -o "$work/x86-shell.exe" \
  "$work/shell.c" -lshell32 -lkernel32 || { echo "FAIL: cannot build x86-shell.exe"; exit 1; }
build x86_64-w64-mingw32-gcc x64.dll -shared   # like the x64 layout libraries

table() { # minimum of GetTickCount64, or "none" for no row
  {
    echo "# test table"
    echo "KERNEL32.dll ExitProcess 50 xp-floor:processthreadsapi/nf-processthreadsapi-exitprocess"
    [ "$1" = none ] || echo "KERNEL32.dll GetTickCount64 $1 learn:sysinfoapi/nf-sysinfoapi-gettickcount64"
  } >"$work/table.txt"
}
failures=0
expect() { # pass|fail, message pattern, image, table minimum
  table "$4"
  output=$("$check" "$objdump" "$work/$3" "$work/table.txt")
  rc=$?
  if { [ "$1" = pass ] && [ $rc -eq 0 ]; } || { [ "$1" = fail ] && [ $rc -ne 0 ]; } &&
     printf '%s\n' "$output" | grep -q -- "$2"; then
    echo "ok: $3 with GetTickCount64 at $4: $1 ($2)"
  else
    echo "FAIL: $3 with GetTickCount64 at $4 should $1 with \"$2\"; got $rc:"
    printf '%s\n' "$output"
    failures=$((failures + 1))
  fi
}
expect fail "which the table does not list" x86.exe none
expect fail "documented from version 60, later than Windows 2000" x86.exe 60
expect fail "documented from version 51, later than Windows 2000" x86.exe 51
expect pass "all 2 imported functions are documented for Windows 2000" x86.exe 50
expect pass "all 2 imported functions are documented for Windows XP" x64.dll 51
expect fail "documented from version 52, later than Windows XP" x64.dll 52
expect fail "subsystem version 60 (code) is newer than Windows 2000 accepts" x86-vista-subsystem.exe 50
expect pass "imports only kernel32, user32, gdi32 and advapi32 (KERNEL32.dll)" x86.exe 50
expect fail "imports library SHELL32.dll, outside kernel32, user32, gdi32 and advapi32" x86-shell.exe 50

# Rows out of order are refused however the image looks.
table 50
sed -i '1!G;h;$!d' "$work/table.txt"
if "$check" "$objdump" "$work/x86.exe" "$work/table.txt" | grep -q "is not sorted"; then
  echo "ok: an unsorted table fails"
else
  echo "FAIL: an unsorted table passed"
  failures=$((failures + 1))
fi
exit $((failures > 0))
