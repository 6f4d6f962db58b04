#!/usr/bin/env bash
# Builds an optimised Tesk and Pelvo and starts one of them:
#   ./run.sh [tesk|pelvo] [switches...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

usage() {
  cat <<'EOF'
usage: ./run.sh [tesk|pelvo] [switches...]
  Builds the games (the first time, after installing what is missing) and starts one:
  Tesk when no game is named.
  tesk   the tile-puzzle game ("Gromble"); its switches, in any letter case, with or
         without a leading "-" or "/":
           ShowDebugmessages          every start-up step in a message box
           UseSystemMemoryBackBuffer  the back buffer in system memory
           DontForceExclusiveMode     full screen without exclusive mode
           NoVideo                    skip the video entries of the level set
           FullScreen                 start in full screen
           BitBlt                     draw through plain bitmaps
           Set <level set file>       play another level set
         F12 in its window opens the level editor beside it (see README.md).
  pelvo  the card game (no switches)
  -h, --help  this text
EOF
}

# A first word that is one of Tesk's switches or options starts Tesk with it.
tesk_switch() {
  local word=${1^^}
  word=${word#[-/]}
  case "$word" in
    SHOWDEBUGMESSAGES|USESYSTEMMEMORYBACKBUFFER|DONTFORCEEXCLUSIVEMODE|NOVIDEO|FULLSCREEN|BITBLT) return 0 ;;
    SET|SET:*|SET=*) return 0 ;;
  esac
  return 1
}

game=tesk
case "${1:-}" in
  -h|--help) usage; exit 0 ;;
  tesk|pelvo) game=$1; shift ;;
  "") ;;
  *)
    if ! tesk_switch "$1"; then
      echo "run.sh: \"$1\" is neither a game (tesk, pelvo) nor a switch of Tesk." >&2
      echo "usage: ./run.sh [tesk|pelvo] [switches...]   (./run.sh --help lists Tesk's switches)" >&2
      exit 2
    fi
    ;;
esac

# A window needs a display: say so at once rather than after installing and building.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "run.sh: no display available (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
  exit 1
fi
# An X server named by DISPLAY must answer; asked again after installing, when xdpyinfo
# came with the packages.
x_answers() {
  [ -n "${DISPLAY:-}" ] || return 0
  case "${QT_QPA_PLATFORM:-xcb}" in xcb*) ;; *) return 0 ;; esac
  command -v xdpyinfo >/dev/null || return 0
  timeout 10 xdpyinfo >/dev/null 2>&1
}
no_x() {
  echo "run.sh: no X server answers on DISPLAY=$DISPLAY; start it from a desktop session (or unset DISPLAY under Wayland)." >&2
  exit 1
}
x_answers || no_x

tools/setup.sh
x_answers || no_x

name=Tesk
[ "$game" = pelvo ] && name=Pelvo
if [ ! -f build/release/CMakeCache.txt ]; then
  echo "Setting up the build folder …"
  # Playing needs neither the tests nor the benchmarks.
  cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTP_TESTS=OFF -DTP_BENCH=OFF >/dev/null
else
  cmake -S . -B build/release >/dev/null
fi
log=build/release/run-build.log
targets=("$game")
[ "$game" = tesk ] && targets+=(data_package) # Tesk reads its data from Base.Tarvol

# Ninja's "[done/total] step" lines become one progress line (on a terminal) or a
# percentage now and then; nothing at all is printed when there is nothing to build.
show_progress() {
  local line started=0 last=-1 done total percent
  while IFS= read -r line; do
    printf '%s\n' "$line" >>"$log"
    [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] || continue
    done=${BASH_REMATCH[1]}
    total=${BASH_REMATCH[2]}
    # Ninja's own checks of the build folder build nothing.
    [ "$done" -eq 0 ] && continue
    [[ $line == *"Re-checking globbed directories"* || $line == *"Re-running CMake"* ]] && continue
    if [ $started -eq 0 ]; then
      started=1
      echo "Building $name (the first build takes about a minute) …"
    fi
    percent=$((done * 100 / total))
    if [ -t 1 ]; then
      printf '\r  %3d %%  [%s/%s]' "$percent" "$done" "$total"
    elif [ $((percent / 25)) -ne $((last / 25)) ] || [ "$done" -eq "$total" ]; then
      echo "  $percent %"
    fi
    last=$percent
  done
  if [ $started -eq 1 ] && [ -t 1 ]; then
    echo
  fi
  return 0
}
: >"$log"
if ! cmake --build build/release --target "${targets[@]}" -- -j"$(nproc)" 2>&1 | show_progress; then
  cat "$log" >&2
  echo "run.sh: the build failed (see above)." >&2
  exit 1
fi

# Tesk places windows by screen coordinates (the pop-up's zoom, the result forms, the
# editor beside the game), which a native Wayland session ignores: under an X server
# (Xwayland included) it runs as an X11 client unless a platform was chosen. Without an
# X server the Wayland plug-in is used.
if [ -z "${QT_QPA_PLATFORM:-}" ]; then
  if [ -n "${DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=xcb
  elif [ -n "${WAYLAND_DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=wayland
  fi
fi
exec "build/release/bin/$game" "$@"
