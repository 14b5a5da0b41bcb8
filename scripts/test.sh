#!/usr/bin/env bash
# Builds everything and runs every test: the unit and drawing tests, the end-to-end tests
# of the real programs under a private Xvfb server, and the unit tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
unset DISPLAY  # the end-to-end tests start their own X server
jobs=$(nproc)

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$jobs"
ctest --test-dir build/test -j"$jobs" --output-on-failure

cmake -S . -B build/sanitize -DCMAKE_BUILD_TYPE=Debug -DGEARPLOT_SANITIZE=ON -DGEARPLOT_END_TO_END=OFF >/dev/null
cmake --build build/sanitize -j"$jobs"
ctest --test-dir build/sanitize -j"$jobs" --output-on-failure -LE benchmark
echo "All tests passed."
