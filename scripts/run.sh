#!/usr/bin/env bash
# Builds one program and starts it: scripts/run.sh [cutdemo3|cutdemo2|cutdemo1|unwinddemo]
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-cutdemo3}
case "$program" in
  cutdemo3|cutdemo2|cutdemo1|unwinddemo) ;;
  *) echo "usage: scripts/run.sh [cutdemo3|cutdemo2|cutdemo1|unwinddemo]" >&2; exit 2 ;;
esac
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}"
cmake -S . -B build/run -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/run -j"$(nproc)" --target "$program" >/dev/null
exec "build/run/$program/$program"
