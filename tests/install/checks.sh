# Sourced by the install checks: called as CHECK SOURCE-DIR BUILD-DIR. Gives them the
# two folders, a scratch folder removed on exit, the list of programs the build makes, and
# fail, which says what is wrong and ends the check.
source_dir=$1
build_dir=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mapfile -t programs < <(cut -f1 "$build_dir/programs.txt")
[ ${#programs[@]} -gt 0 ] || { echo "no programs listed in $build_dir/programs.txt" >&2; exit 1; }
# The programs never open a window here, whatever the caller's session has.
unset DISPLAY WAYLAND_DISPLAY
export LC_ALL=C.UTF-8

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
