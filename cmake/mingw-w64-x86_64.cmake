# Cross-build for 64-bit Windows with Debian's mingw-w64 compilers (the
# POSIX-threads variant, package g++-mingw-w64-x86-64-posix). Programs are
# linked statically, so dta2csv.exe runs without any DLL beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZIZ_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZIZ_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZIZ_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZIZ_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZIZ_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs and dta2csv.exe run under Wine, in a prefix of the build's
# own (cmake/wine_prefix.cmake), quiet, and without a display so that
# nothing opens a window on a developer's desktop. Wine takes both the
# user's locale and the encoding of Unix file names from LC_ALL: C.UTF-8,
# present on every Debian machine, gives an en-US user and UTF-8 names
# (a locale that is not installed would leave accented names unusable).
set(ZIZ_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY LC_ALL=C.UTF-8
    WINEPREFIX=${ZIZ_WINEPREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml=
    /usr/lib/wine/wine64)
