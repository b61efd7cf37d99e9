# Shared part of the mingw-w64 toolchain files; KESTREL_MINGW_TRIPLE names the target.
#
# The compilers of the win32 thread model (g++-mingw-w64-*-win32). The posix model's
# static runtime brings libwinpthread, which imports GetTickCount64 (Windows Vista and
# later): with it setup.exe would not load on Windows 2000 or XP. Wine does not show
# this, as its kernel32 exports every function whatever the emulated version.
# -DKESTREL_MINGW_THREADS=posix selects the other compilers.
set(KESTREL_MINGW_THREADS "win32" CACHE STRING "Thread model of the mingw-w64 compilers: win32 or posix")
set(_kestrel_prefix "/usr/bin/${KESTREL_MINGW_TRIPLE}")
set(CMAKE_C_COMPILER "${_kestrel_prefix}-gcc-${KESTREL_MINGW_THREADS}")
set(CMAKE_CXX_COMPILER "${_kestrel_prefix}-g++-${KESTREL_MINGW_THREADS}")
set(CMAKE_RC_COMPILER "${_kestrel_prefix}-windres")
set(CMAKE_AR "${_kestrel_prefix}-ar" CACHE FILEPATH "")
set(CMAKE_RANLIB "${_kestrel_prefix}-ranlib" CACHE FILEPATH "")
set(CMAKE_STRIP "${_kestrel_prefix}-strip" CACHE FILEPATH "")
set(CMAKE_OBJDUMP "${_kestrel_prefix}-objdump" CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH "/usr/${KESTREL_MINGW_TRIPLE}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
