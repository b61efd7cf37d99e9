#!/usr/bin/env bash
# Makes the Wine test prefix build/wine/prefix32 or build/wine/prefix64 once, and
# re-uses it while its stamp names the same Wine. Never touches ~/.wine.
#
# usage: scripts/wine-prefix.sh 32|64 [--force]
# env:   KESTREL_WINE_ROOT  where the prefixes live (default <repo>/build/wine)
#
# Safe to call from parallel processes: creation runs under an exclusive lock and
# ends with `wineserver -w`, so no one uses a half-made prefix.
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bits=${1:-}
force=0
[ "${2:-}" = "--force" ] && force=1
case "$bits" in
  32) arch=win32 ;;
  64) arch=win64 ;;
  *) echo "usage: $0 32|64 [--force]" >&2; exit 2 ;;
esac

. "$repo/scripts/wine-loader.sh"
kestrel_wine_loader "$bits"
root=${KESTREL_WINE_ROOT:-$repo/build/wine}
prefix=$root/prefix$bits
stamp=$prefix/.kestrel-stamp
mkdir -p "$root"

# The stamp holds the Wine version: a Wine upgrade makes the prefix anew.
want="$(wine --version 2>/dev/null) $arch"

exec 9>"$root/prefix$bits.lock"
flock 9

if [ "$force" -eq 0 ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$want" ]; then
  exit 0
fi

start=$(date +%s.%N)
export WINEPREFIX=$prefix WINEARCH=$arch WINEDEBUG=-all
# No Mono or Gecko install dialogs; no menu entries or desktop files in the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# A server left from an earlier, broken attempt would hold the old prefix open.
wineserver -k >/dev/null 2>&1 || true
rm -rf "$prefix"
log=$root/prefix$bits.log
{
  wineboot -i
  # A crashing test program ends with its exit code instead of waiting on a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
  wineserver -w
} </dev/null >"$log" 2>&1 || { echo "wine-prefix: creating $prefix failed, see $log" >&2; exit 1; }

# Wine links the profile folders (Desktop, Documents, ...) to the user's home;
# make them plain folders so that no test writes outside the build tree.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then rm -f "$link"; mkdir -p "$link"; fi
done

echo "$want" >"$stamp"
end=$(date +%s.%N)
awk -v s="$start" -v e="$end" -v p="$prefix" 'BEGIN { printf "wine-prefix: made %s in %.1f s\n", p, e - s }' >&2
