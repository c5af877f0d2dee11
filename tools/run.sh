#!/bin/sh
# Installs what is needed, builds the Linux program and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux --target mirvane
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Mirvane on a virtual one (Xvfb); stop it with Ctrl+C." >&2
  exec xvfb-run -a build/linux/window/qt/mirvane
fi
exec build/linux/window/qt/mirvane
