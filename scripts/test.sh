#!/usr/bin/env bash
# Installs what is missing, builds the sanitizer build and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset asan
cmake --build --preset asan
ctest --preset asan "$@"
