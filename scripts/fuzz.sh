#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer and UndefinedBehaviorSanitizer) into
# build-fuzz/ and runs every one for a bounded time, two at a time, each from a corpus
# seeded from the content that build wrote. Fails on any crash, leak, hang or sanitizer
# report, leaving the input that caused it in build-fuzz/fuzz/crashes/TARGET/.
#   FUZZ_SECONDS  seconds per target (default 30)
#   FUZZ_JOBS     targets run at once (default 2)
#   FUZZ_TARGETS  the targets to run (default all), e.g. "tga model"
set -euo pipefail
cd "$(dirname "$0")/.."

BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
SECONDS_EACH=${FUZZ_SECONDS:-30}
JOBS=${FUZZ_JOBS:-2}
TARGETS=${FUZZ_TARGETS:-"level tga model sounds_cfg bmodels_cfg wmodels_cfg bullets_cfg weapons_cfg readme input_script options settings replay packet"}

./scripts/install-deps.sh
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -DVURKHOLD_FUZZ=ON -DVURKHOLD_TESTS=OFF -DVURKHOLD_BENCH=OFF \
  -DVURKHOLD_LTO=OFF >/dev/null
cmake --build "$BUILD_DIR" -j2 --target vurk_fuzzers

# Absolute: each target works inside its own scratch folder.
work=$PWD/$BUILD_DIR/fuzz
game=$BUILD_DIR

# Seeds: the files the game ships, and a few scripts and command lines like the README's.
seed() {  # seed TARGET FILE...
  mkdir -p "$work/seeds/$1"
  cp "${@:2}" "$work/seeds/$1/"
}
rm -rf "$work/seeds"
seed level "$game"/levels/*.vhl
seed tga "$game"/textures/*.tga
seed model "$game"/models/*.m3d
for cfg in sounds bmodels wmodels bullets weapons; do seed ${cfg}_cfg "$game/other/$cfg.cfg"; done
seed readme "$game/readme.txt"
mkdir -p "$work/seeds/settings"
{
  printf 'vurkhold-settings 1\n# kept choices\nlevel LEVELS\\MAZE.VHL\nshow-fps yes\nambient 0.2\n'
  printf 'candle-light-range 36\nlives 100\nfrag-limit 50\ncamera first-person\n'
  for v in 1 2 3 4; do
    printf 'vurk%d.type computer\nvurk%d.team %d\nvurk%d.item jetpack\n' $v $v $v $v
    printf 'vurk%d.weapon1 LASER\nvurk%d.weapon2 DIGGER\nvurk%d.weapon3 NAPALM\nvurk%d.weapon4 MINIGUN\n' $v $v $v $v
  done
} >"$work/seeds/settings/settings.cfg"
mkdir -p "$work/seeds/input_script" "$work/seeds/options"
printf '# START GAME\n5 press Return\n7 press Down\n25 press Return\n40 mouse 200 0\n100 press F12\n120 press Escape\n' \
  >"$work/seeds/input_script/start.txt"
printf '# menu\n\n3 press Return\r\n  4 down Left Shift  \n5 up MouseLeft\n6 mouse -12 40\n9 quit\n' \
  >"$work/seeds/input_script/events.txt"
# The replay target records its own seeds into its corpus on its first run; the packet
# target writes one message of each kind.
mkdir -p "$work/seeds/packet"
"$work/fuzz_packet" --write-seeds "$work/seeds/packet"
mkdir -p "$work/seeds/replay"
args() {  # args FILE ARG...: the arguments joined by NUL bytes, as the options target splits them
  local file=$1
  shift
  printf '%s\0' "$@" | head -c -1 >"$file"
}
args "$work/seeds/options/scripted" --windowed --no-sound --seed 7 --frame-ms 16 --frames 400 --input start.txt \
  --screenshot m.png
args "$work/seeds/options/headless" --headless --bots --level levels/maze.vhl --lives 100 --frag-limit 50 \
  --hash-every 10 --frames 37500
args "$work/seeds/options/flags" --fullscreen --data /tmp --no-vsync --help --version

# The longest input tried: room for a whole level and its rocks; for images and models
# less than the largest shipped ones (they are cut to it), as a long input only slows the
# runs down without reaching more of the reader; for a packet a little over the largest
# control message, a whole level piece, which no seed is as long as.
max_len() {
  case $1 in
    level) echo "-max_len=$(($(stat -c %s "$game"/levels/*.vhl | sort -n | tail -1) + 1024))" ;;
    tga) echo "-max_len=65536" ;;
    model) echo "-max_len=16384" ;;
    packet) echo "-max_len=1100" ;;
  esac
}

export SDL_AUDIODRIVER=dummy VURKHOLD_NO_DIALOGS=1
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run() {  # run TARGET: its log in $work/logs/TARGET.log, its status in TARGET.status
  local t=$1
  mkdir -p "$work/corpus/$t" "$work/crashes/$t" "$work/logs"
  # The game's own messages go to stderr on every refused input: -close_fd_mask=2 drops
  # them, while the fuzzer's report and the sanitizers' keep their own copy of stderr.
  set +e
  "$work/fuzz_$t" -max_total_time="$SECONDS_EACH" -timeout=10 -close_fd_mask=2 -print_final_stats=1 \
    $(max_len "$t") -artifact_prefix="$work/crashes/$t/" "$work/corpus/$t" "$work/seeds/$t" \
    >"$work/logs/$t.log" 2>&1
  echo $? >"$work/logs/$t.status"
}
export -f run max_len
export work game SECONDS_EACH

echo "fuzzing $(echo $TARGETS | wc -w) targets, ${SECONDS_EACH}s each, $JOBS at a time"
echo $TARGETS | tr ' ' '\n' | xargs -P "$JOBS" -I{} bash -c 'run {}'

failed=0
for t in $TARGETS; do
  status=$(cat "$work/logs/$t.status")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/logs/$t.log" | tail -1)
  if [ "$status" = 0 ]; then
    printf '%-14s ok      %12s executions\n' "$t" "${execs:-?}"
  else
    printf '%-14s FAILED  %12s executions (status %s), log %s\n' "$t" "${execs:-?}" "$status" "$work/logs/$t.log"
    grep -m3 -E 'ERROR|runtime error|SUMMARY' "$work/logs/$t.log" | sed 's/^/    /'
    failed=1
  fi
done
exit $failed
