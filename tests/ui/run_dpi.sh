#!/usr/bin/env bash
# Runs the wizard's fit tests (ui_tests, TextFit and FrameSize) at a display DPI, in
# a Wine prefix of their own whose LogPixels says it (the setting is per user, so no
# other test may share that prefix). With a folder, a picture of every page is saved
# there as PNG (ImageMagick), named FACE-PAGE.png. It runs on an Xvfb screen of its own.
# usage: tests/ui/run_dpi.sh BITS DPI VERSION UI_TESTS.exe [PICTURES]
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bits=$1 dpi=$2 version=$3 program=$(cd "$(dirname "$4")" && pwd)/$(basename "$4")
pictures=${5:-}
# A screen of its own, of the smallest size Windows supports (1024 x 768) as the
# display's scale makes it: 1536 x 1152 pixels at 144 DPI.
if [ -z "${KESTREL_DPI_SCREEN:-}" ]; then
  export KESTREL_DPI_SCREEN=$((1024 * dpi / 96))x$((768 * dpi / 96))
  exec xvfb-run -a -s "-screen 0 ${KESTREL_DPI_SCREEN}x24" "$0" "$@"
fi
export KESTREL_WINE_ROOT=$(dirname "$program")/wine-dpi$dpi
. "$repo/scripts/wine-loader.sh"
kestrel_wine_loader "$bits"
"$repo/scripts/wine-prefix.sh" "$bits"
export WINEPREFIX=$KESTREL_WINE_ROOT/prefix$bits WINEDEBUG=-all
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
wineserver -w
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

shots=
if [ -n "$pictures" ]; then
  shots=$(mktemp -d "$(dirname "$program")/dpi-shots.XXXXXX")
  export KESTREL_SHOT_DIR="Z:${shots//\//\\}"
fi
rc=0
"$repo/scripts/wine-run.sh" --prefix "$bits" --version "$version" --timeout 240 -- "$program" \
  --gtest_filter='FacesAndLanguages/TextFit.*:FrameSize.*' || rc=$?
if [ -n "$shots" ]; then
  mkdir -p "$pictures"
  for shot in "$shots"/*.bmp; do
    [ -e "$shot" ] && convert "$shot" "$pictures/$(basename "${shot%.bmp}").png"
  done
  rm -rf "$shots"
fi
exit $rc
