#!/usr/bin/env bash
# Plays "First Steps" (the golden replays' level, tests/tesk/game/files/replays/First.map)
# in Tesk under a private X server, driven by xdotool, and saves a screenshot of each step
# into the given folder (not run by CI):
#   tools/play_first_level.sh <screenshot folder> [display number]
# It starts Xvfb on the display (default 99), runs the built game (build/release, else
# build/asan) windowed over a scratch program folder whose level set holds that level
# alone, walks the hero into the boulder, the water, the key and the exit, switches to
# full screen and back with Alt+Enter, closes the game as a window manager would, and
# prints the settings it wrote.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
source tools/xvfb_play.sh play_first_level.sh 99 "$@"

ln -s "$bin/Base.Tarvol" "$scratch/Base.Tarvol"
mkdir -p "$scratch/Levels"
cp tests/tesk/game/files/replays/First.map "$scratch/Levels/First.map"
printf 'Level Levels\\First.map\r\n' >"$scratch/Gromble.set"
printf 'FullScreen=False\r\nBitBlt=False\r\n' >"$scratch/Config.cfg"
QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 TP_PROGRAM_DIR="$scratch" TP_START_ENTRY=0 \
  "$bin/tesk" >"$out/tesk.log" 2>&1 &
game_pid=$!

hold_right() { xdotool keydown Right; sleep "$1"; xdotool keyup Right; }

echo "Screenshots:"
answer_windowed 15
shot 01-level-start 1
shot 02-level-playing 4
hold_right 1.2
shot 03-boulder-in-the-water 0.8
where
xdotool key alt+Return
wait_drawn
shot 04-full-screen
where
xdotool key alt+Return
answer_windowed 15
wait_drawn
shot 05-windowed-again
where
hold_right 4
shot 06-key-taken-exit-open 0.5
hold_right 1.5
shot 07-level-left-by-the-exit 2
kill -TERM "$game_pid"
wait "$game_pid" || true
game_pid=
echo "Settings written at the close:"
tr -d '\r' <"$scratch/Config.cfg"
