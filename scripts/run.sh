#!/usr/bin/env bash
# Builds the Windows program and starts it under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)"
exe=build/windows/game/tessarino.exe
if [ ! -f "$exe" ]; then
  echo "Everything is built, but the game itself is not there yet: there is no tessarino.exe to start."
  exit 0
fi
. scripts/wine-session.sh
wine_session_start "$PWD/build/windows/wineprefix"
trap wine_session_stop EXIT
echo "Starting Tessarino on display $DISPLAY"
wine "$exe"
