#!/usr/bin/env bash
# Start-up benchmark: time from launch to the settled board of tessarino.exe against a minimal Win32 window program, bare and with the game's manifest.
#
# Uses what the Windows build made (builds nothing): game/tessarino.exe,
# game/minimal_window.exe (no manifest) and game/minimal_window_manifest.exe (tessarino.exe's
# manifest: common controls 6, the Windows versions, DPI awareness); TESS_BUILD picks another
# build folder (default build/windows). Each program writes the time at which its window has
# painted everything it asked for to the file named by TESS_STARTUP_MARK and closes again.
# The game is timed twice: at a first start (no settings but Sound=0) and at a start with the
# settings a first start left, which is how a player starts it every other time. Each round
# starts the four in a rotating order; the medians and the ratios are printed, and the median
# time of each start-up step of both starts from their traces (TESS_STARTUP_TRACE).
# Usage: scripts/bench-startup.sh [runs]   (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TESS_BUILD:-build/windows}"
runs="${1:-15}"
names=(game again bare manifest)
declare -A exe=(
  [game]="$PWD/$build/game/tessarino.exe"
  [again]="$PWD/$build/game/tessarino.exe"
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

# A first start finds no settings but sound off; a later start finds what a first start
# left, every run alike.
appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
settings="$appdata/Kvor/Zib.ini"
reset_settings() {
  mkdir -p "$appdata/Kvor"
  case $1 in
    game) printf '\xEF\xBB\xBFSound=0\r\n' >"$settings" ;;
    again) cp "$work/left.ini" "$settings" ;;
  esac
}

# One run: milliseconds from launch to the mark; the trace lines of the game and of the minimal
# window with the manifest, as milliseconds since the launch, go to $work/steps-<name>.
run_once() {
  rm -f "$mark" "$trace"
  reset_settings "$1"
  local start end
  start=$(date +%s%N)
  TESS_STARTUP_MARK="$(winpath "$mark")" TESS_STARTUP_TRACE="$(winpath "$trace")" wine "${exe[$1]}" >/dev/null 2>&1 || true
  end=$(tr -d '\r\n' <"$mark" 2>/dev/null || true)
  # A start that wrote no mark (it did not get as far) is counted apart, not timed.
  if [ -z "$end" ]; then
    echo "$1" >>"$work/unmarked"
    echo -
    return
  fi
  echo $(((end - start) / 1000000))
  if [ "$1" != bare ] && [ -f "$trace" ]; then
    tr -d '\r' <"$trace" | awk -v start="$start" '
      /^process created/ { created = ($3 - start) / 1e6; printf "%.1f\tprocess created\n", created; next }
      { ms = $1; $1 = ""; $2 = ""; sub(/^  /, ""); sub(/:.*/, ""); if (!seen[$0]++) printf "%.1f\t%s\n", created + ms, $0 }
    ' >>"$work/steps-$1"
  fi
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
# One unmeasured start of each, so that all find the same warm caches; the first start leaves
# the settings of the later ones.
run_once game >/dev/null
cp "$settings" "$work/left.ini"
for n in "${names[@]}"; do run_once "$n" >/dev/null; done
rm -f "$work"/steps-*

declare -A times=()
for r in $(seq "$runs"); do
  for i in 0 1 2 3; do
    n=${names[$(((r + i) % 4))]}
    times[$n]+="$(run_once "$n") "
  done
done

declare -A med=()
for n in "${names[@]}"; do med[$n]=$(tr ' ' '\n' <<<"${times[$n]}" | sed '/^$/d;/^-$/d' | median); done
echo "runs:                                  $runs each, in rotating order"
echo "load average before, after:            $load_before; $(cut -d' ' -f1-3 /proc/loadavg)"
if [ -s "$work/unmarked" ]; then echo "starts that wrote no mark (shown as -): $(sort "$work/unmarked" | uniq -c | xargs)"; fi
echo "tessarino.exe, first start:            ${times[game]}ms"
echo "tessarino.exe, with earlier settings:  ${times[again]}ms"
echo "minimal window, no manifest:           ${times[bare]}ms"
echo "minimal window, tessarino's manifest:  ${times[manifest]}ms"
echo "median tessarino.exe, first start:     ${med[game]} ms"
echo "median tessarino.exe, later start:     ${med[again]} ms"
echo "median minimal window, no manifest:    ${med[bare]} ms"
echo "median minimal window with manifest:   ${med[manifest]} ms"
awk -v g="${med[game]}" -v a="${med[again]}" -v b="${med[bare]}" -v m="${med[manifest]}" 'BEGIN {
  printf "ratio to the window with the manifest: first start %.2f, later start %.2f (target <= 1.10; like with like)\n", g / m, a / m
  printf "ratio to the bare window:              first start %.2f, later start %.2f\n", g / b, a / b }'
# The fastest run of each shows the cost without the other work of a shared machine, which
# lengthens the game's many short waits for the Wine server more than the minimal window's few.
declare -A best=()
for n in "${names[@]}"; do best[$n]=$(tr ' ' '\n' <<<"${times[$n]}" | sed '/^$/d;/^-$/d' | sort -n | head -1); done
echo "fastest run: first, later, bare, with manifest:  ${best[game]}, ${best[again]}, ${best[bare]}, ${best[manifest]} ms"
awk -v g="${best[game]}" -v a="${best[again]}" -v m="${best[manifest]}" 'BEGIN {
  printf "ratio of the fastest runs (manifest):  first start %.2f, later start %.2f\n", g / m, a / m }'
size=$(stat -c %s "${exe[game]}")
awk -v s="$size" 'BEGIN { printf "tessarino.exe, stripped:               %d bytes = %.0f KB (target < 600 KB)\n", s, s / 1024 }'
# The steps in the order of the first start's trace; a step that the later start or the
# minimal window shares shows its time there beside it.
step_medians() {
  awk -F'\t' '{ if (!(($2) in order)) order[$2] = ++k; print order[$2] "\t" $2 "\t" $1 }' "$1" |
    sort -t$'\t' -k1,1n -k3,3n |
    awk -F'\t' '
      function flush() { if (n) { m = (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2; printf "%.1f\t%s\n", m, name } }
      $1 != last { flush(); n = 0; last = $1; name = $2 }
      { v[++n] = $3 }
      END { flush() }'
}
step_medians "$work/steps-again" >"$work/again-steps"
step_medians "$work/steps-manifest" >"$work/minimal-steps"
echo "steps, median ms after launch (first occurrence in each run): first start, later start, minimal window with manifest"
step_medians "$work/steps-game" | awk -F'\t' -v again="$work/again-steps" -v minimal="$work/minimal-steps" '
  function cell(t, k) { return (k in t) ? sprintf("%7.1f", t[k]) : "       " }
  BEGIN {
    while ((getline line < again) > 0) { split(line, f, "\t"); later[f[2]] = f[1] }
    while ((getline line < minimal) > 0) { split(line, f, "\t"); other[f[2]] = f[1] }
  }
  { printf "  %7.1f  %s  %s  %s\n", $1, cell(later, $2), cell(other, $2), $2 }'
