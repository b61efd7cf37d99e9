#!/usr/bin/env bash
# Saves a picture of every wizard page (welcome, fresh and installed faces, licence,
# options, key assignment, finish; English and Polish) into docs/screenshots/, cropped
# to the wizard's window. Run by hand after changing a page, then commit the PNGs.
# It builds the win32 tree's programs it needs, provisions the scenario prefix, and
# walks the real setup.exe with gui_driver.exe under `wine explorer /desktop` (so
# that Wine draws the window frames) on its own Xvfb screen, taking each picture
# with ImageMagick's `import`.
# usage: scripts/screenshots.sh [--bits 32|64] [--version NAME]   (default 32, win7: the
# options page shows every control from Vista on)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
bits=32 version=win7
while [ $# -gt 0 ]; do
  case "$1" in
    --bits) bits=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    *) echo "usage: $0 [--bits 32|64] [--version NAME]" >&2; exit 2 ;;
  esac
done

if [ -z "${KESTREL_SHOTS_SCREEN:-}" ]; then
  # A screen of its own: the caller's display, if any, is never pictured.
  export KESTREL_SHOTS_SCREEN=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --bits "$bits" --version "$version"
fi

tree=build/win32
[ -f "$tree/build.ninja" ] || scripts/build.sh
cmake --build "$tree" -j "${KESTREL_JOBS:-2}" --target setup gui_driver engine_driver control_capture
python3 tests/scenario/run_scenario.py provision --bits "$bits" --tree "$tree"
python3 tests/gui/run_gui.py shots --bits "$bits" --version "$version" --tree "$tree" \
  --out "$repo/docs/screenshots"
ls -l docs/screenshots
