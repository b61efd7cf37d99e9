#!/usr/bin/env bash
# Configures and builds every tree under build/, in order, with Ninja:
#   build/host       g++, portable libraries and their native tests
#   build/host-asan  the same with AddressSanitizer and UndefinedBehaviorSanitizer
#   build/win64      mingw x86_64: the x64 layout images and their tests
#   build/win32      mingw i686: the x86 layout images, the payload (with the x64 images
#                    of build/win64), setup.exe, the Windows tests, text_tests for Wine
#   build/engine64   mingw x86_64: the setup engine and its Windows tests (no setup.exe) on
#                    build/win32's payload, for Wine's 64-bit prefix; the only Windows
#                    tests of the engine that run where the kernel refuses 32-bit programs
# usage: scripts/build.sh        env: KESTREL_JOBS (default 2)
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
jobs=${KESTREL_JOBS:-2}

build_tree() { # name, configure arguments...
  local name=$1 start=$SECONDS
  shift
  echo "== build/$name"
  cmake -S . -B "build/$name" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >"build/$name.configure.log" 2>&1 \
    || { cat "build/$name.configure.log"; echo "build: configuring build/$name failed" >&2; exit 1; }
  grep -E '^-- Kestrel:|Warning|Error' "build/$name.configure.log" || true
  cmake --build "build/$name" -j "$jobs"
  echo "== build/$name done in $((SECONDS - start)) s"
}

mkdir -p build
build_tree host
build_tree host-asan -DKESTREL_SANITIZE=ON
build_tree win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DKESTREL_HOST_TOOLS="$repo/build/host"
build_tree win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DKESTREL_HOST_TOOLS="$repo/build/host" \
  -DKESTREL_WIN64_TREE="$repo/build/win64"
build_tree engine64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DKESTREL_HOST_TOOLS="$repo/build/host" \
  -DKESTREL_PAYLOAD_TREE="$repo/build/win32" -DKESTREL_WIN64_TREE="$repo/build/win64"
