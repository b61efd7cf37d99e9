#!/usr/bin/env bash
# Builds setup.exe twice from clean copies of the sources in two different
# folders (different lengths, so that no build path can hide in the bytes) and
# checks that the unsigned programs, the layout libraries and the documents are
# byte for byte the same. The second copy is built with CMAKE_BUILD_TYPE=None
# (Debian's packaging default), which must not change the shipped bytes. A release is checked the same way: build its tag here,
# take the signature off the published setup.exe
# (osslsigncode remove-signature -in setup.exe -out unsigned.exe) and compare.
# usage: scripts/check-reproducible.sh [KEEP-DIR]     env: KESTREL_JOBS (default 2)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${KESTREL_JOBS:-2}
work=${1:-$(mktemp -d)}
[ -n "${1:-}" ] || trap 'rm -rf "$work"' EXIT
unset KESTREL_SIGN_PKCS12  # unsigned: the signature is the one part that may differ

build_copy() { # folder, build type: the tracked files as they are now, then the three trees setup.exe needs
  local src=$1/src type=$2
  mkdir -p "$src"
  (cd "$repo" && git ls-files -z | tar --null -T - -cf -) | tar -xf - -C "$src"
  cmake -S "$src" -B "$src/build/host" -G Ninja -DCMAKE_BUILD_TYPE="$type" >"$1/configure.log"
  cmake --build "$src/build/host" -j "$jobs" --target kestrel-payload kestrel-layout >"$1/build.log"
  cmake -S "$src" -B "$src/build/win64" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DKESTREL_HOST_TOOLS="$src/build/host" >>"$1/configure.log"
  cmake --build "$src/build/win64" -j "$jobs" --target \
    kbdkestr-standard kbdkestr-accents kbdkestr-typographic >>"$1/build.log"
  cmake -S "$src" -B "$src/build/win32" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DKESTREL_HOST_TOOLS="$src/build/host" \
    -DKESTREL_WIN64_TREE="$src/build/win64" >>"$1/configure.log"
  cmake --build "$src/build/win32" -j "$jobs" --target setup >>"$1/build.log"
}

first=$work/a
second=$work/a-second-build-in-a-longer-folder
for build in "$first Release" "$second None"; do
  folder=${build% *} type=${build##* }
  echo "== building in $folder ($type)"
  build_copy "$folder" "$type" || { tail -20 "$folder/build.log" "$folder/configure.log" >&2; exit 1; }
done

status=0
for file in build/win32/setup.exe build/win32/layout/kbdkestr-standard.dll \
            build/win64/layout/kbdkestr-standard.dll build/win32/documents/kestrel-guide.pdf \
            build/win32/documents/kestrel-chart.pdf; do
  if cmp -s "$first/src/$file" "$second/src/$file"; then
    echo "same bytes: $file ($(stat -c %s "$first/src/$file") bytes, sha256 $(sha256sum <"$first/src/$file" | cut -c1-16)…)"
  else
    echo "DIFFERENT: $file" >&2
    status=1
  fi
done
exit $status
