#!/usr/bin/env bash
# Start-up benchmark: time from launch to the first painted board of tessarino.exe against a minimal Win32 window program, and the size of the stripped exe.
#
# Uses what the Windows build made (builds nothing): game/tessarino.exe and
# game/minimal_window.exe; TESS_BUILD picks another build folder (default build/windows).
# Both programs write the time of their first paint to the file named by TESS_STARTUP_MARK
# and close again. Runs alternate between the two; the medians and their ratio are printed.
# Usage: scripts/bench-startup.sh [runs]   (default 9)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TESS_BUILD:-build/windows}"
runs="${1:-9}"
game="$PWD/$build/game/tessarino.exe"
minimal="$PWD/$build/game/minimal_window.exe"
for f in "$game" "$minimal"; do
  if [ ! -f "$f" ]; then echo "missing $f: build the Windows preset first"; exit 1; fi
done

. scripts/wine-session.sh
TESS_OWN_DISPLAY=1 wine_session_start "$PWD/$build/e2e-prefix"
trap wine_session_stop EXIT
work=$(mktemp -d)
trap 'wine_session_stop; rm -rf "$work"' EXIT
mark="$work/mark"
winmark="Z:$(tr / '\\' <<<"$mark")"

# The game starts from its defaults with sound off, every run alike.
appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
reset_settings() {
  mkdir -p "$appdata/Kvor"
  printf '\xEF\xBB\xBFSound=0\r\n' >"$appdata/Kvor/Zib.ini"
}

# One run: milliseconds from launch to the first paint.
run_once() {
  rm -f "$mark"
  local start end
  start=$(date +%s%N)
  TESS_STARTUP_MARK="$winmark" wine "$1" >/dev/null 2>&1
  end=$(tr -d '\r\n' <"$mark")
  echo $(((end - start) / 1000000))
}

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# One unmeasured start of each, so that both find the same warm caches.
reset_settings; run_once "$game" >/dev/null
run_once "$minimal" >/dev/null

game_times=()
minimal_times=()
for _ in $(seq "$runs"); do
  reset_settings
  game_times+=("$(run_once "$game")")
  minimal_times+=("$(run_once "$minimal")")
done

game_median=$(printf '%s\n' "${game_times[@]}" | median)
minimal_median=$(printf '%s\n' "${minimal_times[@]}" | median)
echo "runs:                         $runs"
echo "tessarino.exe, first board:   ${game_times[*]} ms"
echo "minimal window, first paint:  ${minimal_times[*]} ms"
echo "median tessarino.exe:         $game_median ms"
echo "median minimal window:        $minimal_median ms"
awk -v g="$game_median" -v m="$minimal_median" 'BEGIN { printf "ratio:                        %.2f (target <= 1.20)\n", g / m }'
size=$(stat -c %s "$game")
awk -v s="$size" 'BEGIN { printf "tessarino.exe, stripped:      %d bytes = %.0f KB (target < 600 KB)\n", s, s / 1024 }'
