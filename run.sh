#!/usr/bin/env bash
# Builds an optimised Tesk and Pelvo and starts one of them:
#   ./run.sh [tesk|pelvo] [switches...]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
game=tesk
case "${1:-}" in
  tesk|pelvo) game=$1; shift ;;
esac
tools/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ "${QT_QPA_PLATFORM:-}" != offscreen ]; then
  echo "run.sh: no display available (DISPLAY and WAYLAND_DISPLAY are unset); start it from a desktop session." >&2
  exit 1
fi
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTP_TESTS=OFF >/dev/null
cmake --build build/release --target "$game" -- -j"$(nproc)" | grep -v '^\[' || true
exec "build/release/bin/$game" "$@"
