#!/usr/bin/env bash
# The run script as a user meets it: it says what it builds, starts the program in the
# caller's folder with the arguments given, names the programs it knows, and where a
# package is missing and sudo is not there it says what to install instead of failing
# on sudo.
set -euo pipefail
. "$(dirname "$0")/checks.sh"
run=$source_dir/scripts/run.sh
export RUN_BUILD_DIR=$build_dir
mkdir "$work/here" && cd "$work/here"

# The tooth data file lands in the caller's folder; the window's option reaches freeglut.
status=0
printf '20\n1\nflank.txt\n' | timeout 120 "$run" cutdemo3 -display :4242 >out 2>err || status=$?
[ $status -eq 1 ] || fail "run.sh cutdemo3 ended with status $status: $(cat err)"
grep -q "building cutdemo3" err || fail "run.sh did not say what it builds: $(cat err)"
grep -q "failed to open display ':4242'" err || fail "run.sh did not pass the program its arguments: $(cat err)"
[ "$(head -n1 flank.txt)" = "z=20   m=188" ] || fail "the tooth data file is not in the caller's folder"
[ ! -e "$source_dir/flank.txt" ] || fail "the tooth data file landed in the repository"

status=0
"$run" no-such-program >out 2>err || status=$?
[ $status -eq 2 ] && grep -q "cutdemo3" err || fail "an unknown program gave status $status and: $(cat err)"
if grep -q "^gearprofile"$'\t' "$build_dir/programs.txt"; then
  timeout 120 "$run" gearprofile --help >out 2>err || fail "run.sh gearprofile --help: $(cat err)"
  grep -q -- "--teeth" out || fail "run.sh gearprofile --help printed no usage on standard output"
fi

# A user who is not root, on a machine without sudo, missing two packages.
mkdir "$work/bin"
printf '#!/bin/sh\necho 1000\n' >"$work/bin/id"
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
ln -s "$(command -v grep)" "$work/bin/grep"
chmod +x "$work/bin"/*
status=0
PATH=$work/bin "$BASH" -c '. "$1"; ensure_packages cmake libglut-dev' _ "$source_dir/scripts/packages.sh" \
  >out 2>err || status=$?
[ $status -ne 0 ] && [ $status -ne 127 ] || fail "without sudo ensure_packages gave status $status"
grep -q "apt-get install cmake libglut-dev" err || fail "without sudo it did not say what to install: $(cat err)"

# With sudo there, it installs through it.
printf '#!/bin/sh\necho "$*" >>"%s/sudo.log"\n' "$work" >"$work/bin/sudo"
chmod +x "$work/bin/sudo"
PATH=$work/bin "$BASH" -c '. "$1"; ensure_packages cmake libglut-dev' _ "$source_dir/scripts/packages.sh" \
  >out 2>err || fail "with sudo ensure_packages failed: $(cat err)"
grep -q "apt-get install .*cmake libglut-dev" "$work/sudo.log" || fail "it did not install through sudo"
echo "run.sh builds, passes arguments and runs in the caller's folder; no sudo is explained"
