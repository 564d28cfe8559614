#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it; arguments go to the game.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVURKHOLD_TESTS=OFF -DVURKHOLD_BENCH=OFF
cmake --build build -j"$(nproc)" --target vurkhold
exec ./build/vurkhold "$@"
