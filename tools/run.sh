#!/bin/sh
# Installs what building and running the Linux program needs (no test tools),
# builds it and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh run
cmake --preset app
cmake --build --preset app --target mirvane
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Mirvane on a virtual one (Xvfb); stop it with Ctrl+C." >&2
  exec xvfb-run -a build/app/window/qt/mirvane
fi
exec build/app/window/qt/mirvane
