#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds the sanitizer build
# and runs every test, builds the fuzz targets and runs each for a few seconds
# on its corpus, then builds the headless-only robot (no Qt Gui or Widgets) and
# runs the tests that need no window against it.
#   scripts/test.sh [CTEST ARGS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh
cmake --preset asan
cmake --build --preset asan
ctest --preset asan "$@"
scripts/fuzz.sh 10
cmake --preset headless
cmake --build --preset headless
ctest --preset headless "$@"
