#!/usr/bin/env bash
# End-to-end tests of tessarino.exe under Wine and Xvfb: prepared settings, real clicks and keys, screenshots, the file it leaves.
#
# Uses what the Windows build made (builds nothing): game/tessarino.exe and the probe
# tests/game/e2e_probe.exe. TESS_BUILD picks another build folder (default build/windows).
# Screenshots go to $TESS_BUILD/e2e-shots, what the game wrote to its console (a crash report
# among it) to $TESS_BUILD/e2e-game.log. A game that ends on its own, a crash above all, stops
# the run at once.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${TESS_BUILD:-build/windows}"
exe="$PWD/$build/game/tessarino.exe"
probe="$PWD/$build/tests/game/e2e_probe.exe"
shots="$PWD/$build/e2e-shots"
game_log="$PWD/$build/e2e-game.log"
for f in "$exe" "$probe"; do
  if [ ! -f "$f" ]; then echo "missing $f: build the Windows preset first"; exit 1; fi
done
for tool in xdotool import Xvfb wine; do
  command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
mkdir -p "$shots"

. scripts/wine-session.sh
TESS_OWN_DISPLAY=1 TESS_CAPTURE_SOUND=1 wine_session_start "$PWD/$build/e2e-prefix"
game_pid=""
reply_file=$(mktemp)
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  rm -f "$reply_file"
  wine_session_stop
}
trap cleanup EXIT

appdata=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')")
ini="$appdata/Kvor/Zib.ini"
failures=0
current=""

fail() { echo "  FAIL [$current]: $*"; failures=$((failures + 1)); }
check() { # check <description> <command...>
  local what="$1"; shift
  if "$@"; then :; else fail "$what"; fi
}

# settings <lines...>: a fresh settings file in UTF-8 with signature and CRLF line ends;
# no arguments: no file at all.
settings() {
  rm -f "$ini" "${ini%.ini}_bkup.ini"
  [ $# -eq 0 ] && return 0
  mkdir -p "$(dirname "$ini")"
  { printf '\xEF\xBB\xBF'; printf '%s\r\n' "$@"; } >"$ini"
}

# Starts the game in the background with its console output in $game_log.
launch_game() {
  : >"$TESS_AUDIO_RAW"
  wine "$exe" >"$game_log" 2>&1 &
  game_pid=$!
}

# Starts the game and waits for its window; sets $win (X window) and $cw, $ch (client size).
start_game() {
  launch_game
  find_window
  settle
}

# Nothing else can be tested once the game is gone or its window did not come.
abort() {
  fail "$*"
  if [ -s "$game_log" ]; then
    echo "  the game's console output (last lines of $game_log):"
    tail -n 25 "$game_log" | sed 's/^/    /'
  fi
  echo "e2e: aborted"
  exit 1
}

# Aborts when the game has ended although it should still run.
check_running() {
  if ! kill -0 "$game_pid" 2>/dev/null; then
    local code=0
    wait "$game_pid" || code=$?
    game_pid=""
    abort "the game ended unexpectedly (exit code $code)"
  fi
}

# while_running <command...>: runs a command that waits for something of the game, and aborts
# as soon as the game ends in the meantime; otherwise sets $reply to the command's output
# (without carriage returns) and returns its status. Not in a subshell, so the abort ends the run.
while_running() {
  local status=0 pid
  "$@" >"$reply_file" &
  pid=$!
  while kill -0 "$pid" 2>/dev/null; do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      kill "$pid" 2>/dev/null || true
      wait "$pid" 2>/dev/null || true
      check_running
    fi
    sleep 0.05
  done
  wait "$pid" || status=$?
  reply=$(tr -d '\r' <"$reply_file")
  return "$status"
}

# Waits (bounded) for the game's window.
find_window() {
  win=""
  for _ in $(seq 300); do
    check_running
    win=$(xdotool search --onlyvisible --name '^ZIB$' 2>/dev/null | head -n 1 || true)
    [ -n "$win" ] && return 0
    sleep 0.1
  done
  abort "the game window did not appear"
}

# Lets the paint and size cycles run out: the client size stops changing.
settle() {
  local last="" now
  for _ in $(seq 30); do
    while_running wine "$probe" client ZIB || true
    now="$reply"
    [ "$now" = "$last" ] && break
    last="$now"
    sleep 0.2
  done
  read -r cw ch <<<"$now"
}

# click_cell <column> <row> <n>: a click in the middle of a cell of an n x n board.
click_cell() {
  local cell_w=$(((cw - 3) / $3)) cell_h=$(((ch - 3) / $3))
  xdotool mousemove --window "$win" $(((${1} - 1) * cell_w + cell_w / 2 + 1)) $(((${2} - 1) * cell_h + cell_h / 2 + 1)) click 1
}

shot() { import -window "$win" "$shots/$1.png"; }

# Closes the game through its menu (Alt+S opens "&Spiel", B chooses "&Beenden") and waits
# for the process to end.
close_by_menu() {
  xdotool windowfocus --sync "$win"
  xdotool key alt+s
  while_running wine "$probe" menu || abort "the menu did not open"
  xdotool key b
  wait_exit
}

# Waits (bounded) for the game to end, and expects it to end well.
wait_exit() {
  local code=0
  for _ in $(seq 100); do
    if ! kill -0 "$game_pid" 2>/dev/null; then
      wait "$game_pid" || code=$?
      game_pid=""
      check "the game ended with exit code 0 (got $code)" test "$code" -eq 0
      return 0
    fi
    sleep 0.1
  done
  fail "the game did not end"
  kill "$game_pid" 2>/dev/null || true
  game_pid=""
}

# Sets $text to the texts of the message box with caption $1 and answers it with OK; returns
# when the box has closed.
answer_box() {
  while_running wine "$probe" box "$1" press || true
  text="$reply"
}

ini_has() { sed '1s/^\xEF\xBB\xBF//' "$ini" | tr -d '\r' | grep -qxF "$1"; }
# press_box: $text := the lines of the game's message box, whose OK is then pressed; returns
# when the box is gone (Wine may take seconds without a window manager) and the game goes on.
press_box() { answer_box ZIB; }
# ini_line <key>: the first line of the settings file with that key, as it stands.
ini_line() { sed '1s/^\xEF\xBB\xBF//' "$ini" | tr -d '\r' | grep -m1 "^$1=" || true; }
# same_picture <a> <b>: two screenshots of the same board. A few pixels of the frame may differ
# (a button's hover state); any change of the tiles differs in thousands.
same_picture() {
  local apart
  apart=$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1 || true)
  [ "$apart" -le 20 ] 2>/dev/null
}
# wait_picture <name>: waits (bounded) until the window shows that screenshot's board again.
wait_picture() {
  for _ in $(seq 50); do
    shot "$1-again"
    same_picture "$1" "$1-again" && return 0
    sleep 0.2
  done
  fail "the board of $1 did not come back"
}
# shot_when <same|other> <ref> <name>: takes screenshot <name> once the board is the same as
# screenshot <ref>, or another (bounded); returns 1 when it never came to that.
shot_when() {
  for _ in $(seq 50); do
    shot "$3"
    if same_picture "$2" "$3"; then [ "$1" = same ] && return 0; else [ "$1" = other ] && return 0; fi
    sleep 0.1
  done
  return 1
}
# menu_item <popup letter> <item letter>: chooses a menu item by its mnemonics.
menu_item() {
  xdotool windowfocus --sync "$win"
  xdotool key "alt+$1"
  while_running wine "$probe" menu || abort "the menu did not open"
  xdotool key "$2"
}
audio_bytes() { stat -c %s "$TESS_AUDIO_RAW" 2>/dev/null || echo 0; }

started=$(date +%s)

current="defaults, closing by Alt+F4"
echo "== $current"
settings
start_game
shot german-4x4
: >"$TESS_AUDIO_RAW"
xdotool windowfocus --sync "$win"
# The menu shows "Alt+F4" beside "&Beenden", so the key closes the game like the menu item.
xdotool key alt+F4
wait_exit
check "settings file written" test -f "$ini"
check "UTF-8 signature" test "$(head -c 3 "$ini" | od -An -tx1 | tr -d ' ')" = efbbbf
for line in Size=4 Merge=100 Language=0 '[Window]' 'FontName=Times New Roman' FontStyle=1; do
  check "file has $line" ini_has "$line"
done
check "Sound is not written at exit" test "$(grep -c '^Sound=' "$ini")" = 0
# 0.43 s at 20,000 Hz, 16-bit mono: the process ended only after the whole closing sound.
check "closing sound played to its end ($(audio_bytes) bytes)" test "$(audio_bytes)" -ge 17200

current="a one-move shuffle is solved by one click"
echo "== $current"
settings 'Merge=1' 'Sound=0' '[Window]' 'Left=40' 'Top=30'
start_game
shot before-solving
click_cell 4 4 4
press_box
check "message \"fertig nach 1 Zügen\" (got \"$text\")" test "$(head -n 1 <<<"$text")" = "fertig nach 1 Zügen"
check "time and a new best result below (got \"$text\")" grep -q '^Zeit: 0:0[0-9] – neuer Bestwert!$' <<<"$text"
# The next game was shuffled by one move again, so the same click solves it once more. It
# starts when the box has gone, which under Wine without a window manager may take seconds.
wait_picture before-solving
click_cell 4 4 4
press_box
check "a new game followed (got \"$text\")" test "$(head -n 1 <<<"$text")" = "fertig nach 1 Zügen"
check "as good is no new best result (got \"$text\")" test "$(grep -c Bestwert <<<"$text")" = 0
close_by_menu
check "window place kept" ini_has Left=40
check "shuffle count kept" ini_has Merge=1
record=$(ini_line 4x4-1)
check "the one-move game entered its best result (got \"$record\")" grep -qxE '4x4-1=1,[0-9]+' <<<"$record"

current="a worse result does not replace the best one"
echo "== $current"
start_game
shot worse-before
# The empty cell is above the corner: away to the left, back, and down into the corner.
click_cell 3 3 4
click_cell 4 3 4
click_cell 4 4 4
press_box
check "three moves (got \"$text\")" test "$(head -n 1 <<<"$text")" = "fertig nach 3 Zügen"
check "no new best result (got \"$text\")" test "$(grep -c Bestwert <<<"$text")" = 0
wait_picture worse-before
# "&?" through the menu bar: from "&Spiel" two to the right, then "&Bestwerte".
xdotool windowfocus --sync "$win"
xdotool key alt+s
while_running wine "$probe" menu || abort "the menu did not open"
xdotool key Right Right
xdotool key b
press_box
check "\"&Bestwerte\" shows the one-move result (got \"$text\")" grep -qE '^4x4, 1 Mischzug: 1 Zug in 0:0[0-9]$' <<<"$text"
close_by_menu
check "the best result stays (got \"$(ini_line 4x4-1)\")" test "$(ini_line 4x4-1)" = "$record"

current="undo and redo of a click, the game kept, start again"
echo "== $current"
settings 'Merge=1' 'Sound=0' '[Window]' 'Left=40' 'Top=30'
start_game
shot kept-shuffled
click_cell 4 1 4  # two tiles down into the empty cell above the corner
check "the click slides the tiles" shot_when other kept-shuffled kept-clicked
xdotool windowfocus --sync "$win"
xdotool key ctrl+z
check "undo shows the shuffled board" shot_when same kept-shuffled kept-undone
xdotool key ctrl+y
check "redo shows the clicked board" shot_when same kept-clicked kept-redone
close_by_menu
check "the game is kept (got \"$(ini_line Board)\")" ini_has 'Board=1,2,3,0,5,6,7,4,9,10,11,8,13,14,15,12'
check "with its start" ini_has 'Start=1,2,3,4,5,6,7,8,9,10,11,0,13,14,15,12'
check "and its one move" ini_has 'Moves=1'
start_game
shot kept-resumed
check "the next start shows the same board" same_picture kept-clicked kept-resumed
menu_item s v  # "&Von vorn"
check "start again shows the shuffled board" shot_when same kept-shuffled kept-again
close_by_menu
check "the start kept as the board" ini_has 'Board=1,2,3,4,5,6,7,8,9,10,11,0,13,14,15,12'
check "no moves after start again" ini_has 'Moves=0'

current="a kept game that does not fit"
echo "== $current"
settings 'Sound=0' '[Game]' 'Board=2,1,3,4,5,6,7,8,9,10,11,12,13,14,15,0' 'Start=1,2,x' 'Moves=-1' 'Seconds=99999999999' \
  '[Records]' '4x4-10=garbage' '4x4-20=5,3' '9x9-1=1,1'
start_game
close_by_menu
check "a new shuffle was kept instead (got \"$(ini_line Board)\")" grep -qxE 'Board=([0-9]+,){15}[0-9]+' <<<"$(ini_line Board)"
check "not the unsolvable board" test "$(ini_line Board)" != 'Board=2,1,3,4,5,6,7,8,9,10,11,12,13,14,15,0'
check "moves rewritten" ini_has 'Moves=0'
check "hostile best results gone" test -z "$(ini_line 4x4-10)$(ini_line 9x9-1)"
check "the valid best result stays" ini_has '4x4-20=5,3'

# Boards to look at: name, then the settings lines.
board_shot() {
  local name="$1"; shift
  current="screenshot $name"
  echo "== $current"
  settings 'Sound=0' "$@"
  start_game
  shot "$name"
  close_by_menu
}
board_shot english-3x3 Size=3 Language=1
board_shot russian-3x3 Size=3 Language=2
board_shot numbers-6x6 Size=6
board_shot italic-english-3x3 Size=3 Language=1 '[Window]' FontStyle=3

current="settings file with bytes that are not UTF-8"
echo "== $current"
settings
mkdir -p "$(dirname "$ini")"
printf '\xEF\xBB\xBFSize=3\r\nSound=0\r\n[Window]\r\nFontName=Caf\xE9\r\n' >"$ini"
launch_game
answer_box Tessarino
check "the message names the file (got \"$text\")" grep -q 'Zib.ini' <<<"$text"
find_window
settle
close_by_menu
check "the file is valid UTF-8 again" iconv -f UTF-8 -t UTF-8 "$ini" -o /dev/null
check "the file was loaded and kept its values" ini_has Size=3

echo "e2e: $failures failure(s) in $(($(date +%s) - started)) s; screenshots in $shots"
[ "$failures" -eq 0 ]
