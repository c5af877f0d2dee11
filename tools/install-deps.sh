#!/bin/sh
# Installs from Debian 12's packages what one kind of work on Mirvane needs:
#   run   build and start the Linux program: compiler, CMake, Qt, and Xvfb for
#         a machine without a display;
#   art   redraw the artwork (tools/make_art.py draws with Pillow);
#   test  build and test everything (the default): both front ends, Wine,
#         the sanitizers, the fuzzers and the package checks.
# Safe to run again; asks for sudo when not root.
set -eu

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

run_packages="cmake ninja-build g++ pkg-config qt6-base-dev xvfb xauth"
art_packages="python3 python3-pil"
# fusefat, dosfstools and e2fsprogs: the fault tests save onto real FAT (through
# FUSE) and ext4 file systems made for them.
test_packages="$run_packages libgtest-dev libgmock-dev googletest
  clang libclang-rt-14-dev clang-tidy
  x11-utils xdotool dpkg-dev file desktop-file-utils appstream
  fusefat dosfstools e2fsprogs mount
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 g++-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 wine wine32 wine64
  lintian zip"

kind=${1:-test}
case $kind in
  run) packages=$run_packages ;;
  art) packages=$art_packages ;;
  test) packages=$test_packages ;;
  *) echo "usage: $0 [run|art|test]" >&2; exit 2 ;;
esac

missing=""
for package in $packages; do
  dpkg-query -W -f '${Status}' "$package" 2>/dev/null | grep -q 'ok installed' ||
    missing="$missing $package"
done
if [ -n "$missing" ]; then
  # wine32 is an i386 package.
  if [ "$kind" = test ]; then
    dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $missing
fi
[ "$kind" = test ] || exit 0

# Wine runs 32-bit Windows programs with 32-bit Linux code. Where the kernel
# cannot run that itself (some virtual machines), qemu's user-mode emulator
# is registered to do it.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  dpkg-query -W -f '${Status}' qemu-user-static 2>/dev/null | grep -q 'ok installed' ||
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
      qemu-user-static
  binfmt=/proc/sys/fs/binfmt_misc
  [ -e "$binfmt/register" ] || as_root mount -t binfmt_misc binfmt_misc "$binfmt"
  if [ ! -e "$binfmt/qemu-i386" ]; then
    magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
    mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
    as_root sh -c "printf '%s\n' ':qemu-i386:M::$magic:$mask:/usr/bin/qemu-i386-static:F' \
      > $binfmt/register"
  fi
  /usr/lib/wine/wine --version >/dev/null
fi
