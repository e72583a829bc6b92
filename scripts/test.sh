#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds the sanitizer build
# and runs every test, builds the fuzz targets and runs each for a few seconds
# on its corpus, then builds the headless-only robot (no Qt Gui or Widgets) and
# runs the tests that need no window against it (the PostgreSQL twins of the
# engine suites have run once already, with the same robot); last, builds the Debian
# package (release build, no tests) and checks it installed
# (scripts/package-check.sh; as root, or through sudo).
#   scripts/test.sh [CTEST ARGS]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/check-format.sh
cmake --preset asan
cmake --build --preset asan
ctest --preset asan "$@"
scripts/fuzz.sh 5
cmake --preset headless
cmake --build --preset headless
ctest --preset headless "$@"
cmake --preset package
cmake --build --preset package
(cd build-package && rm -f robot-fiscal_*.deb && cpack -G DEB >/dev/null)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO scripts/package-check.sh build-package/robot-fiscal_*.deb
