#!/bin/sh
# A build that would make an incomplete setup.exe stops at configure time and names
# what is missing; only an explicit developer option lets it go on. Configures
# throwaway trees of this source without a documents generator and, when the host
# tools are built, a win32 tree without the x64 tree.
set -u
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
expect() { # outcome, what, cmake arguments...
  outcome=$1 what=$2
  shift 2
  rm -rf "$work/tree"
  if cmake -S "$repo" -B "$work/tree" -G Ninja "$@" >"$work/log" 2>&1; then got=configures; else got=refused; fi
  if [ "$got" != "$outcome" ]; then
    echo "FAIL: $what: $got, expected $outcome"; tail -15 "$work/log"; fail=1
  else
    echo "ok: $what: $got"
  fi
}
says() { # text the last configure printed
  grep -q "$1" "$work/log" || { echo "FAIL: the configure output does not say \"$1\""; tail -15 "$work/log"; fail=1; }
}

expect refused "host tree without reportlab" -DKESTREL_DOCUMENTS_PYTHON_CANDIDATES=/bin/false
says "python3-reportlab"
expect configures "the same with KESTREL_INCOMPLETE_BUILD" -DKESTREL_DOCUMENTS_PYTHON_CANDIDATES=/bin/false \
  -DKESTREL_INCOMPLETE_BUILD=ON
says "incomplete build"

tools=$repo/build/host
if [ -x "$tools/kestrel-layout" ] && command -v i686-w64-mingw32-g++-win32 >/dev/null; then
  expect refused "win32 tree without the x64 tree" -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
    -DKESTREL_HOST_TOOLS="$tools"
  says "KESTREL_WIN64_TREE"
else
  echo "note: no host tools at $tools or no mingw compiler; the win32 case is left out"
fi
exit $fail
