#!/usr/bin/env bash
# Checks a built setup.exe: PE32 for i386, GUI subsystem, and an import table that
# names only system DLLs (a static runtime: no libgcc, libstdc++ or winpthread DLL).
# usage: scripts/check-pe.sh OBJDUMP setup.exe      exit 0 = all checks hold
set -uo pipefail

objdump=$1
exe=$2
allowed="KERNEL32.dll USER32.dll GDI32.dll ADVAPI32.dll SHELL32.dll SHLWAPI.dll OLE32.dll COMCTL32.dll msvcrt.dll"

dump=$("$objdump" -p "$exe") || { echo "FAIL: $objdump -p $exe failed"; exit 1; }
fail=0
check() { # description, pattern
  if grep -Eq "$2" <<<"$dump"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi
}
check "file format pei-i386" 'file format pei-i386'
check "PE32 optional header (magic 010b)" '^Magic[[:space:]]+010b'
check "GUI subsystem" '^Subsystem[[:space:]]+00000002'

dlls=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
for dll in $dlls; do
  ok=0
  for a in $allowed; do
    [ "${dll,,}" = "${a,,}" ] && ok=1
  done
  if [ $ok -eq 1 ]; then echo "ok: imports $dll"; else echo "FAIL: imports $dll (not a system DLL)"; fail=1; fi
done
[ -n "$dlls" ] || { echo "FAIL: no import table"; fail=1; }

# Functions that Windows 2000 lacks, as the runtime or careless code may import them
# (Wine exports them whatever version it emulates, so only this check sees them).
# Code that needs one looks it up at run time with GetProcAddress.
# A list of known later functions, not a proof: it grows as we meet more.
later="GetTickCount64 InitOnceExecuteOnce InitOnceBeginInitialize InitOnceComplete
  InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
  WakeConditionVariable WakeAllConditionVariable InitializeSRWLock AcquireSRWLockExclusive
  AcquireSRWLockShared ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive
  FlsAlloc FlsFree FlsGetValue FlsSetValue AddVectoredExceptionHandler
  RemoveVectoredExceptionHandler GetNativeSystemInfo IsWow64Process
  Wow64DisableWow64FsRedirection Wow64RevertWow64FsRedirection SetDllDirectoryW
  SetDllDirectoryA SetDefaultDllDirectories AddDllDirectory GetModuleHandleExW
  GetModuleHandleExA CreateSymbolicLinkW GetFinalPathNameByHandleW GetLocaleInfoEx
  LCIDToLocaleName LocaleNameToLCID CompareStringEx GetUserDefaultLocaleName
  RegDeleteKeyExW RegGetValueW RegSetKeyValueW RegDeleteTreeW RegDisableReflectionKey
  AttachConsole GetProcessId GetThreadId GetErrorMode"
functions=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t/ && NF >= 3 { print dll ":" $3 }' <<<"$dump")
late=0
for entry in $functions; do
  name=${entry#*:}
  for f in $later; do
    if [ "$name" = "$f" ]; then echo "FAIL: imports $entry (not on Windows 2000)"; late=1; fi
  done
  case "${entry,,}" in
    msvcrt.dll:*_s|msvcrt.dll:_aligned_*) echo "FAIL: imports $entry (not in Windows 2000's msvcrt)"; late=1 ;;
  esac
done
[ -n "$functions" ] || { echo "FAIL: no imported functions found"; fail=1; }
if [ $late -eq 0 ]; then echo "ok: no import known to be missing on Windows 2000"; else fail=1; fi
exit $fail
