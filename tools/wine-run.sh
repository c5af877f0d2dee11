#!/bin/sh
# Runs a Windows program of the build under Wine, in a Wine prefix of the
# build tree's own (shared by the Windows builds); quiet, and without the
# offers to install Mono or Gecko that would stop an unattended run. The
# 64-bit loader starts 64-bit programs itself and hands 32-bit ones to the
# 32-bit loader, without the detour through a 32-bit start.exe that the
# plain "wine" launcher takes.
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${MIRVANE_WINEPREFIX:-$here/../build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# A crashing program ends instead of waiting in the debugger.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
# Where 32-bit Linux code only runs emulated (see install-deps.sh), Wine's
# 32-bit side cannot run windows reliably (window callbacks from more than
# one thread break, and the common dialogs and OLE use several); tests that
# show windows learn it from this variable.
if grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386; then
  export MIRVANE_I386_EMULATED=1
fi
exec /usr/lib/wine/wine64 "$@"
