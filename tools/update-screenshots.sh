#!/bin/sh
# Refreshes the screenshots in docs/ from the ones the tests took in the build
# trees (the tests never write into the source tree). Run it after
# tools/test.sh, or after the window tests of the linux and windows presets.
set -eu
cd "$(dirname "$0")/.."
for shot in build/linux/screenshots/screenshot-linux.png \
            build/windows/screenshots/screenshot-windows.png \
            build/windows/screenshots/screenshot-windows-144dpi.png; do
  if [ ! -f "$shot" ]; then
    echo "missing $shot: run the window tests of its build first" >&2
    exit 1
  fi
  cp "$shot" docs/
done
echo "docs/ now holds the screenshots of the last test runs"
