#!/usr/bin/env bash
# Installs what is missing, checks the formatting, builds the sanitizer build
# and runs every test, builds the fuzz targets and runs each for a few seconds
# on its corpus, then builds the headless-only robot (no Qt Gui or Widgets) and
# runs the end-to-end tests against it, the ones that start the real binary
# (the PostgreSQL twins, and the libraries' own tests, have run once already,
# built from the same sources); last, builds the Debian
# package (release build, no tests) and checks it installed
# (scripts/package-check.sh; as root, or through sudo).
#   scripts/test.sh [CTEST ARGS]
set -euo pipefail
cd "$(dirname "$0")/.."

# Runs a test preset. LeakSanitizer's own tracer now and then crashes while it
# looks for leaks at a test program's exit ("LeakSanitizer has encountered a
# fatal error"): a fault of the sanitizer under load, not of the test, which
# passed. When every failed test failed that way, those tests run once more.
# Any other failure, a leak found included, fails the run as it stands.
run_tests() {
  local preset=$1 dir=$2
  shift 2
  ctest --preset "$preset" "$@" && return 0
  local failed crashed
  failed=$(grep -c . "$dir/Testing/Temporary/LastTestsFailed.log" || true)
  crashed=$(awk '/^[0-9]+\/[0-9]+ Testing: / { crash = 0 }
                 /^==[0-9]+==LeakSanitizer has encountered a fatal error/ { crash = 1 }
                 /^Test Failed\./ && crash { n++ }
                 END { print n + 0 }' "$dir/Testing/Temporary/LastTest.log")
  [ "$failed" -gt 0 ] && [ "$crashed" -eq "$failed" ] || return 1
  echo "test.sh: $failed test(s) failed only by a crash of LeakSanitizer's tracer; running them again" >&2
  ctest --preset "$preset" --rerun-failed "$@"
}

scripts/setup.sh
scripts/check-format.sh
cmake --preset asan
cmake --build --preset asan
run_tests asan build-asan "$@"
scripts/fuzz.sh 5
cmake --preset headless
cmake --build --preset headless
run_tests headless build-headless "$@"
cmake --preset package
cmake --build --preset package
(cd build-package && rm -f robot-fiscal_*.deb && cpack -G DEB >/dev/null)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO scripts/package-check.sh build-package/robot-fiscal_*.deb
