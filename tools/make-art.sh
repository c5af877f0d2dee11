#!/bin/sh
# Installs what drawing the artwork needs, then redraws it into window/art/.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh art
exec /usr/bin/python3 tools/make_art.py
