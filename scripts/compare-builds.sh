#!/usr/bin/env bash
# Plays the same headless match with the game of each build folder given and fails when
# any two outcomes differ: every build type of one version must play the same world.
#
#   scripts/compare-builds.sh BUILD_DIR BUILD_DIR [BUILD_DIR]...
#
# Each folder must hold a built `vurkhold` and its game folder. The match is four computer
# players, 16 ms frames; LEVEL (default levels/maze.vhl), SEED (default 7) and FRAMES
# (default 20000, over five minutes of play, seconds even in the sanitizer build) choose
# another. A hash line every 500 frames catches a difference within 500 frames of where it
# starts; the printed command with `--hash-every 1` finds the frame.
set -euo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR BUILD_DIR [BUILD_DIR]..." >&2
  exit 2
fi
frames=${FRAMES:-20000}
seed=${SEED:-7}
level=${LEVEL:-levels/maze.vhl}
args=(--headless --bots --level "$level" --seed "$seed" --frames "$frames" --frame-ms 16 --hash-every 500 --no-record)

# The level is named inside each game folder and the match runs from a folder without
# one, so each game reads its own copy and every outcome names it the same way.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dirs=("$@")
n=0
for dir in "${dirs[@]}"; do
  game=$(cd "$dir" 2>/dev/null && pwd)/vurkhold || true
  if [ ! -x "$game" ]; then
    echo "compare-builds: no game in $dir (build the vurkhold target there first)" >&2
    exit 2
  fi
  status=0
  (cd "$work" && "$game" "${args[@]}") >"$work/outcome$n" 2>"$work/errors$n" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "compare-builds: $game ${args[*]} ended with status $status:" >&2
    cat "$work/errors$n" "$work/outcome$n" >&2
    exit 1
  fi
  n=$((n + 1))
done

mapfile -t expected <"$work/outcome0"
for ((i = 1; i < n; i++)); do
  dir=${dirs[i]}
  mapfile -t got <"$work/outcome$i"
  lines=$((${#expected[@]} > ${#got[@]} ? ${#expected[@]} : ${#got[@]}))
  for ((k = 0; k < lines; k++)); do
    if [ "${expected[k]-(no line)}" != "${got[k]-(no line)}" ]; then
      echo "compare-builds: $1 and $dir play different matches (vurkhold ${args[*]})" >&2
      echo "  first difference, line $((k + 1)) of the outcome:" >&2
      echo "  $1: ${expected[k]-(no line)}" >&2
      echo "  $dir: ${got[k]-(no line)}" >&2
      exit 1
    fi
  done
done
echo "compare-builds: the $n builds play the same match ($level, seed $seed, $frames frames), ${expected[-1]}"
