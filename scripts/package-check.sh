#!/usr/bin/env bash
# Checks the Debian package as a shop would use it: lintian finds no error,
# dpkg installs it, the installed program makes a demo under
# /var/lib/robot-fiscal as the package's user and runs it headless (systemd
# need not run: the program is started directly), answers `estado`, stops
# cleanly, and the package purges without leaving its files. Needs root.
#   scripts/package-check.sh build-package/robot-fiscal_VERSION_ARCH.deb
set -euo pipefail
deb="$1"
demo=/var/lib/robot-fiscal/ci-demo
work=$(mktemp -d)
robot=""
cleanup() {
  [ -n "$robot" ] && kill "$robot" 2>/dev/null || true
  rm -rf "$work" "$demo"
  if dpkg-query -W -f='${Status}' robot-fiscal 2>/dev/null | grep -q installed; then
    dpkg --purge robot-fiscal >/dev/null
  fi
}
trap cleanup EXIT

lintian --fail-on error "$deb"
dpkg -i "$deb" >/dev/null
id -nG robot-fiscal | grep -qw dialout
dpkg -L robot-fiscal | grep -q "^/usr/share/man/man1/robot-fiscal.1.gz$"

# setpriv runs the program itself: no process stands between it and the
# signals it is sent.
as_robot=(setpriv --reuid=robot-fiscal --regid=robot-fiscal --init-groups --)
install -d -o robot-fiscal -g robot-fiscal -m 0750 "$demo"
"${as_robot[@]}" robot-fiscal --create-demo "$demo" >/dev/null
printf '[timing]\nScale=0.01\n' >> "$demo/robot-fiscal.ini"
"${as_robot[@]}" robot-fiscal --dir "$demo" --headless >"$work/out" 2>"$work/err" &
robot=$!
# Until it prints the demo's last credit note (it listens from the start).
for _ in $(seq 600); do
  grep -q 'impresa nota 205' "$work/out" && break
  kill -0 "$robot" || break
  sleep 0.1
done
grep -q 'impresa nota 205' "$work/out" || { cat "$work/out" "$work/err"; exit 1; }
"${as_robot[@]}" robot-fiscal --dir "$demo" estado
"${as_robot[@]}" robot-fiscal --dir "$demo" estado --json | grep -q '"pendientes":{"facturas":0,"notas":0}'
kill -TERM "$robot"
status=0
wait "$robot" || status=$?
robot=""
[ "$status" -eq 0 ] || { echo "the robot ended with $status"; cat "$work/err"; exit 1; }
[ ! -e "$demo/robot-fiscal.sock" ]

rm -rf "$demo"
dpkg --purge robot-fiscal >/dev/null
for gone in /usr/bin/robot-fiscal /usr/lib/robot-fiscal /lib/systemd/system/robot-fiscal@.service \
  /var/lib/robot-fiscal; do
  [ ! -e "$gone" ] || { echo "left after purge: $gone"; exit 1; }
done
echo "Package verified: $(basename "$deb")"
