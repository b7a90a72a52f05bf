#!/usr/bin/env bash
# Builds the game (tessarino.exe and its help page, no tests) and starts it under Wine, with
# sound through the machine's own output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$(nproc)" --target tessarino tessarino_help_page
exe=build/windows/game/tessarino.exe
if [ ! -f "$exe" ]; then
  echo "run: the build ended without $exe; nothing to start" >&2
  exit 1
fi

# Wine plays through ALSA or PulseAudio; without a sound card or sound server the game is silent.
has_sound_output() {
  if command -v aplay >/dev/null && aplay -l 2>/dev/null | grep -q '^card '; then return 0; fi
  compgen -G '/dev/snd/pcmC*p' >/dev/null && return 0
  [ -S "${XDG_RUNTIME_DIR:-/run/user/$(id -u)}/pulse/native" ] && return 0
  [ -n "${PULSE_SERVER:-}" ]
}
if ! has_sound_output; then
  echo "No sound device found on this machine (no /dev/snd, no sound server): Tessarino plays without sound."
fi

. scripts/wine-session.sh
TESS_CAPTURE_SOUND=0 wine_session_start "$PWD/build/windows/wineprefix"
trap wine_session_stop EXIT
echo "Starting Tessarino on display $DISPLAY"
wine "$exe"
