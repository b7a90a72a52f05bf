# Sourced by the scripts: a display and a persistent wineserver for one Wine prefix.
# Usage: wine_session_start <prefix-dir> ; ... ; wine_session_stop

wine_session_start() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  if [ -z "${DISPLAY:-}" ] || [ "${TESS_OWN_DISPLAY:-0}" = 1 ]; then
    local n=$((90 + RANDOM % 400))
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_SESSION_XVFB=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
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
}

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "${WINE_SESSION_XVFB:-}" ]; then kill "$WINE_SESSION_XVFB" 2>/dev/null || true; fi
}
