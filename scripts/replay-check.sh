#!/usr/bin/env bash
# Records two matches with the game of a build folder and plays their replays back with
# no window: a bot match, whose replay must print the same outcome as the match did, and
# a two-player match played from scripts/replay-check.txt under Xvfb, whose replay must
# reach its end mark with every state hash and the last one the same, also when two
# machines play it online through a lossy link. Both again under the sync test, going
# back 1 and 8 steps. A --no-record match must leave no replay.
#
#   scripts/replay-check.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ] || [ ! -x "$1/vurkhold" ]; then
  echo "usage: $0 BUILD_DIR (holding a built vurkhold and its game folder)" >&2
  exit 2
fi
game=$(cd "$1" && pwd)/vurkhold
top=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config
export SDL_AUDIODRIVER=dummy VURKHOLD_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1
replays=$XDG_DATA_HOME/vurkhold/replays

fail() {
  echo "replay check: $*" >&2
  exit 1
}
# The one replay a run left, moved aside under a name of our own.
take_replay() {
  local found
  found=$(ls "$replays"/*.vhr 2>/dev/null || true)
  [ "$(echo "$found" | grep -c .)" = 1 ] || fail "expected one replay in $replays, found: ${found:-none}"
  mv "$found" "$work/$1.vhr"
}

cd "$work"
"$game" --headless --bots --level levels/maze.vhl --seed 7 --frames 6000 --frame-ms 16 --hash-every 500 \
  >bots.txt || fail "the bot match failed"
take_replay bots
"$game" --headless --replay bots.vhr --hash-every 500 >bots-replayed.txt ||
  fail "the bot match's replay failed with status $?"
diff bots.txt bots-replayed.txt || fail "the bot match's replay came out differently (above)"

timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" "$game" --windowed --no-sound --seed 3 --frame-ms 16 \
  --frames 3000 --input "$top/scripts/replay-check.txt" >two.txt 2>&1 || fail "the two-player match failed: $(cat two.txt)"
take_replay two
"$game" --headless --replay two.vhr --hash-every 500 >two-replayed.txt 2>&1 ||
  fail "the two-player match's replay failed: $(cat two-replayed.txt)"
grep -q '^vurk 2 team 2 human' two-replayed.txt || fail "the two-player replay has no second human: $(cat two-replayed.txt)"

# Two machines online on the loopback, each playing one player's commands from the
# two-player replay through a lossy, jittery link, must end with its outcome and hashes.
online() {  # online NAME NETSIM
  VURKHOLD_NETSIM=$2 timeout 200 "$game" --headless --host 0 --play-input two.vhr:1 --frames "$frames" \
    --hash-every 500 --min-players 2 --no-record >"$1-host.txt" 2>"$1-host.err" &
  local host=$! port=
  for _ in $(seq 100); do
    port=$(sed -n 's/.*hosting on port \([0-9]*\).*/\1/p' "$1-host.err")
    [ -n "$port" ] && break
    sleep 0.1
  done
  [ -n "$port" ] || fail "the host never listened: $(cat "$1-host.err")"
  VURKHOLD_NETSIM=$2 timeout 200 "$game" --headless --join "127.0.0.1:$port" --play-input two.vhr:2 \
    --frames "$frames" --hash-every 500 --no-record >"$1-client.txt" 2>"$1-client.err" ||
    fail "the client failed: $(cat "$1-client.err")"
  wait $host || fail "the host failed: $(cat "$1-host.err")"
  for side in host client; do
    diff two-replayed.txt "$1-$side.txt" || fail "the online $side's match came out differently from the replay (above)"
  done
  grep -q 'netsim: .* dropped [1-9]' "$1-host.err" || fail "the conditioner dropped nothing: $(cat "$1-host.err")"
}
frames=$(sed -n 's/^frames //p' two-replayed.txt)
online lossy "delay=30,jitter=15,loss=5,dup=1,reorder=2,seed=7"

# The sync test: every step played again after going back 1 and 8 steps, on the bot match
# and on the two-player replay, must leave each outcome as it was.
for back in 1 8; do
  "$game" --headless --bots --level levels/maze.vhl --seed 7 --frames 6000 --frame-ms 16 --hash-every 500 \
    --no-record --sync-test $back >bots-sync.txt || fail "the bot match's sync test going back $back failed: $(tail -3 bots-sync.txt)"
  diff bots.txt bots-sync.txt || fail "the bot match came out differently under the sync test going back $back"
  "$game" --headless --replay two.vhr --hash-every 500 --sync-test $back >two-sync.txt 2>&1 ||
    fail "the two-player replay's sync test going back $back failed: $(tail -3 two-sync.txt)"
  diff two-replayed.txt two-sync.txt || fail "the two-player replay came out differently under the sync test going back $back"
done

"$game" --headless --bots --frames 100 --no-record >/dev/null || fail "the --no-record match failed"
[ -z "$(ls "$replays")" ] || fail "--no-record left a replay: $(ls "$replays")"

echo "replay check: the bot match and the two-player match replayed the same, also under the sync test going back 1 and 8 steps, and online on two machines through a lossy link; --no-record kept none"
