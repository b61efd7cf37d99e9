# Sourced by the Wine scripts: kestrel_wine_loader BITS picks the loader of a prefix.
# Debian's `wine` starts the 32-bit loader first, which then hands 64-bit programs
# to the 64-bit one; a kernel without 32-bit support (some virtual machines)
# refuses it, and nothing runs. There a 64-bit prefix's Wine commands go straight
# to the 64-bit loader, which runs 64-bit programs only.
kestrel_wine_loader() {
  [ "$1" = 64 ] || return 0
  /usr/lib/wine/wine --version >/dev/null 2>&1 && return 0
  [ -x /usr/lib/wine/wine64 ] || return 0
  PATH="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine64-only:$PATH"
  export PATH WINELOADER=/usr/lib/wine/wine64
}
