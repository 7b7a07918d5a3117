#!/usr/bin/env bash
# Installs what the build and the tests need on a fresh Debian 12 machine. Idempotent: packages
# already present are not fetched again.
set -euo pipefail
packages=(
  build-essential cmake ninja-build clang libclang-rt-14-dev
  libgtest-dev libsqlite3-dev qt6-base-dev libqt6test6 libgl-dev
  pxlib-dev fonts-dejavu-core
  python3-xlrd libfreexl-dev
  libreoffice-calc-nogui libzip-dev libisal-dev libexpat1-dev python3-openpyxl python3-xlsxwriter gnumeric
  libxcb1-dev xvfb openbox xdotool x11-utils imagemagick
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
