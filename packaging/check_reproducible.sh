#!/bin/sh
# Builds the release files of the last commit twice, each time from a fresh
# clone in folders of its own, one build after the other, and fails unless
# Mirvane.exe, the Windows zip, the .deb and the .tar.gz come out byte for byte
# the same. Where two differ, prints the differing offsets (cmp -l, 1-based)
# and bytes. Outside a git checkout the sources are copied instead, with their
# times. SOURCE_DATE_EPOCH is left to the build to find.
set -eu
cd "$(dirname "$0")/.."
unset SOURCE_DATE_EPOCH
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if git rev-parse --git-dir >/dev/null 2>&1; then
  [ -z "$(git status --porcelain --untracked-files=no)" ] ||
    echo "note: changes not yet committed are not part of this check"
  copy_sources() { git clone -q "$PWD" "$1"; }
else
  copy_sources() { mkdir -p "$1" && tar --exclude=./build -cf - . | tar -xf - -C "$1"; }
fi

build() {
  src="$scratch/$1/src"
  copy_sources "$src"
  (
    cd "$src"
    cmake --preset linux -DMIRVANE_BUILD_TESTS=OFF -DMIRVANE_BUILD_BENCHMARK=OFF \
      -DMIRVANE_CHECK_TIDY=OFF >/dev/null
    cmake --build --preset linux -j2 >/dev/null
    (cd build/linux && cpack >/dev/null)
    cmake --preset windows -DMIRVANE_BUILD_TESTS=OFF >/dev/null
    cmake --build --preset windows -j2 --target Mirvane >/dev/null
    (cd build/windows && cpack >/dev/null)
  )
  mkdir -p "$scratch/$1/out"
  cp "$src"/build/windows/window/win/Mirvane.exe "$src"/build/windows/Mirvane-*-windows.zip \
    "$src"/build/linux/mirvane_*.deb "$src"/build/linux/mirvane-*.tar.gz "$scratch/$1/out/"
  echo "build $1 done at $(date -u +%H:%M:%S) in $src"
}

build first
build second
status=0
for file in "$scratch"/first/out/*; do
  name=$(basename "$file")
  other="$scratch/second/out/$name"
  if cmp -s "$file" "$other"; then
    echo "same: $(sha256sum "$file" | cut -d' ' -f1) $name"
  else
    status=1
    echo "DIFFERENT: $name ($(cmp -l "$file" "$other" 2>/dev/null | wc -l) bytes differ; sizes" \
      "$(stat -c %s "$file") and $(stat -c %s "$other")); first offsets, bytes in octal:"
    cmp -l "$file" "$other" 2>/dev/null | head -n 20 || true
  fi
done
exit "$status"
