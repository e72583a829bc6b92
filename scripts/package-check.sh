#!/usr/bin/env bash
# Checks the Debian package as a shop would use it: lintian finds no error,
# dpkg installs it with its documentation, schemas and example configuration,
# the service unit rates OK in systemd's security analysis, the installed
# program makes a demo under /var/lib/robot-fiscal as the package's user,
# passes `verificar` on it and runs it headless (systemd need not run: the
# program is started directly), answers `estado` by the instance's name,
# stops cleanly, and the package purges without leaving its files or the
# instances' enable links. Needs root.
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
for doc in man/man1/robot-fiscal.1.gz doc/robot-fiscal/README.md doc/robot-fiscal/installing.md \
  doc/robot-fiscal/sql/main-schema-postgresql.sql doc/robot-fiscal/ejemplo/Vextora.inf \
  doc/robot-fiscal/ejemplo/robot-fiscal.ini; do
  dpkg -L robot-fiscal | grep -qx "/usr/share/$doc" || { echo "not installed: /usr/share/$doc"; exit 1; }
done
grep -q '^Datos:/var/lib/robot-fiscal/NOMBRE/' /usr/share/doc/robot-fiscal/ejemplo/Vextora.inf

# The unit's exposure, as systemd rates it: "OK" (below 5.0) or better.
cp /lib/systemd/system/robot-fiscal@.service "$work/robot-fiscal@check.service"
systemd-analyze security --offline=yes --threshold=49 "$work/robot-fiscal@check.service" \
  >"$work/security" || { cat "$work/security"; exit 1; }

# setpriv runs the program itself: no process stands between it and the
# signals it is sent.
as_robot=(setpriv --reuid=robot-fiscal --regid=robot-fiscal --init-groups --)
install -d -o robot-fiscal -g robot-fiscal -m 0750 "$demo"
"${as_robot[@]}" robot-fiscal --create-demo "$demo" >/dev/null
printf '[timing]\nScale=0.01\n' >> "$demo/robot-fiscal.ini"
"${as_robot[@]}" robot-fiscal --dir "$demo" verificar >"$work/verify" || { cat "$work/verify"; exit 1; }
"${as_robot[@]}" robot-fiscal --dir "$demo" --headless >"$work/out" 2>"$work/err" &
robot=$!
# Until it prints the demo's last credit note (it listens from the start).
for _ in $(seq 600); do
  grep -q 'impresa nota 205' "$work/out" && break
  kill -0 "$robot" || break
  sleep 0.1
done
grep -q 'impresa nota 205' "$work/out" || { cat "$work/out" "$work/err"; exit 1; }
"${as_robot[@]}" robot-fiscal --instancia ci-demo estado
"${as_robot[@]}" env ROBOT_FISCAL_INSTANCIA=ci-demo robot-fiscal estado --json | grep -q '"pendientes":{"facturas":0,"notas":0}'
kill -TERM "$robot"
status=0
wait "$robot" || status=$?
robot=""
[ "$status" -eq 0 ] || { echo "the robot ended with $status"; cat "$work/err"; exit 1; }
[ ! -e "$demo/robot-fiscal.sock" ]

rm -rf "$demo"
# Enabled instances, as systemctl enable leaves them.
mkdir -p /etc/systemd/system/multi-user.target.wants /etc/systemd/system/timers.target.wants
links=(/etc/systemd/system/multi-user.target.wants/robot-fiscal@ci-demo.service
  /etc/systemd/system/timers.target.wants/robot-fiscal-cierre-z@ci-demo.timer)
ln -sf /lib/systemd/system/robot-fiscal@.service "${links[0]}"
ln -sf /lib/systemd/system/robot-fiscal-cierre-z@.timer "${links[1]}"
dpkg --purge robot-fiscal >/dev/null
for gone in /usr/bin/robot-fiscal /usr/lib/robot-fiscal /lib/systemd/system/robot-fiscal@.service \
  /var/lib/robot-fiscal /usr/share/doc/robot-fiscal "${links[@]}"; do
  [ ! -e "$gone" ] || { echo "left after purge: $gone"; exit 1; }
done
echo "Package verified: $(basename "$deb")"
