#!/usr/bin/env bash
# The whole check: set-up, normal build with every test, a sanitizer build running the tests
# again (the corpus walk among them), then each fuzz target for a short time on its seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/check-format.sh
jobs=$(nproc)
fuzz_seconds=${IMPPRET_FUZZ_SECONDS:-45}

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build -j "$jobs" --output-on-failure | tee build/ctest.log

echo "== sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)"
# Every parser of untrusted input is plain C++; the widget tests ran above.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DIMPPRET_SANITIZE=ON \
  -DIMPPRET_GUI=OFF -DCMAKE_CXX_FLAGS=-O1 >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan -j "$jobs" --output-on-failure | tee build-asan/ctest.log

echo "== fuzz targets (${fuzz_seconds}s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DIMPPRET_FUZZ=ON -DIMPPRET_GUI=OFF -DIMPPRET_TESTS=OFF -DIMPPRET_BENCH=OFF >/dev/null
cmake --build build-fuzz -j "$jobs" --target $(cut -d'|' -f1 build-fuzz/fuzzers.txt)
fuzz_failed=0
while IFS='|' read -r target seeds; do
  [ -n "$target" ] || continue
  work=$(mktemp -d)
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/ 2>/dev/null || true
  # Real files named beside the seed folder join the seeds; they stay outside the repository.
  real="$(dirname "$seeds")/real-seeds.txt"
  if [ -f "$real" ]; then
    grep -v '^#' "$real" | while read -r f; do
      [ -f "../shared/paradox-real/$f" ] && cp "../shared/paradox-real/$f" "$work/${f//\//_}"
    done || true
  fi
  # The reader must cost linear time: an input that takes a second is a failure there.
  per_input=10
  case "$target" in reader_*) per_input=1 ;; esac
  echo "-- $target"
  log="$work.log"
  if (cd build-fuzz && ./"$(find . -name "$target" -type f -perm -u+x | head -n1)" \
        -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout="$per_input" -print_final_stats=0 \
        -artifact_prefix="$work.found-" "$work" >"$log" 2>&1); then
    tail -n 3 "$log"
  else
    # A failure is kept whole: the report and the input that caused it, to reproduce it later.
    fuzz_failed=$((fuzz_failed + 1))
    tail -n 80 "$log"
    for found in "$work".found-*; do
      [ -f "$found" ] || continue
      echo "input $(basename "$found") ($(stat -c %s "$found") bytes), base64:"
      head -c 4096 "$found" | base64 -w 100
    done
  fi
  rm -rf "$work" "$log" "$work".found-*
done < build-fuzz/fuzzers.txt

passed=$(grep -ohE '[0-9]+ tests failed out of [0-9]+' build/ctest.log build-asan/ctest.log |
  awk '{f+=$1; t+=$6} END {print t-f}')
failed=$(grep -ohE '[0-9]+ tests failed out of [0-9]+' build/ctest.log build-asan/ctest.log |
  awk '{f+=$1} END {print f}')
failed=$((failed + fuzz_failed))
echo "summary: ${passed} passed, ${failed} failed"
[ "$failed" -eq 0 ]
