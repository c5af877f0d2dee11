#!/bin/sh
# Installs what is needed, then builds and runs every test of both builds:
# Linux natively, then 32-bit and 64-bit Windows under Wine on a virtual X
# display.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --workflow --preset linux
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
  'cmake --workflow --preset windows && cmake --workflow --preset windows64'
