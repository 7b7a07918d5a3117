#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: set-up, build, a demo data root when no alias
# "Tarvex" is configured yet, then the program's window.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target ImpPretExcel imppret

# The settings, the error list and the alias configuration live beside the executables (or in
# ~/.config/ImpPretExcel when that folder is not writable, or in $IMPPRET_HOME when set).
aliases="${IMPPRET_ALIASES:-${IMPPRET_HOME:-$PWD/build/app}/aliases.ini}"
if ! grep -qi '^\[tarvex\]' "$aliases" 2>/dev/null; then
  demo="${IMPPRET_DEMO_ROOT:-$HOME/ImpPretExcel-demo}"
  if [ -e "$demo/Firme.DB" ]; then
    echo "Demo data root $demo exists; pointing the alias Tarvex at it."
    mkdir -p "$(dirname "$aliases")"
    printf '[Tarvex]\r\nPATH=%s\r\nDEFAULT DRIVER=PARADOX\r\n' "$demo" > "$aliases"
  else
    # A fresh demo also gets the window's first choices: its first company, the folder of its
    # price lists and their columns, so that "&Start import" runs at once.
    ./build/app/imppret demo "$demo" --settings
  fi
fi

# Without a display (a bare server), run it on a virtual one.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  if ! command -v xvfb-run >/dev/null; then
    echo "No display; install xvfb (apt-get install xvfb) or run from a desktop session." >&2
    exit 1
  fi
  exec xvfb-run -a ./build/app/ImpPretExcel
fi
exec ./build/app/ImpPretExcel
