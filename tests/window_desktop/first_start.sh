#!/usr/bin/env bash
# First start on a fresh HOME through the main job (scripts/run.sh), on a virtual desktop with
# a window manager: the demo data root is created with the window's first choices, the window
# opens on the first demo company and the folder of its price lists, and "&Start import"
# pressed at once runs an import that ends in its summary.
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done

export HOME="$work/home" IMPPRET_HOME="$work/config"
unset IMPPRET_ALIASES IMPPRET_DEMO_ROOT
mkdir -p "$HOME"
(cd "$repo" && exec bash scripts/run.sh) > "$work/run.log" 2>&1 &
pids+=($!)
window=""
for _ in $(seq 600); do
  window=$(xdotool search --name '^Import preturi  de vanzare$' 2>/dev/null | head -n1 || true)
  [ -n "$window" ] && break
  sleep 0.2
done
[ -n "$window" ] || { cat "$work/run.log" >&2; fail "the window did not open"; }
sleep 1

ini="$IMPPRET_HOME/ImpPretExcel.Ini"
demo="$HOME/ImpPretExcel-demo"
grep -q '^FirmaCurenta=ALFA' "$ini" || fail "no first company in $ini"
grep -qF "FisierImport=$demo/Preturi furnizor.xls" "$ini" || fail "no demo price list in $ini"
[ -n "${IMPPRET_LOOK_DIR:-}" ] && import -window root "$IMPPRET_LOOK_DIR/first_start.png"

# "&Start import", the button at the right end of the bottom row but one.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 396 + 75)) $((Y + 634 + 17)) click 1
summary=""
for _ in $(seq 300); do
  summary=$(xdotool search --name '^Informatie\.\.\.$' 2>/dev/null | head -n1 || true)
  [ -n "$summary" ] && break
  if xdotool search --name '^EROARE !$' >/dev/null 2>&1; then
    [ -n "${IMPPRET_LOOK_DIR:-}" ] && import -window root "$IMPPRET_LOOK_DIR/first_start_error.png"
    fail "the import was refused"
  fi
  sleep 0.2
done
[ -n "$summary" ] || fail "no summary after \"&Start import\""
[ -n "${IMPPRET_LOOK_DIR:-}" ] && import -window root "$IMPPRET_LOOK_DIR/first_start_summary.png"
# The table is read whole first: grep -q stops at the first match, and under pipefail the
# writer's broken pipe would count as a failure.
records=$("$repo/build/app/imppret" table "$demo/ALFA/Nart.DB")
grep -q '"CodExtern":"1001".*"PretVanzare":41.51' <<< "$records" ||
  fail "the first price of the demo list was not imported"
echo "first start: company ALFA, the demo price list, an import run at once"
