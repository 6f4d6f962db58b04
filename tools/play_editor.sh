#!/usr/bin/env bash
# Builds a little in the level editor beside Tesk's window under a private X server,
# driven by xdotool, and saves a screenshot of each step into the given folder (not run
# by CI):
#   tools/play_editor.sh <screenshot folder> [display number]
# It starts Xvfb on the display (default 96) with a window manager when XVFB_WM names one,
# runs the built game (build/release, else build/asan) windowed in the first level, opens
# the editor with F12, ticks "Editing", paints tiles and an overlay tile, places a unit
# and sets a property in the inspector, drags the hero, shows the Data and OOT pages and
# the advanced settings dialog, then unticks "Editing" and walks the hero.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source tools/xvfb_play.sh play_editor.sh 96 "$@"

ln -s "$bin/Base.Tarvol" "$scratch/Base.Tarvol"
printf 'FullScreen=False\r\nBitBlt=False\r\n' >"$scratch/Config.cfg"
QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 TP_PROGRAM_DIR="$scratch" TP_START_ENTRY=0 \
  "$bin/tesk" >"$out/tesk.log" 2>&1 &
game_pid=$!

# The client area's top-left corner of the game's window of the given title (read from
# _NET_WM_NAME, as xvfb_play.sh's where does).
client_of() {
  local id= w
  for _ in $(seq 300); do
    for w in $(xdotool search --onlyvisible --class tesk 2>/dev/null || true); do
      if xprop -id "$w" _NET_WM_NAME 2>/dev/null | grep -q "= \"$1\"\$"; then id=$w; break; fi
    done
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || { echo "play_editor.sh: no window '$1'" >&2; exit 1; }
  xwininfo -id "$id" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}
# The editor's client area lies below its menu bar.
menu_bar=19
ed() { xdotool mousemove $((EX + $1)) $((EY + menu_bar + $2)) click "${3:-1}"; sleep 0.3; }
# The middle of a playfield cell of the game window.
cell() { xdotool mousemove $((GX + 128 + 32 * $1 + 16)) $((GY + 32 * $2 + 16)); }
press_cell() { cell "$1" "$2"; xdotool click "${3:-1}"; sleep 0.2; }
# The tabs (the strip scrolls: the arrows bring the first or the last into view).
tab_first() { for _ in 1 2 3 4; do ed 162 45; done; }
tab_last() { for _ in 1 2 3 4; do ed 176 45; done; }

echo "Screenshots:"
answer_windowed 15
sleep 8
read -r GX GY < <(client_of Gromble)
xdotool mousemove $((GX + 320)) $((GY + 240)) click 1
xdotool key F12
sleep 1
read -r EX EY < <(client_of Editor)
echo "  game at $GX,$GY; editor at $EX,$EY"
shot 01-editor-beside-the-game 1
ed 20 16
shot 02-editing-on 0.5
# Tiles: a tile of the palette's ninth row, painted solid along a row of the playfield.
tab_first
ed 22 45
ed 36 $((66 + 32 * 8 + 16))
for x in 5 6 7 8 9; do press_cell "$x" 10; done
press_cell 7 10 3
shot 03-tiles-painted 0.5
# Overlay: the second overlay tile, set on a cell and cleared on another by the right button.
ed 64 45
ed 68 82
press_cell 3 12
press_cell 4 12
press_cell 4 12 3
shot 04-overlay-tile-set 0.5
# Objects: the third kind of the strip (a boulder) armed and placed; its InitialY row set
# to 12.
ed 107 45
ed 108 372
press_cell 12 4
shot 05-unit-placed-and-inspected 0.5
ed 131 120
xdotool key ctrl+a type 12
xdotool key Return
sleep 0.3
# The hero dragged two cells down.
cell 2 7; xdotool mousedown 1; sleep 0.2
cell 2 8; sleep 0.2; cell 2 9; sleep 0.2; xdotool mouseup 1
shot 06-property-set-and-hero-dragged 0.5
tab_last
ed 89 45
shot 07-data-page 0.5
ed 176 45
ed 176 45
ed 132 45
shot 08-oot-page 0.5
xdotool mousemove $((EX + 68)) $((EY + 9)) click 1
shot 09-options-menu 0.5
xdotool mousemove $((EX + 100)) $((EY + 50)) click 1
shot 10-advanced-settings 1.5
read -r AX AY < <(client_of "Advanced Settings")
echo "  advanced settings at $AX,$AY"
# Pointing at the output list explains it.
xdotool mousemove $((AX + 200)) $((AY + 30)); sleep 0.3
xdotool mousemove $((AX + 210)) $((AY + 32))
shot 11-hint-of-the-output 0.5
# The slider dragged to its right end: the brightest curve. Cancel changes nothing.
xdotool mousemove $((AX + 240)) $((AY + 236)) mousedown 1; sleep 0.2
xdotool mousemove $((AX + 280)) $((AY + 236)); sleep 0.2
xdotool mousemove $((AX + 310)) $((AY + 236)) mouseup 1
shot 12-brightest-curve 0.5
xdotool mousemove $((AX + 280)) $((AY + 406)) click 1
sleep 0.5
# "Editing" unticked: the level as built plays.
ed 20 16
sleep 3
xdotool keydown Right; sleep 1; xdotool keyup Right
shot 13-editing-off-playing 0.5
# "Editing" on again, and the dialog again: "Use BitBlt" with OK rebuilds the display; the
# level being edited comes back with its edits.
ed 20 16
sleep 1
xdotool mousemove $((EX + 68)) $((EY + 9)) click 1
sleep 0.5
xdotool mousemove $((EX + 100)) $((EY + 50)) click 1
sleep 1.5
read -r AX AY < <(client_of "Advanced Settings")
xdotool mousemove $((AX + 34)) $((AY + 194)) click 1
sleep 0.3
xdotool mousemove $((AX + 200)) $((AY + 406)) click 1
sleep 8
tab_first
ed 22 45
shot 14-after-the-rebuild 1
kill -TERM "$game_pid"
wait "$game_pid" || true
game_pid=
echo "Settings written at the close:"
tr -d '\r' <"$scratch/Config.cfg"
