#!/usr/bin/env bash
# Online figures on the loopback, each machine its own process playing the scripted
# two-player replay's commands: the bytes each way per machine of a four-machine match, the
# steps played again a second at a 100 ms round trip with jitter, the input delay chosen at
# 50 ms, and a split-screen window's frame rate on software GL while it goes back and forth.
#
#   bench/online.sh BUILD_DIR
set -euo pipefail
[ $# -eq 1 ] && [ -x "$1/vurkhold" ] || { echo "usage: $0 BUILD_DIR" >&2; exit 2; }
game=$(cd "$1" && pwd)/vurkhold
replay=$(cd "$(dirname "$0")/.." && pwd)/tests/fixtures/replays/format2-two-players.vhr
work=$(mktemp -d)
trap 'rm -rf "$work"; kill $(jobs -p) 2>/dev/null || true' EXIT
cd "$work"
export XDG_DATA_HOME=$work/data SDL_AUDIODRIVER=dummy VURKHOLD_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1
frames=1371

host() {  # host NAME PLAYS MIN NETSIM
  VURKHOLD_NETSIM=$4 "$game" --headless --host 0 --play-input "$replay:$2" --frames $frames --min-players "$3" \
    --no-record >"$1.out" 2>"$1.err" &
  for _ in $(seq 100); do
    port=$(sed -n 's/.*hosting on port \([0-9]*\).*/\1/p' "$1.err")
    [ -n "$port" ] && return
    sleep 0.1
  done
  echo "no host" >&2
  exit 1
}
client() {  # client NAME PLAYS NETSIM [window]
  if [ "${4:-}" = window ]; then
    VURKHOLD_NETSIM=$3 xvfb-run -a -s "-screen 0 1024x768x24" "$game" --windowed --no-sound --no-vsync \
      --join "127.0.0.1:$port" --play-input "$replay:$2" --frames $frames --no-record >"$1.out" 2>"$1.err" &
  else
    VURKHOLD_NETSIM=$3 "$game" --headless --join "127.0.0.1:$port" --play-input "$replay:$2" --frames $frames \
      --no-record >"$1.out" 2>"$1.err" &
  fi
}
field() { sed -n "s/^net: .* $2 \([0-9.]*\).*/\1/p" "$1.err"; }

echo "== four machines, no conditioning: bytes a second each way (goal: at most 10 KB/s)"
host h4 1 4 ""
client a 2 ""; client b 1 ""; client c 2 ""
wait
for m in h4 a b c; do
  s=$(field $m seconds)
  awk -v m=$m -v o="$(field $m wire_sent)" -v i="$(field $m wire_received)" -v s="$s" \
    'BEGIN { printf "%-3s sent %.2f KB/s  received %.2f KB/s  (%s s)\n", m, o / s / 1000, i / s / 1000, s }'
done
cmp -s h4.out a.out && cmp -s h4.out b.out && cmp -s h4.out c.out && echo "all four outcomes equal"

echo "== two machines, delay=50,jitter=20 each way: steps played again a second"
host hr 1 2 "delay=50,jitter=20,seed=3"; client r 2 "delay=50,jitter=20,seed=4"; wait
for m in hr r; do
  awk -v m=$m -v n="$(field $m rollback_steps)" -v b="$(field $m rollbacks)" -v s="$(field $m seconds)" \
    'BEGIN { printf "%-3s rollbacks %d, steps again %d: %.1f steps a second\n", m, b, n, n / s }'
done
grep -h "input delay" hr.err | head -1

echo "== two machines, delay=25 each way (50 ms round trip): the input delay (goal: at most 2 ticks)"
host hd 1 2 "delay=25,seed=5"; client d 2 "delay=25,seed=6"; wait
grep -h "input delay" hd.err d.err

echo "== a split-screen window on software GL, delay=50,jitter=20,loss=5 (goal: 60 frames a second)"
host hw 1 2 "delay=50,jitter=20,loss=5,seed=8"; client w 1,2 "delay=50,jitter=20,loss=5,seed=9" window; wait
grep -h "^window:" w.err
awk -v n="$(field w rollback_steps)" -v s="$(field w seconds)" 'BEGIN { printf "window: %.1f steps again a second\n", n / s }'
sed -n 's/^window: frames \([0-9]*\) in \([0-9.]*\) s/\1 \2/p' w.err | awk '{ printf "window: %.1f frames a second\n", $1 / $2 }'
