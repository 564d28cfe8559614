#!/usr/bin/env bash
# Plays the real game of a sanitizer build under the leak checker: the help page, a
# one-player match, the menu, a two-player match, EXIT (the input in leak-check.txt).
# Fails on any leak tests/lsan.supp does not name, and when the run did not reach each
# of those screens: a run that quit at once would find no leak either.
#
#   scripts/leak-check.sh [BUILD_DIR]      (default build-asan)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build=${1:-build-asan}
if [ ! -x "$build/vurkhold" ]; then
  echo "leak check: no game in '$build' (build it with -DVURKHOLD_SANITIZE=ON)" >&2
  exit 2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Counts the HUD's pure red in a rectangle of a screenshot: the bars under the views
# show which screen was up (none in the menu, one across the bottom in a one-player
# match, one under each half in a two-player match).
cat > "$work/red.cpp" <<'CPP'
#include <png.h>
#include <cstdio>
#include <cstdlib>
#include <vector>
int main(int argc, char** argv) {
  if (argc != 6) return 2;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, argv[1])) return 1;
  image.format = PNG_FORMAT_RGB;
  std::vector<unsigned char> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return 1;
  const unsigned x0 = std::atoi(argv[2]), y0 = std::atoi(argv[3]), x1 = std::atoi(argv[4]), y1 = std::atoi(argv[5]);
  long red = 0;
  for (unsigned y = y0; y < y1 && y < image.height; y++)
    for (unsigned x = x0; x < x1 && x < image.width; x++) {
      const unsigned char* p = &rgb[(y * image.width + x) * 3];
      if (p[0] >= 240 && p[1] <= 16 && p[2] <= 16) red++;
    }
  std::printf("%ld\n", red);
}
CPP
c++ -O2 "$work/red.cpp" -lpng -o "$work/red"

# Fast unwinding is what keeps the sanitizer build quick enough to play; exitcode 23
# tells a leak from the game's own failures.
export ASAN_OPTIONS=detect_leaks=1:exitcode=23
export LSAN_OPTIONS=suppressions=$top/tests/lsan.supp
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export SDL_AUDIODRIVER=dummy VURKHOLD_NO_DIALOGS=1 LIBGL_ALWAYS_SOFTWARE=1
export XDG_DATA_HOME=$work/data
# No --frames: the game must end by the menu's EXIT; the timeout only catches a run
# that never gets there.
status=0
timeout 100 xvfb-run -a -s "-screen 0 1024x768x24" "$build/vurkhold" --windowed --no-sound \
  --seed 7 --frame-ms 16 --input "$top/scripts/leak-check.txt" --screenshot "$work/end.png" \
  >"$work/out" 2>&1 || status=$?
cat "$work/out"
case $status in
  0) ;;
  23) echo "leak check: LeakSanitizer found a leak (above)" >&2; exit 1 ;;
  124) echo "leak check: the game did not reach EXIT within 100 s" >&2; exit 1 ;;
  *) echo "leak check: the game failed with status $status" >&2; exit 1 ;;
esac

shots=$work/data/vurkhold/screenshots
# One shot: its red in the one-player bar, the two-player left bar and right bar.
bars() {
  echo "$("$work/red" "$1" 0 436 320 476) $("$work/red" "$1" 0 284 320 324) $("$work/red" "$1" 320 284 640 324)"
}
expect() {
  local name=$1 file=$2 want=$3 got
  if [ ! -f "$file" ]; then
    echo "leak check: no screenshot of the $name" >&2
    exit 1
  fi
  got=$(bars "$file" | while read -r a b c; do
    for n in $a $b $c; do if [ "$n" -ge 300 ]; then printf 1; else printf 0; fi; done
  done)
  if [ "$got" != "$want" ]; then
    echo "leak check: $file is not the $name (HUD bars $got, want $want: $(bars "$file"))" >&2
    exit 1
  fi
}
expect "help page" "$shots/vurkhold-0001.png" 000
expect "one-player match" "$shots/vurkhold-0002.png" 100
expect "menu after the match" "$shots/vurkhold-0003.png" 000
expect "two-player match" "$shots/vurkhold-0004.png" 011
expect "menu at EXIT" "$work/end.png" 000
echo "leak check: no leak through the help page, both matches, the menu and EXIT"
