#!/usr/bin/env bash
# The frame benchmark: each scene of the four programs drawn by their own display code
# through real Mesa (llvmpipe) on a private Xvfb, in a process of its own as the program
# would draw it, with the median and worst CPU milliseconds per frame.
#   scripts/frames.sh [NAME-PART]   the scenes whose name holds NAME-PART, or all
#   scripts/frames.sh --memory N    resident memory over N steps of each soak, in its own process
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
unset DISPLAY  # the benchmark starts its own X server

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j2 --target frame_benchmark >/dev/null
bench=build/test/tests/frames/frame_benchmark

if [ "${1:-}" = "--memory" ]; then
  # Each soak in a process of its own, so none starts from another's memory.
  for soak in cutdemo3-z20-mode4 cutdemo3-z20-mode5 unwinddemo-mode5; do
    "$bench" --memory "${2:-2000}" "$soak"
  done
  exit 0
fi
printf '%-34s %9s %9s %7s %9s\n' scene "median ms" "worst ms" frames "RSS MB"
for scene in $("$bench" --list); do
  case "$scene" in *"${1:-}"*) FRAMES_NO_HEADER=1 "$bench" "$scene" | grep -F "$scene " ;; esac
done
