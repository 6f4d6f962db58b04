# The shared set-up of the scripts that drive Tesk under a private X server by xdotool
# (sourced, not run). From the repository root:
#   source tools/xvfb_play.sh <script name> <default display number> "$@"
# It reads the caller's arguments (<screenshot folder> [display number]) into $out and
# $display, checks for Xvfb, xdotool and import, finds the built game's folder ($bin:
# build/release, else build/asan), makes the scratch program folder $scratch, starts Xvfb
# with DISPLAY set, and kills the game ($game_pid, set by the caller) and Xvfb and removes
# the scratch folder at the exit. It defines shot and answer_windowed.
play_name=$1
out=${3:?usage: tools/$play_name <screenshot folder> [display number]}
display=":${4:-$2}"
case ${display#:} in
  '' | *[!0-9]*) echo "$play_name: the display number must be a number, not '${display#:}'" >&2; exit 2 ;;
esac
mkdir -p "$out"
out=$(cd "$out" && pwd)
for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "$play_name: $tool is missing (apt-get install xvfb xdotool imagemagick)" >&2; exit 1; }
done
bin=
for b in build/release/bin build/asan/bin; do
  if [ -x "$b/tesk" ] && [ -f "$b/Base.Tarvol" ]; then bin=$(pwd)/$b; break; fi
done
[ -n "$bin" ] || { echo "$play_name: build Tesk first (./test.sh or ./run.sh)" >&2; exit 1; }

scratch=$(mktemp -d)
xvfb_pid=
game_pid=
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# A server already on the display (someone else's) would get the game and every click.
if DISPLAY=$display xdotool getmouselocation >/dev/null 2>&1; then
  echo "$play_name: display $display is in use; give another display number" >&2
  exit 1
fi
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
if ! kill -0 "$xvfb_pid" 2>/dev/null || ! xdotool getmouselocation >/dev/null 2>&1; then
  echo "$play_name: Xvfb did not start on display $display" >&2
  exit 1
fi

# Saves the screen as <folder>/<name>.png after the given seconds (default half of one).
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
