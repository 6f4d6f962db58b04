#!/usr/bin/env bash
# Plays the first level of Tesk's level set under a private X server, driven by xdotool,
# and saves a screenshot of each step into the given folder (not run by CI):
#   tools/play_first_level.sh <screenshot folder> [display number]
# It starts Xvfb on the display (default 99), runs the built game (build/release, else
# build/asan) windowed over a scratch program folder, walks the hero into the boulder,
# the water, the key and the exit, switches to full screen and back with Alt+Enter, closes
# the game as a window manager would, and prints the settings it wrote.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
out=${1:?usage: tools/play_first_level.sh <screenshot folder> [display number]}
display=":${2:-99}"
mkdir -p "$out"
out=$(cd "$out" && pwd)
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "play_first_level.sh: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
bin=
for b in build/release/bin build/asan/bin; do
  if [ -x "$b/tesk" ] && [ -f "$b/Base.Tarvol" ]; then bin=$(pwd)/$b; break; fi
done
[ -n "$bin" ] || { echo "play_first_level.sh: build Tesk first (./test.sh or ./run.sh)" >&2; exit 1; }

scratch=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

ln -s "$bin/Base.Tarvol" "$scratch/Base.Tarvol"
printf 'FullScreen=False\r\nBitBlt=False\r\n' >"$scratch/Config.cfg"
QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 TP_PROGRAM_DIR="$scratch" TP_START_ENTRY=0 \
  "$bin/tesk" >"$out/tesk.log" 2>&1 &
game_pid=$!

shot() { sleep "${2:-0.5}"; import -window root "$out/$1.png"; echo "  $out/$1.png"; }
# Answers the display question (asked on a desktop that is not 16 bits deep) with
# "Run Windowed", when it shows within the given seconds.
answer_windowed() {
  local id
  for _ in $(seq $(( ${1:-5} * 10 ))); do
    id=$(xdotool search --onlyvisible --name "Hmmm Interesting" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then
      eval "$(xdotool getwindowgeometry --shell "$id")"
      xdotool mousemove $((X + 163 + 52)) $((Y + 126 + 12)) click 1
      return 0
    fi
    sleep 0.1
  done
}
hold_right() { xdotool keydown Right; sleep "$1"; xdotool keyup Right; }

echo "Screenshots:"
answer_windowed 15
shot 01-level-start 1
shot 02-level-playing 4
hold_right 1.2
shot 03-boulder-in-the-water 0.8
xdotool key alt+Return
shot 04-full-screen 5
xdotool key alt+Return
answer_windowed 15
shot 05-windowed-again 5
hold_right 4
shot 06-key-taken-exit-open 0.5
hold_right 1.5
shot 07-level-left-by-the-exit 2
kill -TERM "$game_pid"
wait "$game_pid" || true
game_pid=
echo "Settings written at the close:"
tr -d '\r' <"$scratch/Config.cfg"
