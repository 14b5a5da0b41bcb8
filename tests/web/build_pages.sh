#!/usr/bin/env bash
# The web tests' set-up: builds the pages with scripts/web.sh into the given folder.
# Skips (status 77, with the reason) on a machine without Emscripten, so the rest of the
# suite still runs there; where Emscripten is installed, a page that does not build fails.
#   tests/web/build_pages.sh SOURCE-DIR BUILD-DIR
set -uo pipefail
source_dir=$1
build_dir=$2
if ! command -v emcmake >/dev/null; then
  echo "SKIPPED: the web pages need Debian's emscripten package (scripts/packages.sh installs it)"
  exit 77
fi
log="$build_dir.log"
mkdir -p "$(dirname "$build_dir")"
if ! "$source_dir/scripts/web.sh" --build-only --build-dir "$build_dir" >"$log" 2>&1 </dev/null; then
  tail -n 40 "$log"
  echo "FAILED: the web pages could not be built; the whole log is in $log"
  rm -rf "$build_dir/site"  # the page tests then skip, rather than test stale pages
  exit 1
fi
tail -n 1 "$log"
