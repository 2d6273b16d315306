#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need (the package test makes the .deb with
# cpack, whose library scan runs file, and checks it with lintian). Safe to run again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6opengl6-dev qt6-charts-dev
  qt6-translations-l10n qt6-l10n-tools libgl1-mesa-dev
  libxlsxwriter-dev libsqlite3-dev sqlite3 fonts-wqy-microhei unzip clang-format
  desktop-file-utils appstream dpkg-dev file lintian
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
