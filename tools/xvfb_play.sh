# The shared set-up of the scripts that drive Tesk under a private X server by xdotool
# (sourced, not run). From the repository root:
#   source tools/xvfb_play.sh <script name> <default display number> "$@"
# It reads the caller's arguments (<screenshot folder> [display number]) into $out and
# $display, checks for Xvfb, xdotool and import, finds the built game's folder ($bin:
# build/release, else build/asan), makes the scratch program folder $scratch, starts Xvfb
# with DISPLAY set, and kills the game ($game_pid, set by the caller) and Xvfb and removes
# the scratch folder at the exit. It defines shot, answer_windowed and where.
# With XVFB_WM=openbox the screen has a window manager (frames, title bars, full-screen
# states, as on a desktop); XVFB_SCREEN sets the screen's size (default 1024x768).
play_name=$1
out=${3:?usage: tools/$play_name <screenshot folder> [display number]}
display=":${4:-$2}"
case ${display#:} in
  '' | *[!0-9]*) echo "$play_name: the display number must be a number, not '${display#:}'" >&2; exit 2 ;;
esac
mkdir -p "$out"
out=$(cd "$out" && pwd)
for tool in Xvfb xdotool import xwininfo; do
  command -v "$tool" >/dev/null || { echo "$play_name: $tool is missing (apt-get install xvfb xdotool imagemagick x11-utils)" >&2; exit 1; }
done
bin=
for b in build/release/bin build/asan/bin; do
  if [ -x "$b/tesk" ] && [ -f "$b/Base.Tarvol" ]; then bin=$(pwd)/$b; break; fi
done
[ -n "$bin" ] || { echo "$play_name: build Tesk first (./test.sh or ./run.sh)" >&2; exit 1; }

wm=${XVFB_WM:-}
if [ -n "$wm" ] && ! command -v "$wm" >/dev/null; then
  echo "$play_name: the window manager $wm is missing (apt-get install $wm)" >&2; exit 1
fi
scratch=$(mktemp -d)
xvfb_pid=
wm_pid=
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A server already on the display (someone else's) would get the game and every click.
if DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1; then
  echo "$play_name: display $display is in use; give another display number" >&2
  exit 1
fi
Xvfb "$display" -screen 0 "${XVFB_SCREEN:-1024x768}x24" >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
if ! kill -0 "$xvfb_pid" 2>/dev/null || ! xdotool getmouselocation >/dev/null 2>&1; then
  echo "$play_name: Xvfb did not start on display $display" >&2
  exit 1
fi
if [ -n "$wm" ]; then
  "$wm" >/dev/null 2>&1 &
  wm_pid=$!
  sleep 1
fi

# Saves the screen as <folder>/<name>.png after the given seconds (default half of one).
shot() { sleep "${2:-0.5}"; import -window root "$out/$1.png"; echo "  $out/$1.png"; }
# Waits, up to the given seconds (default 60), until the middle of the screen shows a
# picture again: a switch between a window and full screen loads the pictures anew on a
# black screen and restarts the level, whose opening closes in on the middle last, and
# Alt+Enter counts only once the level is in play.
middle_lit() {
  import -window root "$out/.probe.png"
  [ "$(convert "$out/.probe.png" -gravity center -crop 160x80+0+0 +repage -format '%[fx:mean>0.1]' info:)" = 1 ]
}
wait_drawn() {
  # First the old picture goes, then the new one comes.
  for _ in $(seq 30); do middle_lit || break; sleep 0.5; done
  for _ in $(seq $(( ${1:-60} * 2 ))); do middle_lit && break; sleep 0.5; done
  rm -f "$out/.probe.png"
  sleep 1
}
# Answers the display question (asked on a desktop that is not 16 bits deep) with
# "Run Windowed", when it shows within the given seconds.
answer_windowed() {
  local id
  for _ in $(seq $(( ${1:-5} * 10 ))); do
    id=$(xdotool search --onlyvisible --name "Hmmm Interesting" 2>/dev/null | head -1 || true)
    if [ -n "$id" ]; then
      # The client area's place (xdotool's geometry is the frame's under a window manager).
      X=$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')
      Y=$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')
      xdotool mousemove $((X + 163 + 52)) $((Y + 126 + 12)) click 1
      return 0
    fi
    sleep 0.1
  done
}
# Prints where the game's window is: its client area, and the frame round it (left, right,
# top, bottom) when a window manager put one there.
where() {
  local id= w info
  # The main window's title is only in _NET_WM_NAME, which xdotool's --name does not read.
  for w in $(xdotool search --onlyvisible --class tesk 2>/dev/null || true); do
    if xprop -id "$w" _NET_WM_NAME 2>/dev/null | grep -q '= "Gromble"$'; then id=$w; break; fi
  done
  [ -n "$id" ] || { echo "  window: not found"; return 0; }
  info=$(xwininfo -id "$id")
  echo "  window: client at $(awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width:/ {w=$2} /Height:/ {h=$2} END {print x "," y " " w "x" h}' <<<"$info"), frame $(xprop -id "$id" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | grep . || echo none)"
}
