#!/usr/bin/env bash
# Installs, on Debian 12, every package robot-fiscal needs to build, run and
# test, and only those that are missing.
#   scripts/setup.sh [--screenshot]   (--screenshot: also a virtual X display)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql qt6-qpa-plugins
  libsqlite3-dev sqlite3
  libpq-dev postgresql
  libsystemd-dev                # sd_notify: readiness, watchdog and status under systemd
  libgtest-dev googletest
  desktop-file-utils
  lintian systemd
  clang-format-14 git
  clang-14 libclang-rt-14-dev   # the fuzz targets: clang and its libFuzzer
)
if [ "${1:-}" = "--screenshot" ]; then
  packages+=(xvfb xauth fonts-dejavu-core)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
