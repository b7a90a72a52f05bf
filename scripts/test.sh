#!/usr/bin/env bash
# Builds both builds and runs every test; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=$(nproc)
status=0

echo "== native build (AddressSanitizer, UBSan)"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs" || status=1

echo "== Windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs"
. scripts/wine-session.sh
TESS_OWN_DISPLAY=1 TESS_CAPTURE_SOUND=1 wine_session_start "$PWD/build/windows/wineprefix"
trap wine_session_stop EXIT
ctest --preset windows -j "$jobs" || status=1
wine_session_stop
trap - EXIT

for extra in scripts/test-*.sh; do
  [ -e "$extra" ] || continue
  echo "== $extra"
  "$extra" || status=1
done

if [ "$status" -ne 0 ]; then echo "FAILED"; else echo "all tests passed"; fi
exit "$status"
