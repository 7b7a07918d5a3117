#!/usr/bin/env bash
# Rebuilds the PNG pictures of the image store from tools/DrawPictures.cxx (needs qt6-base-dev).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
g++ -std=c++20 -O1 -fPIC "$here/tools/DrawPictures.cxx" -o "$tmp/DrawPictures" \
  $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$tmp/DrawPictures" "$here/png"
