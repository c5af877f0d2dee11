#!/bin/sh
# Installs what is needed, then builds and runs every test: Linux natively
# (with clang-tidy and the package checks, lintian among them), again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the fuzz targets for about a
# minute, the 32-bit and 64-bit Windows builds under Wine on a virtual X
# display, and finally two more builds of the release files, which must be
# byte for byte the same.
set -eu
cd "$(dirname "$0")/.."
tools/install-deps.sh test
cmake --workflow --preset linux
cmake --workflow --preset sanitize
cmake --workflow --preset fuzz
xvfb-run -a -s "-screen 0 1024x768x24" sh -c \
  'cmake --workflow --preset windows && cmake --workflow --preset windows64'
packaging/check_reproducible.sh
