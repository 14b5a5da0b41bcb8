#!/usr/bin/env bash
# The browser's frame benchmark: the desktop frame benchmark's scenes, each driven with keys
# in its web page in headless Chromium (software WebGL), with the median and worst
# milliseconds per frame measured in the page, from the key event to the end of the frame
# with WebGL finished. Not part of the tests: it reports.
#   scripts/web-frames.sh [--site DIR] [--frames N] [NAME-PART]
# Without --site it builds the pages into build/web first (scripts/web.sh --build-only).
set -euo pipefail
cd "$(dirname "$0")/.."
site=""
frames=30
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --site) site=$2; shift ;;
    --frames) frames=$2; shift ;;
    -*) echo "usage: scripts/web-frames.sh [--site DIR] [--frames N] [NAME-PART]" >&2; exit 2 ;;
    *) only=$1 ;;
  esac
  shift
done
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${WEB_BUILD_PACKAGES[@]}" chromium nodejs

# The scenes, as the desktop benchmark has them.
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j2 --target frame_benchmark >/dev/null
scenes=$(mktemp)
trap 'rm -f "$scenes"' EXIT
build/test/tests/frames/frame_benchmark --scenes >"$scenes"

if [ -z "$site" ]; then
  scripts/web.sh --build-only >/dev/null
  site=build/web/site
fi
node scripts/web_frames.js "$site" "$scenes" "$frames" "$only"
