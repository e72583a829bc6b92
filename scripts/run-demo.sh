#!/usr/bin/env bash
# Installs what is missing, builds, makes a demo installation and runs the
# robot on it: with its window where there is a display, headless otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake --preset dev
cmake --build --preset dev
demo="${1:-$PWD/demo}"
if [ ! -e "$demo/Vextora.inf" ]; then
  rm -rf "$demo"
  mkdir -p "$demo"
  # Until --create-demo exists: a hand-made program directory.
  printf 'Datos:%s/\r\nImpresora:HKA\r\nPuerto:COM1\r\n80Columnas:-1\r\nSerial:Z1B1234567\r\nCaja:1\r\n' "$demo" > "$demo/Vextora.inf"
  : > "$demo/KardolenTerminalUpd.inf"
fi
exec build/robot-fiscal --dir "$demo"
