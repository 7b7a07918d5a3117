#!/usr/bin/env bash
# The main job on a fresh Debian 12 machine: set-up, build, and start the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target imppret
sample=$(ls tests/data/reader/*.xls 2>/dev/null | head -n 1 || true)
[ -n "$sample" ] && exec ./build/app/imppret dump "$sample"
echo "no sample workbook yet"
