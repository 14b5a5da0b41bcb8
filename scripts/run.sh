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

# The build writes programs.txt, "NAME PATH" a line, naming every program it can make.
if [ ! -f "$build/programs.txt" ]; then
  options=()
  [ -f "$build/CMakeCache.txt" ] || options=(-DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release)
  echo "configuring the build in $build …" >&2
  mkdir -p "$build"
  if ! cmake -S "$repo" -B "$build" "${options[@]}" >"$build/configure.log" 2>&1; then
    cat "$build/configure.log" >&2
    exit 1
  fi
fi
path=$(awk -v name="$program" '$1 == name { print $2 }' "$build/programs.txt")
if [ -z "$path" ]; then
  echo "usage: scripts/run.sh [PROGRAM [ARGUMENT...]], PROGRAM one of:" \
    $(cut -d' ' -f1 "$build/programs.txt") >&2
  exit 2
fi

echo "building $program …" >&2
cmake --build "$build" -j"$(nproc)" --target "$program" >&2
echo "starting $program in $PWD" >&2
exec "$path" "$@"
