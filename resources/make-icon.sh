#!/usr/bin/env bash
# Remakes resources/icons/flashupdate-<size>.png, the program's icon for the
# desktop menu (48, 128 and 256 pixels), from the drawing in tools/icon-picture/.
# Usage: resources/make-icon.sh [build dir]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
if [ ! -f "$dir/CMakeCache.txt" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$dir" --target icon-picture >/dev/null
mkdir -p resources/icons
QT_QPA_PLATFORM=offscreen "$dir/tools/icon-picture/icon-picture" resources/icons
echo "wrote resources/icons/flashupdate-{48,128,256}.png"
