#!/usr/bin/env bash
# Installs what is missing, builds, makes a demo installation and runs the
# robot on it: with its window where there is a display, headless otherwise.
#   scripts/run-demo.sh [DIR [HKA|SAMSUNG|DASCOM]]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset dev
# Only what the demo runs: the robot and the simulated printer.
cmake --build --preset dev --target robot-fiscal fiscalsim
demo="${1:-$PWD/demo}"
if [ ! -e "$demo/Vextora.inf" ]; then
  # Refuses (and stops here) when DIR exists and holds anything else.
  build/robot-fiscal --create-demo "$demo" --printer "${2:-HKA}"
fi
exec build/robot-fiscal --dir "$demo"
