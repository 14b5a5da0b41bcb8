#!/usr/bin/env bash
# Builds the .deb with CPack and checks it: every program and its manual page under /usr,
# a Depends field naming the runtime package of every library the programs link (and no
# development package), satisfied on this machine; and that dpkg installs and removes it
# cleanly, in a private root.
set -euo pipefail
. "$(dirname "$0")/checks.sh"
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
debs=("$work"/out/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "cpack made ${#debs[@]} packages"
deb=${debs[0]}
package=$(dpkg-deb -f "$deb" Package)

dpkg-deb -c "$deb" | awk '{ print $6 }' >"$work/files"
grep -v '^\./usr/' "$work/files" && fail "the package puts files outside /usr"
for program in "${programs[@]}"; do
  grep -qx "./usr/bin/$program" "$work/files" || fail "the package has no /usr/bin/$program"
  grep -qx "./usr/share/man/man1/$program.1.gz" "$work/files" || fail "the package has no manual page of $program"
done
grep -qx "./usr/share/doc/$package/README.md" "$work/files" || fail "the package has no README"

# Depends, one package a line, without versions.
depends=$(dpkg-deb -f "$deb" Depends)
dependencies=$(tr ',' '\n' <<<"$depends" | sed 's/(.*//; s/ //g')
grep -- '-dev$' <<<"$dependencies" && fail "Depends names a development package: $depends"

# Every library a program links directly comes from a package that Depends names.
dpkg-deb -x "$deb" "$work/unpacked"
needed_libraries() {
  local name
  for name in $(readelf -d "$1" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p'); do
    ldd "$1" | awk -v name="$name" '$1 == name && $2 == "=>" { print $3 }'
  done
}
owner() {
  local real
  real=$(realpath "$1")
  # Debian registers a library under /lib or /usr/lib: ask for both spellings.
  for path in "$1" "/usr$1" "$real" "${real#/usr}"; do
    dpkg -S "$path" 2>/dev/null | sed -n '1s/:.*//p' | grep . && return
  done
  fail "no package owns $1"
}
for program in "${programs[@]}"; do
  for library in $(needed_libraries "$work/unpacked/usr/bin/$program"); do
    needed=$(owner "$library")
    grep -qx "$needed" <<<"$dependencies" || fail "$program links $library of $needed, which Depends lacks: $depends"
  done
done

# Each dependency is installed here in a version it accepts, so dpkg -i would succeed.
while read -r name relation version; do
  installed=$(dpkg-query -W -f='${Version}' "$name" 2>/dev/null) || fail "$name is not installed here"
  [ -z "$relation" ] || dpkg --compare-versions "$installed" "$relation" "$version" ||
    fail "$name $installed is not $relation $version"
done < <(tr ',' '\n' <<<"$depends" | tr -d '()' | sed 's/:any//')

# Install and remove in a private root; the libraries live in the real one, so dpkg is
# told not to look for them there.
root=$work/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg_here() { dpkg --root="$root" --log=/dev/null --force-not-root --force-depends "$@" >>"$work/dpkg.log" 2>&1; }
dpkg_here -i "$deb" || fail "dpkg -i: $(cat "$work/dpkg.log")"
for program in "${programs[@]}"; do
  [ -x "$root/usr/bin/$program" ] || fail "dpkg -i did not install /usr/bin/$program"
done
dpkg_here -r "$package" || fail "dpkg -r: $(cat "$work/dpkg.log")"
left=$(find "$root" -mindepth 1 -not -path "$root/var*")
[ -z "$left" ] || fail "dpkg -r left behind: $left"
echo "$(basename "$deb"): ${#programs[@]} programs, Depends: $depends"
