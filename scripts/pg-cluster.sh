#!/usr/bin/env bash
# A throwaway PostgreSQL cluster for the tests and the benchmarks: made with
# initdb in a fresh directory under /tmp, run as the postgres user when
# started by root, listening on a Unix socket only, trust authentication for
# local connections (user postgres). DIR only records where the cluster is.
#
#   scripts/pg-cluster.sh start DIR        makes the cluster (first time) and starts it
#   scripts/pg-cluster.sh stop DIR         stops it, keeping its data (start brings it back)
#   scripts/pg-cluster.sh destroy DIR      stops it and removes it
#   scripts/pg-cluster.sh destroy-all ROOT every cluster recorded in a directory under ROOT
#
# After start, DIR/socket holds the socket directory (PGHOST); the port is 5432.
set -euo pipefail

action=${1:-}
dir=${2:-}
[ -n "$action" ] && [ -n "$dir" ] || { sed -n '2,12p' "$0" >&2; exit 64; }

bin=${PG_BIN:-$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)}
[ -x "$bin/pg_ctl" ] || { echo "pg-cluster: PostgreSQL server binaries not found (PG_BIN)" >&2; exit 1; }

# The server refuses to run as root.
as_owner() {
  if [ "$(id -u)" -eq 0 ]; then
    runuser -u postgres -- "$@"
  else
    "$@"
  fi
}

stop_cluster() {
  local home
  home=$(cat "$1/home" 2>/dev/null) || return 0
  if [ -f "$home/data/postmaster.pid" ]; then
    as_owner "$bin/pg_ctl" -D "$home/data" -m fast -w -t 60 stop >/dev/null 2>&1 ||
      as_owner "$bin/pg_ctl" -D "$home/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
}

destroy_cluster() {
  local home
  home=$(cat "$1/home" 2>/dev/null) || { rm -rf "$1"; return 0; }
  stop_cluster "$1"
  case "$home" in /tmp/robot-fiscal-pg.*) rm -rf "$home" ;; esac
  rm -rf "$1"
}

case "$action" in
start)
  mkdir -p "$dir"
  home=$(cat "$dir/home" 2>/dev/null || true)
  if [ -z "$home" ] || [ ! -d "$home/data" ]; then
    # A short path: a socket's path is limited to about 100 bytes.
    home=$(mktemp -d /tmp/robot-fiscal-pg.XXXXXX)
    chmod 755 "$home"
    [ "$(id -u)" -ne 0 ] || chown postgres:postgres "$home"
    as_owner "$bin/initdb" -D "$home/data" -U postgres -A trust -E UTF8 --locale=C.UTF-8 \
      --no-sync --no-instructions >"$home/initdb.log" 2>&1 ||
      { cat "$home/initdb.log" >&2; exit 1; }
    echo "$home" >"$dir/home"
  fi
  # One left running by a run that was cut short is used as it is.
  if as_owner "$bin/pg_ctl" -D "$home/data" status >/dev/null 2>&1; then
    echo "$home" >"$dir/socket"
    exit 0
  fi
  # Speed over durability: nothing here outlives the run.
  as_owner "$bin/pg_ctl" -D "$home/data" -l "$home/server.log" -w -t 60 \
    -o "-c listen_addresses='' -c unix_socket_directories='$home' -c fsync=off \
        -c synchronous_commit=off -c full_page_writes=off" start >/dev/null ||
    { cat "$home/server.log" >&2; exit 1; }
  echo "$home" >"$dir/socket"
  ;;
stop)
  stop_cluster "$dir"
  ;;
destroy)
  destroy_cluster "$dir"
  ;;
destroy-all)
  [ -d "$dir" ] || exit 0
  for d in "$dir"/*/; do
    [ ! -d "$d" ] || destroy_cluster "${d%/}"
  done
  ;;
*)
  sed -n '2,12p' "$0" >&2
  exit 64
  ;;
esac
