#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test headless through ctest. Extra arguments go to ctest (for example -L packages).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
tools/setup.sh --tests
root=$(pwd)
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTP_SANITIZE=ON -DTP_BENCH=OFF >/dev/null
cmake --build build/asan -- -j"${TP_JOBS:-$(nproc)}"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tools/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:suppressions=$root/tools/sanitizers/ubsan.supp"
cd build/asan
ctest --output-on-failure -j"${TP_JOBS:-$(nproc)}" --timeout 300 "$@"
