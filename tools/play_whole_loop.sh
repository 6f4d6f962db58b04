#!/usr/bin/env bash
# Runs Tesk's whole loop under a private X server, driven by xdotool, and saves a
# screenshot of each screen into the given folder (not run by CI):
#   tools/play_whole_loop.sh <screenshot folder> [display number]
# It starts Xvfb on the display (default 98) and the built game (build/release, else
# build/asan) windowed over a scratch program folder whose level set holds the first
# level ("First Steps", the golden replays' level), a level with an information sign and a
# level whose snake watches the hero's row.
# Then: the main menu; the options, sound, advanced sound, video and advanced video pages;
# "START GAME" by a click; the sign level picked by a click, the sign's pop-up; the menu;
# the level pick by the keys, the snake level picked by the keys, the death pop-up;
# "GO TO LEVEL..."; the first level by a click, solved by the keys, the result pop-up;
# "GO TO LEVEL...", the solved level's hint; the clear-progress dialog and the cleared
# screen; "EXIT PROGRAM".
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source tools/xvfb_play.sh play_whole_loop.sh 98 "$@"

# The level set: the first level, and two levels made from its tiles.
ln -s "$bin/Base.Tarvol" "$scratch/Base.Tarvol"
[ -f "$bin/Gromble.html" ] && cp "$bin/Gromble.html" "$scratch/"
mkdir -p "$scratch/Levels"
first=tests/tesk/game/files/replays/First.map
cp "$first" "$scratch/Levels/First.map"
tiles=$(sed -n '1,/^\[Units\]/p' "$first" | tr -d '\r')
unit() { printf 'Begin %s\r\n   InitialX = %s\r\n   InitialY = %s\r\n%bEnd %s\r\n' "$1" "$2" "$3" "${4:-}" "$1"; }
{ printf '%s\n' "$tiles" | sed 's/^Title=.*/Title=A Sign/' | sed 's/$/\r/'
  unit Player 2 7
  unit Info 4 7 '   Caption = ASIGN\r\n   ImageName = Morrowfinch.jpg\r\n'
  unit Exit 12 7; } >"$scratch/Levels/Sign.map"
{ printf '%s\n' "$tiles" | sed 's/^Title=.*/Title=Snake Row/' | sed 's/$/\r/'
  unit Player 2 7
  unit Snake 13 7; } >"$scratch/Levels/Snake.map"
printf 'Level Levels\\First.map\r\nLevel Levels\\Sign.map\r\nLevel Levels\\Snake.map\r\n' >"$scratch/Gromble.set"
printf 'FullScreen=False\r\nBitBlt=False\r\n' >"$scratch/Config.cfg"
QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 TP_PROGRAM_DIR="$scratch" \
  "$bin/tesk" >"$out/tesk.log" 2>&1 &
game_pid=$!

# The game window sits at the screen's top left; clicks are in its client coordinates.
click() { xdotool mousemove "$1" "$2"; sleep 0.4; xdotool click 1; }
key() { xdotool key "$1"; sleep 0.6; }
hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
away() { xdotool mousemove 700 600; }

echo "Screenshots:"
answer_windowed 15
shot 01-main-menu 4
key Down
key Return
shot 02-options 1
click 330 236
shot 03-sound 1
xdotool mousemove 404 228; sleep 0.5; xdotool mousedown 1; sleep 0.3; xdotool mousemove 420 228; sleep 0.2
xdotool mousemove 445 228; sleep 0.3; xdotool mouseup 1; sleep 0.5
xdotool mousemove 250 280; sleep 1
click 260 361
shot 04-advanced-sound 1
key Escape
key Escape
sleep 0.5
click 336 273
key Down
key Right
shot 05-video-changed 1
key Down
key Down
key Down
key Right
shot 06-advanced-video 1
key Escape
key Escape
key Escape
sleep 0.5
click 315 188
shot 07-level-pick 2
click 106 75
away
shot 08-sign-level 3
hold Right 0.7
shot 09-sign-pop-up 2
key space
key Escape
shot 10-menu-over-the-game 1
key Down
key Return
sleep 2
key Right
key Return
shot 11-death-pop-up 6
click 330 303
shot 12-level-pick-again 2.5
click 36 75
away
sleep 3
hold Right 4
shot 13-level-solved 3
click 330 328
sleep 2.5
xdotool mousemove 36 75
shot 14-solved-hint 2
click 560 20
shot 15-clear-progress-dialog 1.5
click 318 300
shot 16-progress-cleared 1.5
key Escape
click 315 339
sleep 3
if kill -0 "$game_pid" 2>/dev/null; then echo "the game is still running"; else game_pid=; echo "the game has ended"; fi
