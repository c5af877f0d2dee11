#!/bin/sh
# Runs a Windows program of the build under Wine, in a Wine prefix of the
# build tree's own; quiet, and without the offers to install Mono or Gecko
# that would stop an unattended run. The 64-bit loader starts 64-bit programs
# itself and hands 32-bit ones to the 32-bit loader, without the detour
# through a 32-bit start.exe that the plain "wine" launcher takes.
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${MIRVANE_WINEPREFIX:-$here/../build/windows/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
