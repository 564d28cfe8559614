#!/usr/bin/env bash
# Builds the Debian package of a build folder, installs it, plays a headless match with the
# installed game from PATH, validates its desktop entry, metainfo and manual pages, checks
# the layout `cmake --install` stages under DESTDIR, and removes the package again. Any
# failed step fails the script, and the package does not stay installed.
#
#   scripts/package-check.sh BUILD_DIR
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 BUILD_DIR" >&2
  exit 2
fi
build=$(cd "$1" && pwd)
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
work=$(mktemp -d)
installed=0
cleanup() {
  if [ "$installed" = 1 ]; then "${sudo_cmd[@]}" apt-get remove -y -qq vurkhold >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "package-check: $*" >&2
  exit 1
}

echo "== build"
cmake --build "$build" -j2

echo "== package"
rm -f "$build"/vurkhold_*.deb
(cd "$build" && cpack -G DEB >"$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$build"/vurkhold_*_amd64.deb)
[ -f "${debs[0]}" ] || fail "cpack made no vurkhold_VERSION_amd64.deb in $build"
deb=${debs[0]}
echo "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends == *libsdl2* ]] || fail "Depends was not computed from the programs: '$depends'"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package's section is not games"

echo "== install"
installed=1
"${sudo_cmd[@]}" apt-get install -y -qq "$deb" >/dev/null
game=$(command -v vurkhold) || fail "vurkhold is not on PATH after installing"
[ "$game" = /usr/bin/vurkhold ] || fail "vurkhold on PATH is $game, not the package's /usr/bin/vurkhold"

echo "== headless match from PATH"
# From an empty folder and with no VURKHOLD_DATA, so the content can only be the
# installed one; it must play the match the build folder's game plays.
match=(--headless --bots --frames 2000 --seed 7 --no-record)
export VURKHOLD_NO_DIALOGS=1 SDL_AUDIODRIVER=dummy
(cd "$work" && env -u VURKHOLD_DATA vurkhold "${match[@]}" >"$work/installed.txt") ||
  fail "the installed game's headless match failed"
cat "$work/installed.txt"
grep -q '^winner ' "$work/installed.txt" || fail "the installed game printed no outcome"
"$build/vurkhold" "${match[@]}" >"$work/built.txt"
diff "$work/built.txt" "$work/installed.txt" || fail "the installed game played another match than the built one"

echo "== desktop entry, metainfo, manual pages"
desktop-file-validate /usr/share/applications/vurkhold.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net /usr/share/metainfo/vurkhold.metainfo.xml || fail "appstreamcli validate"
for page in /usr/share/man/man6/vurkhold.6 /usr/share/man/man6/vurkhold-mklevel.6; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
  man -l "$page" | grep -q 'EXIT STATUS' || fail "$page does not render"
done

echo "== remove"
"${sudo_cmd[@]}" apt-get remove -y -qq vurkhold >/dev/null
installed=0
[ ! -e /usr/bin/vurkhold ] || fail "/usr/bin/vurkhold is still there after removing the package"

echo "== cmake --install with DESTDIR"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
stage=$work/stage/usr
expected=(
  bin/vurkhold bin/vurkhold-mklevel bin/vurkhold-lab
  share/vurkhold/readme.txt share/vurkhold/other/weapons.cfg share/vurkhold/other/bullets.cfg
  share/vurkhold/levels/test1.vhl share/vurkhold/models/vurk2.m3d share/vurkhold/textures/vurk.tga
  share/vurkhold/sounds/exp1.wav
  share/applications/vurkhold.desktop share/metainfo/vurkhold.metainfo.xml
  share/man/man6/vurkhold.6 share/man/man6/vurkhold-mklevel.6
  share/icons/hicolor/48x48/apps/vurkhold.png share/icons/hicolor/128x128/apps/vurkhold.png
  share/icons/hicolor/256x256/apps/vurkhold.png
)
for f in "${expected[@]}"; do
  [ -s "$stage/$f" ] || fail "the staged install lacks $f"
done
programs=$(cd "$stage/bin" && ls | tr '\n' ' ')
[ "$programs" = "vurkhold vurkhold-lab vurkhold-mklevel " ] || fail "bin/ holds '$programs', not the three programs"
for size in 48 128 256; do
  file "$stage/share/icons/hicolor/${size}x$size/apps/vurkhold.png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" ||
    fail "the ${size}x$size icon is not a $size x $size RGBA PNG"
done
[ -z "$(find "$work/stage" -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "the install wrote outside the prefix"
echo "package-check: all good"
