#!/bin/sh
# Checks the systemd units with systemd-analyze verify, as instance "demo" of
# each template, the program path pointed at BINARY (verify wants it to
# exist). Any complaint fails, warnings too.
#   packaging/verify-units.sh BINARY
set -eu
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for unit in robot-fiscal@.service robot-fiscal-cierre-z@.service robot-fiscal-cierre-z@.timer; do
  sed "s|/usr/bin/robot-fiscal|$1|g" "$here/$unit" > "$work/$(echo "$unit" | sed 's/@/@demo/')"
done
cd "$work"
out=$(systemd-analyze verify --man=no ./robot-fiscal@demo.service \
  ./robot-fiscal-cierre-z@demo.service ./robot-fiscal-cierre-z@demo.timer 2>&1) || status=$?
if [ -n "$out" ] || [ "${status:-0}" -ne 0 ]; then
  printf '%s\n' "$out"
  exit 1
fi
