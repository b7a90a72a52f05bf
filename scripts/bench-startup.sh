#!/usr/bin/env bash
# Start-up benchmark: time from launch to the settled board of tessarino.exe against a minimal Win32 window program, bare and with the game's manifest.
#
# Uses what the Windows build made (builds nothing): game/tessarino.exe,
# game/minimal_window.exe (no manifest) and game/minimal_window_manifest.exe (tessarino.exe's
# manifest: common controls 6, the Windows versions, DPI awareness); TESS_BUILD picks another
# build folder (default build/windows). Each program writes the time at which its window has
# painted everything it asked for to the file named by TESS_STARTUP_MARK and closes again.
# Each round starts the three in a rotating order; the medians and the ratios are printed, and
# the median time of each start-up step of the game from its trace (TESS_STARTUP_TRACE).
# Usage: scripts/bench-startup.sh [runs]   (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TESS_BUILD:-build/windows}"
runs="${1:-15}"
names=(game bare manifest)
declare -A exe=(
  [game]="$PWD/$build/game/tessarino.exe"
  [bare]="$PWD/$build/game/minimal_window.exe"
  [manifest]="$PWD/$build/game/minimal_window_manifest.exe")
for n in "${names[@]}"; do
  if [ ! -f "${exe[$n]}" ]; then echo "missing ${exe[$n]}: build the Windows preset first"; exit 1; fi
done

. scripts/wine-session.sh
TESS_OWN_DISPLAY=1 wine_session_start "$PWD/$build/e2e-prefix"
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
winpath() { echo "Z:$(tr / '\\' <<<"$1")"; }
mark="$work/mark"
trace="$work/trace"

# The game starts from its defaults with sound off, every run alike.
appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
reset_settings() {
  mkdir -p "$appdata/Kvor"
  printf '\xEF\xBB\xBFSound=0\r\n' >"$appdata/Kvor/Zib.ini"
}

# One run: milliseconds from launch to the mark; the game's trace lines, as milliseconds since
# the launch, go to $work/steps.
run_once() {
  rm -f "$mark" "$trace"
  [ "$1" = game ] && reset_settings
  local start end
  start=$(date +%s%N)
  TESS_STARTUP_MARK="$(winpath "$mark")" TESS_STARTUP_TRACE="$(winpath "$trace")" wine "${exe[$1]}" >/dev/null 2>&1
  end=$(tr -d '\r\n' <"$mark")
  echo $(((end - start) / 1000000))
  if [ "$1" = game ] && [ -f "$trace" ]; then
    tr -d '\r' <"$trace" | awk -v start="$start" '
      /^process created/ { created = ($3 - start) / 1e6; printf "%.1f\tprocess created\n", created; next }
      { ms = $1; $1 = ""; $2 = ""; sub(/^  /, ""); sub(/:.*/, ""); if (!seen[$0]++) printf "%.1f\t%s\n", created + ms, $0 }
    ' >>"$work/steps"
  fi
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# One unmeasured start of each, so that all find the same warm caches.
for n in "${names[@]}"; do run_once "$n" >/dev/null; done
rm -f "$work/steps"

declare -A times=()
for r in $(seq "$runs"); do
  for i in 0 1 2; do
    n=${names[$(((r + i) % 3))]}
    times[$n]+="$(run_once "$n") "
  done
done

declare -A med=()
for n in "${names[@]}"; do med[$n]=$(tr ' ' '\n' <<<"${times[$n]}" | sed '/^$/d' | median); done
echo "runs:                                  $runs each, in rotating order"
echo "load average before, after:            $load_before; $(cut -d' ' -f1-3 /proc/loadavg)"
echo "tessarino.exe, settled board:          ${times[game]}ms"
echo "minimal window, no manifest:           ${times[bare]}ms"
echo "minimal window, tessarino's manifest:  ${times[manifest]}ms"
echo "median tessarino.exe:                  ${med[game]} ms"
echo "median minimal window, no manifest:    ${med[bare]} ms"
echo "median minimal window with manifest:   ${med[manifest]} ms"
awk -v g="${med[game]}" -v b="${med[bare]}" -v m="${med[manifest]}" 'BEGIN {
  printf "ratio to the window with the manifest: %.2f (target <= 1.10; like with like)\n", g / m
  printf "ratio to the bare window:              %.2f\n", g / b }'
# The fastest run of each shows the cost without the other work of a shared machine, which
# lengthens the game's many short waits for the Wine server more than the minimal window's few.
declare -A best=()
for n in "${names[@]}"; do best[$n]=$(tr ' ' '\n' <<<"${times[$n]}" | sed '/^$/d' | sort -n | head -1); done
echo "fastest run: game, bare, with manifest:  ${best[game]}, ${best[bare]}, ${best[manifest]} ms"
awk -v g="${best[game]}" -v m="${best[manifest]}" 'BEGIN { printf "ratio of the fastest runs (manifest):   %.2f\n", g / m }'
size=$(stat -c %s "${exe[game]}")
awk -v s="$size" 'BEGIN { printf "tessarino.exe, stripped:               %d bytes = %.0f KB (target < 600 KB)\n", s, s / 1024 }'
echo "tessarino.exe's steps, median ms after launch (first occurrence in each run):"
awk -F'\t' '{ if (!(($2) in order)) order[$2] = ++k; print order[$2] "\t" $2 "\t" $1 }' "$work/steps" |
  sort -t$'\t' -k1,1n -k3,3n |
  awk -F'\t' '
    function flush() { if (n) { m = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2; printf "  %7.1f  %s\n", m, name } }
    $1 != last { flush(); n = 0; last = $1; name = $2 }
    { v[++n] = $3 }
    END { flush() }'
