#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite headless
# (a virtual X display with Mesa's software renderer, the dummy sound driver).
# BUILD_DIR and CMAKE_ARGS choose another build, e.g. the sanitizer build of .ci/run.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
build=${BUILD_DIR:-build}
# shellcheck disable=SC2086
cmake -S . -B "$build" ${CMAKE_ARGS:-}
cmake --build "$build" -j"$(nproc)"
cd "$build"
export SDL_AUDIODRIVER=dummy VURKHOLD_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1
xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure -j"$(nproc)"
