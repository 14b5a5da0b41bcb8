#!/usr/bin/env bash
# Installs into a temporary prefix, as a teacher would, and checks that every program is
# in bin/ with its manual page, that the menu entries and the README with its pictures
# are there, and that the installed programs start and answer.
set -euo pipefail
. "$(dirname "$0")/checks.sh"
prefix=$work/prefix
cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  fail "cmake --install: $(cat "$work/install.log")"

for program in "${programs[@]}"; do
  [ -x "$prefix/bin/$program" ] || fail "$program is not installed in bin/"
  page=$prefix/share/man/man1/$program.1.gz
  [ -f "$page" ] || fail "$program has no manual page"
  zcat "$page" | cmp -s - "$source_dir/man/$program.1" || fail "$page is not man/$program.1"
  ldd "$prefix/bin/$program" | grep "not found" && fail "$program misses a library"
done

# Every program that talks on the console has a menu entry that opens a terminal.
for entry in "$prefix"/share/applications/*.desktop; do
  desktop-file-validate "$entry" || fail "$entry is not a valid desktop entry"
  exec_line=$(sed -n 's/^Exec=//p' "$entry")
  [ -x "$prefix/bin/${exec_line%% *}" ] || fail "$entry starts ${exec_line%% *}, which is not installed"
done
for program in cutdemo3 cutdemo2 cutdemo1 unwinddemo; do
  grep -qx "Terminal=true" "$prefix/share/applications/$program.desktop" ||
    fail "$program's menu entry does not open a terminal"
done

# The README is readable where it is installed: every picture it shows is beside it.
doc=$prefix/share/doc/gear-geometry
[ -f "$doc/README.md" ] || fail "README.md is not installed"
for picture in $(grep -o '](docs/pictures/[^)]*)' "$doc/README.md" | sed 's/^](//; s/)$//'); do
  [ -f "$doc/$picture" ] || fail "the README shows $picture, which is not installed"
done

# A rack program answers its first question on a pipe and prints the tip radius of
# z = 20 (z/2 + 1 for module 1); without a display it then ends with status 1.
mkdir "$work/here" && cd "$work/here"
for program in cutdemo3 cutdemo2 cutdemo1; do
  status=0
  printf '20\n0\n' | timeout 60 "$prefix/bin/$program" >out 2>err || status=$?
  [ $status -eq 1 ] || fail "$program ended with status $status without a display: $(cat err)"
  grep -q "Input 歯数z=" out || fail "$program did not ask for the tooth count"
  grep -q "歯先円=11.000" out || fail "$program printed no tip radius of 11.000 for z=20"
done
status=0
timeout 60 "$prefix/bin/unwinddemo" </dev/null >out 2>err || status=$?
[ $status -eq 1 ] && grep -q "糸の巻き戻し" out || fail "unwinddemo did not print its set-up (status $status)"
if [ -x "$prefix/bin/gearprofile" ]; then
  timeout 60 "$prefix/bin/gearprofile" --help >out || fail "gearprofile --help failed"
  grep -q -- "--teeth" out || fail "gearprofile --help does not name --teeth"
fi
echo "installed ${#programs[@]} programs into a temporary prefix"
