#!/usr/bin/env bash
# Checks a built image of the product: setup.exe or a layout library.
#   - setup.exe is PE32 for i386 with the GUI subsystem, has an import table, and keeps
#     ASLR and DEP (with its relocations);
#   - setup.exe imports from kernel32, user32, gdi32 and advapi32 only, the libraries every
#     supported Windows serves from its KnownDLLs: the system loads an imported library before the program runs,
#     and any other name it looks for beside the program first (a downloads folder);
#   - the image's subsystem version asks for no newer Windows than its oldest system;
#   - every function it imports is in the table of imports with a minimum Windows
#     version that its oldest system has, and the table itself is sorted and complete.
# The oldest system is Windows 2000 for x86 images and Windows XP for x64 ones (the
# subsystem version of XP x64 is 5.2). Wine exports every function whatever version
# it emulates, so only this check sees an import that an older Windows lacks, and for
# which its loader would refuse the whole program.
# usage: scripts/check-pe.sh OBJDUMP IMAGE [TABLE]      exit 0 = all checks hold
#        TABLE defaults to tools/imports/minimum-windows.txt
set -uo pipefail

objdump=$1
image=$2
table=${3:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/tools/imports/minimum-windows.txt}

dump=$("$objdump" -p "$image") || { echo "FAIL: $objdump -p $image failed"; exit 1; }
fail=0
check() { # description, pattern
  if grep -Eq "$2" <<<"$dump"; then echo "ok: $1"; else echo "FAIL: $1"; fail=1; fi
}

# Oldest system as a version code (major x 10 + minor), its name, and the highest
# subsystem version (major.minor) its loader accepts.
if grep -q 'file format pei-x86-64' <<<"$dump"; then
  oldest=51 oldest_name="Windows XP" subsystem_limit=52
else
  check "file format pei-i386" 'file format pei-i386'
  oldest=50 oldest_name="Windows 2000" subsystem_limit=50
fi

if ! grep -Eq '^[[:space:]]+DLL$' <<<"$dump"; then
  # An executable: setup.exe. (Layout libraries import nothing at all.)
  check "PE32 optional header (magic 010b)" '^Magic[[:space:]]+010b'
  check "GUI subsystem" '^Subsystem[[:space:]]+00000002'
  check "import table" 'DLL Name:'
  # Address-space randomisation and no execution from data, which need relocations.
  check "ASLR (DYNAMIC_BASE)" '^[[:space:]]+DYNAMIC_BASE$'
  check "DEP (NX_COMPAT)" '^[[:space:]]+NX_COMPAT$'
  check "base relocations" '^Entry 5 [0-9a-f]+ [0-9a-f]*[1-9a-f][0-9a-f]* Base Relocation Directory'
  # Every other library is loaded at run time by its full path (setup/ShellLibraries.h,
  # setup/CommonControls.h); the program links without the C runtime (app/runtime/).
  libraries=$(awk '/DLL Name:/ { print $3 }' <<<"$dump")
  unexpected=0
  for library in $libraries; do
    case $(tr '[:upper:]' '[:lower:]' <<<"$library") in
      kernel32.dll | user32.dll | gdi32.dll | advapi32.dll) ;;
      *) echo "FAIL: imports library $library, outside kernel32, user32, gdi32 and advapi32" \
              "(load it at run time by full path)"
         unexpected=1 fail=1 ;;
    esac
  done
  [ "$unexpected" -eq 1 ] || echo "ok: imports only kernel32, user32, gdi32 and advapi32 ($(echo $libraries))"
fi

subsystem=$(awk '/^MajorSubsystemVersion/ { major = $2 } /^MinorSubsystemVersion/ { minor = $2 }
  END { print major * 10 + minor }' <<<"$dump")
if [ "$subsystem" -le "$subsystem_limit" ]; then
  echo "ok: subsystem version $subsystem (code) loads on $oldest_name"
else
  echo "FAIL: subsystem version $subsystem (code) is newer than $oldest_name accepts"
  fail=1
fi

# The table: "dll function minimum kind:source" rows, sorted, each function once.
rows=$(grep -Ev '^[[:space:]]*(#|$)' "$table") || { echo "FAIL: no rows in $table"; exit 1; }
if ! LC_ALL=C sort -c -u <<<"$rows" 2>/dev/null; then
  echo "FAIL: $table is not sorted (LC_ALL=C sort), or holds a row twice"
  fail=1
fi

# Every import against the table; the awk prints one line per finding.
findings=$(awk -v oldest="$oldest" -v oldest_name="$oldest_name" '
  FNR == NR {
    if (NF != 4 || $3 !~ /^[0-9]+$/ || $4 !~ /^(learn|msdn92|msdn98|msdn2000|xp-floor|crt|win32sdk):./) { print "FAIL: table row \"" $0 "\" is not: dll function minimum kind:source"; failed++; next }
    minimum[tolower($1) " " $2] = $3
    next
  }
  /DLL Name:/ { dll = $3; next }
  /^\t[0-9a-f]+\t/ {
    imported++
    if (NF < 3) { print "FAIL: imports from " dll " by ordinal:" $0; failed++; next }
    key = tolower(dll) " " $3
    if (!(key in minimum)) { print "FAIL: imports " dll " " $3 ", which the table does not list"; failed++ }
    else if (minimum[key] + 0 > oldest + 0) {
      print "FAIL: imports " dll " " $3 ", documented from version " minimum[key] ", later than " oldest_name
      failed++
    }
  }
  END { if (!failed) print "ok: all " imported + 0 " imported functions are documented for " oldest_name }
' <(grep -Ev '^[[:space:]]*(#|$)' "$table") - <<<"$dump")
[ -z "$findings" ] || echo "$findings"
grep -q '^FAIL' <<<"$findings" && fail=1
exit $fail
