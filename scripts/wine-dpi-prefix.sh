#!/usr/bin/env bash
# Prepares a Wine prefix whose screen reads as DPI dots per inch (144 is 150 %, 192 is 200 %), for tests and looks at a larger scale.
# Usage: wine-dpi-prefix.sh <prefix-dir> <dpi>
# Creates the prefix when it does not exist yet and sets "LogPixels" of the user's desktop
# settings; Wine reads it when its server starts, so the script waits for that server to end.
# Several callers may run at once: the first does the work, the others wait for it.
set -euo pipefail
if [ $# -ne 2 ]; then echo "usage: $0 <prefix-dir> <dpi>" >&2; exit 2; fi
prefix=$1
dpi=$2
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$(dirname "$prefix")"
exec 9>"$prefix.lock"
flock 9
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  wineboot -i >/dev/null 2>&1 </dev/null || true
fi
# Wine's background services inherit the output handles of the first Wine process: keep them
# away from the caller's pipe, or CTest would wait for them.
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null
# The same fonts and crash handling as every other prefix of the scripts.
wine reg import "$(winepath -w "$(cd "$(dirname "$0")" && pwd)/wine-prefix.reg")" >/dev/null 2>&1 </dev/null
wineserver -w
grep -qi "\"LogPixels\"=dword:$(printf '%08x' "$dpi")" "$prefix/user.reg" || {
  echo "LogPixels $dpi did not reach $prefix/user.reg" >&2
  exit 1
}
