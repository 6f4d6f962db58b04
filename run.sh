#!/usr/bin/env bash
# Builds an optimised Tesk and Pelvo and starts one of them:
#   ./run.sh [tesk|pelvo] [switches...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
game=tesk
case "${1:-}" in
  tesk|pelvo) game=$1; shift ;;
esac
# A window needs a display: say so at once rather than after installing and building.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "run.sh: no display available (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
  exit 1
fi
tools/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTP_TESTS=OFF >/dev/null
mkdir -p build/release
log=build/release/run-build.log
targets=("$game")
[ "$game" = tesk ] && targets+=(data_package) # Tesk reads its data from Base.Tarvol
if ! cmake --build build/release --target "${targets[@]}" -- -j"$(nproc)" >"$log" 2>&1; then
  cat "$log" >&2
  echo "run.sh: the build failed (see above)." >&2
  exit 1
fi
# Tesk places windows by screen coordinates (the pop-up's zoom, the result forms, the
# editor beside the game), which a native Wayland session ignores: under an X server
# (Xwayland included) it runs as an X11 client unless a platform was chosen.
if [ -n "${DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  export QT_QPA_PLATFORM=xcb
fi
exec "build/release/bin/$game" "$@"
