#!/usr/bin/env bash
# The transitions library as a Qt programmer takes it: the library-only build
# is configured, built and installed into a temporary prefix; the installed
# files, the SONAME, what the library links and exports, and the pkg-config
# file are checked; then examples/ is built from the prefix as an outside
# project (find_package) and its programs run under Xvfb with openbox, the
# dialog shown and hidden through one call each.
# Usage: library_test.sh [build dir]   (default: build/lib)
set -euo pipefail
root=$(realpath "$(dirname "$0")/../..")
build=$(realpath -m "${1:-$root/build/lib}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# The library's sources are the ones the main build compiled a moment ago:
# through ccache (when present) they are not compiled again.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$root}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DLUX_LIBRARY_ONLY=ON -DLUX_BUILD_TESTS=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$build" --parallel "$(nproc)" >/dev/null || fail "the library-only build"
! grep -qiE 'libQt6SerialPort|libjpeg|libgtest|libbenchmark|flashupdate-cli|board-sim' "$build/build.ninja" \
  || fail "the library-only build builds more than the library"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(cd "$prefix" && dirname "$(find . -name 'liblux-transitions.so.1.*' | sed 's|^\./||')")
for file in "$libdir/liblux-transitions.so.1" "$libdir/liblux-transitions.so" include/lux/transitions.h \
            include/lux/effects/forms/luxanimation.h include/lux/platform/types.h \
            "$libdir/cmake/LuxTransitions/LuxTransitionsConfig.cmake" \
            "$libdir/cmake/LuxTransitions/LuxTransitionsConfigVersion.cmake" \
            "$libdir/pkgconfig/lux-transitions.pc"; do
  [ -e "$prefix/$file" ] || fail "not installed: $file"
done
[ -z "$(find "$prefix" -name '*.a')" ] || fail "static archives installed"
library=$prefix/$libdir/liblux-transitions.so.1
dynamic=$(readelf -d "$library")
grep -q 'SONAME.*\[liblux-transitions\.so\.1\]' <<<"$dynamic" || fail "SONAME: $(grep SONAME <<<"$dynamic")"
! ldd "$library" | grep -Ei 'serialport|jpeg' || fail "the library links Qt SerialPort or libjpeg"
exports=$(nm -DC --defined-only "$library")
for name in 'lux::animateShow' 'lux::Transition::staticMetaObject' 'TluxAnimation::Execute()' 'luxStartup()'; do
  grep -qF "$name" <<<"$exports" || fail "not exported: $name"
done
! grep -qE ' (composeFrame|prepareAnimationSlot|startRowBands)\(' <<<"$exports" || fail "internal functions exported"

# The Debian packages scripts/package makes of it: the library, and the rest for programmers.
cpack --config "$build/CPackConfig.cmake" -B "$work/deb" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
runtime=$(ls "$work"/deb/liblux-transitions1_*.deb) && dev=$(ls "$work"/deb/liblux-transitions-dev_*.deb) \
  || fail "packages: $(ls "$work/deb")"
# The listings are read whole before they are searched: with pipefail, a grep -q
# that stops at its first match would fail the pipe by breaking dpkg-deb's output.
grep -q 'liblux-transitions\.so\.1\.' <<<"$(dpkg-deb -c "$runtime")" || fail "the library package lacks the library"
grep -q 'include/lux/transitions\.h' <<<"$(dpkg-deb -c "$dev")" || fail "the -dev package lacks the headers"
[[ "$(dpkg-deb -f "$dev" Depends)" == *liblux-transitions1* ]] || fail "the -dev package does not depend on the library"

# pkg-config, for a build without CMake.
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
flags=$(pkg-config --cflags --libs lux-transitions) || fail "pkg-config"
# The .pc file names its prefix from where it lies: ${pcfiledir}/../..
paths=$(for f in $flags; do case $f in -I*|-L*) echo "${f:0:2}$(realpath -m "${f:2}")" ;; esac; done | tr '\n' ' ')
[[ " $paths " == *" -I$prefix/include "* && " $paths " == *" -I$prefix/include/lux "* \
   && " $paths " == *" -L$prefix/$libdir "* && " $flags " == *" -llux-transitions "* ]] \
  || fail "pkg-config gives: $flags"
cat >"$work/names.cpp" <<'CPP'
#include <lux/transitions.h>
#include "effects/forms/luxstartup.h"
#include <QApplication>
#include <cstdio>
int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    std::printf("%lld\n", static_cast<long long>(lux::effectNames().size()));
    return luxStarted() ? 0 : 1;
}
CPP
# shellcheck disable=SC2086
c++ -std=c++20 -fPIC "$work/names.cpp" -o "$work/names" $flags -Wl,-rpath,"$prefix/$libdir" || fail "a pkg-config build"
[ "$(QT_QPA_PLATFORM=offscreen "$work/names")" = 58 ] || fail "the pkg-config program"

# The examples, as an outside project.
cmake -S "$root/examples" -B "$work/examples" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null || fail "configuring examples/"
cmake --build "$work/examples" >/dev/null || fail "building examples/"
run() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$root/scripts/with-wm" "$@"
}
out=$(run "$work/examples/dialog-transition" --check 2>&1) || fail "dialog-transition: $out"
grep -qx 'shown: visible' <<<"$out" && grep -qx 'hidden: not visible' <<<"$out" || fail "dialog-transition: $out"
out=$(run "$work/examples/page-transitions" --check 2>&1) || fail "page-transitions: $out"
echo "the library installed, linked by pkg-config and by find_package; the examples showed and hid their windows"
