#!/bin/sh
# Takes the README's screenshots anew and copies them into docs/: the Linux
# window from the linux build, the Windows window under Wine, on a virtual X
# display, from the windows build. Run it after tools/test.sh has built both
# (or after `cmake --workflow --preset linux` and `... windows`).
set -eu
cd "$(dirname "$0")/.."
cmake --build --preset linux --target screenshots
xvfb-run -a -s "-screen 0 1024x768x24" cmake --build --preset windows --target screenshots
cp build/linux/screenshots/*.png build/windows/screenshots/*.png docs/
echo "docs/ now holds the screenshots just taken"
