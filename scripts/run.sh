#!/usr/bin/env bash
# Builds one program and starts it in the current folder, so that a file it saves lands
# where you are: scripts/run.sh [PROGRAM [ARGUMENT...]], cutdemo3 when none is named.
# RUN_BUILD_DIR chooses the build folder (build/run in the repository by default).
# What this script says goes to standard error; standard output is the program's.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=${RUN_BUILD_DIR:-$repo/build/run}
program=${1:-cutdemo3}
[ $# -gt 0 ] && shift

. "$repo/scripts/packages.sh"
ensure_packages "${BUILD_PACKAGES[@]}"

# Configures the build folder, with the run's options the first time.
configure() {
  local options=()
  [ -f "$build/CMakeCache.txt" ] || options=(-DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release)
  echo "configuring the build in $build …" >&2
  mkdir -p "$build"
  if ! cmake -S "$repo" -B "$build" "${options[@]}" >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
  fi
}

# The built file of the program, from programs.txt that the build writes: NAME<tab>PATH.
built_file() { awk -F '\t' -v name="$program" '$1 == name { print $2 }' "$build/programs.txt" 2>/dev/null; }

[ -f "$build/programs.txt" ] || configure
[ -n "$(built_file)" ] || configure  # a program added since the last configure
if [ -z "$(built_file)" ]; then
  echo "usage: scripts/run.sh [PROGRAM [ARGUMENT...]], PROGRAM one of:" \
    $(cut -f1 "$build/programs.txt") >&2
  exit 2
fi

echo "building $program …" >&2
cmake --build "$build" -j"$(nproc)" --target "$program" >&2
echo "starting $program in $PWD" >&2
exec "$(built_file)" "$@"  # read after the build, which may have moved it
