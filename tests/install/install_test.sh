#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses it as a user would: the
# installed flashupdate-cli sends a file to the installed board-sim, with its
# settings in the user's configuration folder; the menu entry validates; then
# the Debian package is built and its contents and dependencies are checked.
# Usage: install_test.sh <build dir>
set -euo pipefail
build=$(realpath "$1")
work=$(mktemp -d)
board_pid=
cleanup() {
  if [ -n "$board_pid" ]; then kill "$board_pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

# Exactly the programs, the menu entry, its icons and the manual pages: no
# tests, benchmarks or tools for making pictures.
expected="bin/board-sim
bin/flashupdate
bin/flashupdate-cli
bin/lux-preview
share/applications/flashupdate.desktop
share/icons/hicolor/128x128/apps/flashupdate.png
share/icons/hicolor/256x256/apps/flashupdate.png
share/icons/hicolor/48x48/apps/flashupdate.png
share/man/man1/board-sim.1.gz
share/man/man1/flashupdate-cli.1.gz
share/man/man1/flashupdate.1.gz
share/man/man1/lux-preview.1.gz"
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files differ:
$(diff <(echo "$expected") <(echo "$installed") || true)"

desktop-file-validate "$prefix/share/applications/flashupdate.desktop" || fail "desktop entry"

grep -qx 'flashupdate-cli [0-9.]*' <<<"$("$prefix/bin/flashupdate-cli" --version)" || fail "--version"

# An installed copy keeps its settings under $XDG_CONFIG_HOME, even where it may
# write to its own bin/ (as root may).
export XDG_CONFIG_HOME=$work/config HOME=$work/home
grep -qF "settings file: $XDG_CONFIG_HOME/flashupdate/Config.dat" <<<"$("$prefix/bin/flashupdate-cli" --help)" \
  || fail "settings folder of an installed copy"

mkfifo "$work/board.out"
"$prefix/bin/board-sim" --log "$work/reads.log" --reply 'OK\r\n' >"$work/board.out" 2>&1 &
board_pid=$!
read -r device <"$work/board.out"
printf 'line one\nline two\n' >"$work/image.txt"
"$prefix/bin/flashupdate-cli" send "$work/image.txt" --port "$device" --baud 115200 --gap 5 --lines \
  >"$work/replies" 2>"$work/progress" || fail "transfer: $(cat "$work/progress")"
grep -qx 'packets: 2' "$work/progress" || fail "packets: $(cat "$work/progress")"
[ "$(grep -c OK "$work/replies")" = 2 ] || fail "replies: $(cat "$work/replies")"
kill "$board_pid"
wait "$board_pid" 2>/dev/null || true
board_pid=
# The board's log holds each read as "time count hex"; together they are the file.
[ "$(cut -d' ' -f3 "$work/reads.log" | tr -d '\n' | xxd -r -p)" = "$(cat "$work/image.txt")" ] \
  || fail "the board did not get the file"

cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/deb/flashupdate_*.deb)
dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '/$' | LC_ALL=C sort >"$work/contents"
[ "$(cat "$work/contents")" = "$(echo "$expected" | sed 's|^|./usr/|')" ] \
  || fail "package contents: $(cat "$work/contents")"
depends=$(dpkg-deb -f "$deb" Depends)
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 qt6-qpa-plugins libjpeg62-turbo; do
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] || fail "Depends lacks $package: $depends"
done
echo "installed, transferred and packaged: $(basename "$deb")"
