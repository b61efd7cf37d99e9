#!/usr/bin/env bash
# Runs a Windows program under Wine in a test prefix (build/wine/prefix32|64) and
# exits with the program's exit code.
#
# usage: scripts/wine-run.sh [--prefix 32|64] [--version NAME] [--timeout S] [--] PROGRAM.exe [ARGS...]
#        scripts/wine-run.sh --prefix 32|64 --server start|stop
#
#   --prefix   32 (WINEARCH=win32, architecture 0) or 64 (architecture 9); default 32.
#   --version  emulated Windows: win2k winxp winxp64 win2003 vista win7 win8 win81 win10.
#              The program runs as a hard link PROGRAM-NAME.exe beside it, with
#              HKCU\Software\Wine\AppDefaults\PROGRAM-NAME.exe\Version set, so parallel
#              runs under different versions never race on one setting.
#              Without it the prefix's default version holds.
#   --timeout  seconds before the program is ended (exit 124); default 600.
#   --server start  makes the prefix if missing, starts a persistent wineserver and
#              Wine's background services detached from the caller's output;
#   --server stop   ends that wineserver (and every Wine process of the prefix).
#
# The program sees KESTREL_EXPECT_ARCH (0 or 9) and, with --version,
# KESTREL_EXPECT_VERSION (50 51 52 60 61 62) and KESTREL_WINE_VERSION (the name).
# env: KESTREL_WINE_ROOT (default <repo>/build/wine), KESTREL_WINEDEBUG (default -all).
set -uo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bits=32 version= timeout=600 server=
while [ $# -gt 0 ]; do
  case "$1" in
    --prefix) bits=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --server) server=$2; shift 2 ;;
    --) shift; break ;;
    -*) echo "wine-run: unknown option $1" >&2; exit 2 ;;
    *) break ;;
  esac
done

case "$bits" in
  32) arch=0 ;;
  64) arch=9 ;;
  *) echo "wine-run: --prefix must be 32 or 64" >&2; exit 2 ;;
esac

. "$repo/scripts/wine-loader.sh"
kestrel_wine_loader "$bits"
root=${KESTREL_WINE_ROOT:-$repo/build/wine}
export WINEPREFIX=$root/prefix$bits
export WINEDEBUG=${KESTREL_WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export KESTREL_EXPECT_ARCH=$arch

# Makes the prefix if it is missing (under a lock: parallel callers wait for one maker).
"$repo/scripts/wine-prefix.sh" "$bits" || exit 1

case "$server" in
  start)
    wineserver -p </dev/null >/dev/null 2>&1
    # The first Wine process starts services.exe, explorer.exe and the rest; started
    # here with no output attached, they never hold a test's (or ctest's) pipes open.
    wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1
    exit $? ;;
  stop)
    wineserver -k </dev/null >/dev/null 2>&1
    wineserver -w </dev/null >/dev/null 2>&1
    exit 0 ;;
  "") ;;
  *) echo "wine-run: --server start|stop" >&2; exit 2 ;;
esac

[ $# -ge 1 ] || { echo "wine-run: no program given" >&2; exit 2; }
program=$1
shift
[ -f "$program" ] || { echo "wine-run: $program: no such file" >&2; exit 2; }

if [ -n "$version" ]; then
  case "$version" in
    win2k) code=50 ;;
    winxp) code=51 ;;
    winxp64|win2003) code=52 ;;
    vista) code=60 ;;
    win7) code=61 ;;
    win8|win81|win10) code=62 ;;   # without supportedOS entries 8.1 and 10 report 6.2
    *) echo "wine-run: unknown version $version" >&2; exit 2 ;;
  esac
  export KESTREL_EXPECT_VERSION=$code KESTREL_WINE_VERSION=$version
  dir=$(dirname "$program")
  base=$(basename "$program")
  base=${base%.[eE][xX][eE]}
  alias=$base-$version.exe
  # Re-linked every run: the build may have replaced the program since.
  ln -f "$program" "$dir/$alias" 2>/dev/null || cp -f "$program" "$dir/$alias" || exit 1
  wine reg add "HKCU\\Software\\Wine\\AppDefaults\\$alias" /v Version /d "$version" /f \
    </dev/null >/dev/null 2>&1 || { echo "wine-run: cannot set the version of $alias" >&2; exit 1; }
  program=$dir/$alias
fi

timeout --kill-after=5 "$timeout" wine "$program" "$@"
rc=$?
[ $rc -eq 124 ] && echo "wine-run: $program ended after ${timeout} s" >&2
exit $rc
