#!/usr/bin/env bash
# Installs what is missing, builds, then either starts setup.exe under Wine in a
# sandbox prefix (build/wine/try/prefix32, never ~/.wine) when a display is present,
# or prints where setup.exe is and what it carries.
# usage: scripts/try-installer.sh [setup.exe arguments...]
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
"$repo/scripts/install-deps.sh"
"$repo/scripts/build.sh"

exe=$repo/build/win32/setup.exe
if [ ! -f "$exe" ]; then
  echo "try-installer: $exe was not built (app/Main.cpp missing?)" >&2
  exit 1
fi

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting $exe under Wine (sandbox prefix build/wine/try/prefix32)"
  export KESTREL_WINE_ROOT=$repo/build/wine/try
  set +e
  "$repo/scripts/wine-run.sh" --prefix 32 --timeout 86400 -- "$exe" "$@"
  rc=$?
  WINEPREFIX=$KESTREL_WINE_ROOT/prefix32 wineserver -k >/dev/null 2>&1
  echo "setup.exe exited with $rc"
  exit $rc
fi

echo "No display (\$DISPLAY is empty): not starting it."
echo "setup.exe: $exe"
echo "size:      $(stat -c %s "$exe") bytes"
echo "sha256:    $(sha256sum "$exe" | cut -d' ' -f1)"
python3 "$repo/tools/pe_summary.py" "$exe"
echo "payload (every entry deciphered and checked):"
"$repo/build/host/kestrel-payload" inspect "$exe" --map "$repo/build/win32/generated/payload.map" | sed 's/^/  /'
