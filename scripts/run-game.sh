#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it; arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build-game -DCMAKE_BUILD_TYPE=Release -DVURKHOLD_TESTS=OFF -DVURKHOLD_BENCH=OFF
cmake --build build-game -j"$(nproc)" --target vurkhold
exec ./build-game/vurkhold "$@"
