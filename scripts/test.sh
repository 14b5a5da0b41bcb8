#!/usr/bin/env bash
# Builds everything and runs every test: the unit and drawing tests and the end-to-end tests
# of the real programs under a private Xvfb server, then all of them once more built with
# AddressSanitizer and UndefinedBehaviorSanitizer. Both phases always run; the script ends
# with one line per phase, "N passed, N failed", and fails if either phase did.
set -uo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" || exit 1
unset DISPLAY  # the end-to-end tests start their own X server
jobs=$(nproc)

summaries=()
failed_phases=0

# phase NAME BUILD-FOLDER CMAKE-OPTION... -- CTEST-OPTION...
phase() {
  local name=$1 dir=$2
  shift 2
  local configure=()
  while [ "$1" != -- ]; do configure+=("$1"); shift; done
  shift
  local passed=0 failed=1
  if cmake -S . -B "$dir" "${configure[@]}" >/dev/null && cmake --build "$dir" -j"$jobs"; then
    ctest --test-dir "$dir" -j"$jobs" --output-on-failure "$@" 2>&1 | tee "$dir/ctest.log"
    # ctest closes with "NN% tests passed, F tests failed out of T".
    local counts
    counts=$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$dir/ctest.log")
    if [ -n "$counts" ]; then
      failed=${counts% *}
      passed=$((${counts#* } - failed))
    fi
    [ "$passed" -gt 0 ] || failed=$((failed > 0 ? failed : 1))  # no tests ran at all
  else
    echo "The $name build failed; its tests did not run."
  fi
  [ "$failed" -eq 0 ] || failed_phases=$((failed_phases + 1))
  summaries+=("$name: $passed passed, $failed failed")
}

phase tests build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo --
phase sanitized build/sanitize -DCMAKE_BUILD_TYPE=Debug -DGEARPLOT_SANITIZE=ON -DGEARPLOT_END_TO_END=ON -- -LE benchmark

echo
printf '%s\n' "${summaries[@]}"
[ "$failed_phases" -eq 0 ]
