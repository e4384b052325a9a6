#!/usr/bin/env bash
# Remakes resources/splash.jpg, the picture of the splash window and the About
# box (242 x 154, baseline JPEG), from the drawing in tools/splash-picture/.
# Usage: resources/make-splash-picture.sh [build dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" --target splash-picture >/dev/null
QT_QPA_PLATFORM=offscreen "$dir/tools/splash-picture/splash-picture" resources/splash.jpg
echo "wrote resources/splash.jpg"
