#!/usr/bin/env bash
# Builds every program as a web page into one folder, then serves that folder on
# 127.0.0.1 for a try-out (Ctrl-C ends it):
#   scripts/web.sh [--build-only] [--build-dir DIR] [--port N]
# The folder (DIR/site, build/web/site by default) holds index.html and, per program,
# NAME.html, NAME.js and NAME.wasm: copy it as it is to any static web host.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/web
port=8017
serve=1
while [ $# -gt 0 ]; do
  case "$1" in
    --build-only) serve=0 ;;
    --build-dir) build=$2; shift ;;
    --port) port=$2; shift ;;
    *) echo "usage: scripts/web.sh [--build-only] [--build-dir DIR] [--port N]" >&2; exit 2 ;;
  esac
  shift
done
. scripts/packages.sh
ensure_packages "${WEB_BUILD_PACKAGES[@]}"

# Debian's emcc runs its JavaScript tools with whatever node is first on the path; one from
# outside Debian does not look in Debian's module folder for acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
emcmake cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j"$(nproc)"
site=$(cd "$build/site" && pwd)
echo "Pages in $site"
[ "$serve" -eq 1 ] || exit 0
echo "Serving on http://127.0.0.1:$port/ (Ctrl-C ends)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$site"
