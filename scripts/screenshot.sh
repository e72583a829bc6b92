#!/usr/bin/env bash
# Takes docs/window.png: the operator's window on a fresh demo installation,
# showing its waiting invoices, credit notes and tickets, on a virtual display.
#   scripts/screenshot.sh [PNG]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --screenshot
cmake --preset dev
cmake --build --preset dev --target robot-fiscal console-screenshot fiscalsim
png="${1:-docs/window.png}"
mkdir -p "$(dirname "$png")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
build/robot-fiscal --create-demo "$work/demo" >/dev/null
# A real X display, not Qt's offscreen platform, so that the window is drawn
# with the fonts and style an operator sees.
env -u QT_QPA_PLATFORM -u WAYLAND_DISPLAY LC_ALL=C.UTF-8 \
  xvfb-run -a -s "-screen 0 1280x800x24" build/console-screenshot "$work/demo" "$png"
