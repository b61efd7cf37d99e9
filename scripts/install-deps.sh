#!/usr/bin/env bash
# Installs the Debian 12 packages the build and the tests need.
# Idempotent: quiet and quick when everything is present. Works as root or through sudo.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang python3
  # lld-link: the layout libraries merge their sections into .data as Windows reads them.
  lld
  # win32 thread model: the product's runtime (posix brings a Vista-only import).
  g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
  zlib1g-dev googletest libgtest-dev unicode-data
  wine wine64 wine32:i386 xvfb xauth x11-utils x11-apps imagemagick
  # The documents: PDF drawing, the embedded font and its unhinting, and the tools
  # that check them.
  python3-reportlab python3-fonttools fonts-dejavu-core qpdf poppler-utils
  # Authenticode signing, and the throwaway certificate the tests sign with.
  osslsigncode openssl
)

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "$need_i386" -eq 0 ] && [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
if [ "$need_i386" -eq 1 ]; then
  "${sudo[@]}" dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync fails the index download for a minute or so:
# try again, then go on with whatever indices arrived (the install says if they lack a package).
for attempt in 1 2 3; do
  "${sudo[@]}" apt-get update -qq && break
  echo "install-deps: package index download failed (attempt $attempt)" >&2
  sleep 15
done
for attempt in 1 2; do
  "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null && exit 0
  sleep 15
  "${sudo[@]}" apt-get update -qq || true
done
exit 1
