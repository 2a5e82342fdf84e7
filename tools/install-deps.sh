#!/usr/bin/env bash
# Installs every Debian 12 package that building, running and testing Quillroll needs.
# Idempotent and non-interactive; must run as root (or through sudo).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git ccache
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6test6 libqt6printsupport6
  libjpeg-dev libpng-dev zlib1g-dev
  libsqlite3-dev libssl-dev nlohmann-json3-dev
  unixodbc unixodbc-dev odbcinst libsqliteodbc
  libgsf-1-dev
  python3-xlwt python3-xlrd
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei fonts-wqy-microhei
  xvfb xauth
  poppler-utils
  afl++
  lintian desktop-file-utils appstream dpkg-dev fakeroot file
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
