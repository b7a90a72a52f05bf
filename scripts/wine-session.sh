# Sourced by the scripts: a display and a persistent wineserver for one Wine prefix.
# Usage: wine_session_start <prefix-dir> ; ... ; wine_session_stop
#
#   TESS_OWN_DISPLAY=1      a fresh Xvfb display even when DISPLAY is set
#   TESS_CAPTURE_SOUND=0    sound plays through the machine's own output; by default (1) ALSA
#                           writes it into $TESS_AUDIO_RAW beside the prefix, for the tests

# The prefix's own settings (scripts/wine-prefix.reg), written into every session's prefix,
# new or old, so that a prefix made before a setting was added gets it too.
wine_prefix_settings() {
  local reg
  reg=$(winepath -w "$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-prefix.reg" 2>/dev/null)
  wine reg import "$reg" >/dev/null 2>&1 </dev/null || {
    echo "wine-session: could not write scripts/wine-prefix.reg into $WINEPREFIX" >&2
    return 1
  }
}

# Starts Xvfb on a free display and waits until it answers; a display number another
# session took at the same moment is skipped.
wine_session_xvfb() {
  local attempt n
  for attempt in 1 2 3; do
    n=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    # -noreset: the server keeps its state (the resource below) when its last client goes.
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    WINE_SESSION_XVFB=$!
    for _ in $(seq 100); do
      if ! kill -0 "$WINE_SESSION_XVFB" 2>/dev/null; then break; fi
      if DISPLAY=":$n" xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=":$n"
        # A bare Xvfb has no X resources at all; Xlib then reads ~/.Xdefaults anew at every
        # look-up, which Wine makes for every font it realises (some 900 times in one start of
        # the game). One resource that nobody reads makes the display behave as a desktop
        # session's does.
        xprop -root -f RESOURCE_MANAGER 8s -set RESOURCE_MANAGER "tessarino.display: xvfb" >/dev/null 2>&1 || true
        return 0
      fi
      sleep 0.1
    done
    kill "$WINE_SESSION_XVFB" 2>/dev/null || true
    WINE_SESSION_XVFB=""
  done
  echo "wine-session: Xvfb did not start (tried three displays)" >&2
  return 1
}

wine_session_start() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${DISPLAY:-}" ] || [ "${TESS_OWN_DISPLAY:-0}" = 1 ]; then
    wine_session_xvfb || return 1
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
  wineserver -p
  # The first Wine process starts Wine's background services; they inherit its output
  # handles, so start them here, detached, rather than inside a test whose pipe CTest
  # would then wait on until the timeout.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
  wine_prefix_settings || return 1
  if [ "${TESS_CAPTURE_SOUND:-1}" = 1 ]; then
    # Sound goes into a file so that tests can check what was played.
    export TESS_AUDIO_RAW="$WINEPREFIX/../audio.raw"
    export ALSA_CONFIG_PATH="$WINEPREFIX/../asound.conf"
    cat >"$ALSA_CONFIG_PATH" <<ALSA
pcm.!default {
  type file
  slave.pcm { type null }
  file "$TESS_AUDIO_RAW"
  format "raw"
}
ALSA
  fi
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_XVFB:-}" ]; then kill "$WINE_SESSION_XVFB" 2>/dev/null || true; fi
}
