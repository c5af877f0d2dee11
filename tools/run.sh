#!/bin/sh
# Installs what is needed, builds the Linux program and starts it.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset linux
cmake --build --preset linux
# Until the window exists, the conversion runs end to end on a generated card.
exec build/linux/benchmark/convert_benchmark 64
