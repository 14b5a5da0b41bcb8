#!/usr/bin/env bash
# Renders every manual page as groff and man do, with all warnings on, and checks that
# each one names its own program and refers only to pages that exist.
set -euo pipefail
. "$(dirname "$0")/checks.sh"
pages=("$source_dir"/man/*.1)
for program in "${programs[@]}"; do
  [ -f "$source_dir/man/$program.1" ] || fail "$program has no manual page man/$program.1"
done

for page in "${pages[@]}"; do
  name=$(basename "$page" .1)
  # -k: the pages quote the programs' Japanese console texts in UTF-8.
  groff -k -man -Tutf8 -ww -z "$page" 2>"$work/groff.err" || fail "groff failed on $page"
  [ ! -s "$work/groff.err" ] || fail "groff warns on $page: $(cat "$work/groff.err")"
  man --warnings -l "$page" >"$work/page.txt" 2>"$work/man.err" || fail "man -l failed on $page"
  [ ! -s "$work/man.err" ] || fail "man -l warns on $page: $(cat "$work/man.err")"
  grep -q "^${name^^}(1)" "$work/page.txt" || fail "$page is not headed ${name^^}(1)"
  for section in NAME SYNOPSIS DESCRIPTION "EXIT STATUS"; do
    grep -qx "$section" "$work/page.txt" || fail "$page has no $section"
  done
  for reference in $(grep -o '\b[a-z][a-z0-9]*(1)' "$work/page.txt" | sort -u); do
    [ -f "$source_dir/man/${reference%(1)}.1" ] || fail "$page refers to $reference, which has no page"
  done
done
echo "rendered ${#pages[@]} manual pages without warnings"
