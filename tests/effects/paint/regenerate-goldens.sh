#!/usr/bin/env bash
# Rewrites the reference pictures in data/ from the current painting routines.
# They depend on the fonts (DejaVu, from fonts-dejavu-core) and on the "Windows"
# style, so they are drawn under Xvfb exactly as the test run draws them.
# Usage: tests/effects/paint/regenerate-goldens.sh [build dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:-$root/build/release}
cmake -S "$root" -B "$build" -G Ninja >/dev/null
cmake --build "$build" --target test_effects_paint_goldens_test --parallel 2
LUX_REGENERATE_GOLDENS=1 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/tests/test_effects_paint_goldens_test"
git -C "$root" status --short -- tests/effects/paint/data
