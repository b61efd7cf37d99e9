#!/usr/bin/env bash
# Start-up benchmark: milliseconds from process start until the first window shows,
# median of N runs (default 9) under Wine and Xvfb, for setup.exe, for a bare Win32
# window program built in the same tree and, when NSIS can be had, for a minimal
# licence-page NSIS installer; printed with the ratio of each median to setup.exe's.
# Nothing is asserted. Installs the Debian package nsis when makensis is missing and
# the machine allows it (root or sudo); without it the NSIS row is left out.
# usage: scripts/startup-bench.sh [--runs N] [--bits 32|64] [--version NAME]
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
runs=9 bits=32 version=winxp
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --bits) bits=$2; shift 2 ;;
    --version) version=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--bits 32|64] [--version NAME]" >&2; exit 2 ;;
  esac
done

if [ -z "${KESTREL_BENCH_SCREEN:-}" ]; then
  export KESTREL_BENCH_SCREEN=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --runs "$runs" --bits "$bits" --version "$version"
fi

tree=build/win32
[ -f "$tree/build.ninja" ] || scripts/build.sh
cmake --build "$tree" -j "${KESTREL_JOBS:-2}" --target setup gui_driver bare_window

if ! command -v makensis >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then sudo=(); elif command -v sudo >/dev/null; then sudo=(sudo -n); else sudo=(false); fi
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq nsis >/dev/null 2>&1 ||
    echo "startup-bench: nsis could not be installed; no NSIS row" >&2
fi
nsis_args=()
if command -v makensis >/dev/null; then
  dir=$tree/bench
  mkdir -p "$dir"
  cp content/licence/licence.en.txt "$dir/licence.txt"
  # The smallest installer with a licence page: the page NSIS installers open on.
  cat >"$dir/licence-page.nsi" <<'NSI'
Unicode true
Name "Bench"
OutFile "nsis-licence.exe"
RequestExecutionLevel user
InstallDir "$TEMP\bench"
LicenseData "licence.txt"
Page license
Page instfiles
Section
SectionEnd
NSI
  (cd "$dir" && makensis -V1 licence-page.nsi)
  nsis_args=(--nsis "$dir/nsis-licence.exe")
fi
python3 tests/gui/run_gui.py bench --bits "$bits" --version "$version" --tree "$tree" \
  --runs "$runs" "${nsis_args[@]}"
