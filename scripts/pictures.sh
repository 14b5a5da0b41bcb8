#!/usr/bin/env bash
# Captures the README's pictures from the real programs under a private Xvfb server and
# writes them to docs/pictures/, or to the folder given with --output. Run it again after a
# change to the drawing.
#   scripts/pictures.sh [--output FOLDER]
set -euo pipefail
out=docs/pictures
case "${1-}" in
  --output) [ $# -eq 2 ] || { echo "usage: $0 [--output FOLDER]" >&2; exit 2; }; out=$(realpath -m "$2") ;;
  "") ;;
  *) echo "usage: $0 [--output FOLDER]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages "${BUILD_PACKAGES[@]}" "${TEST_PACKAGES[@]}" xdotool imagemagick
cmake -S . -B build/pictures -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/pictures -j"$(nproc)" --target cutdemo3 cutdemo2 cutdemo1 unwinddemo gearlab wait_until_idle >/dev/null

work=$(mktemp -d)
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 5 -screen 0 1024x1024x24 -nolisten tcp -s 0 5>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 600); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
mkdir -p "$out"

# Waits until the program and the server have handled every key sent: the end-to-end tests'
# wait, which holds however busy the machine is.
settle() {
  build/pictures/tests/wait_until_idle 300 "$1" "$xvfb"
}

# snap PICTURE PROGRAM CONSOLE-INPUT KEY... — a key written k*n is pressed n times.
snap() {
  local picture=$1 program=$2 input=$3
  shift 3
  printf '%b' "$input" >"$work/input"
  "build/pictures/$program/$program" <"$work/input" >/dev/null &
  local pid=$! window=""
  for _ in $(seq 600); do
    window=$(xdotool search --onlyvisible --name . 2>/dev/null | head -n1) && [ -n "$window" ] && break
    sleep 0.1
  done
  xdotool windowmove "$window" 0 0 2>/dev/null || true  # without a window manager it sits at (-1, -1)
  settle "$pid"
  local keys=() k
  for k in "$@"; do
    if [[ $k == *'*'* ]]; then for _ in $(seq "${k#*\*}"); do keys+=("${k%\**}"); done; else keys+=("$k"); fi
  done
  xdotool key --delay 5 --window "$window" "${keys[@]}" 2>/dev/null
  settle "$pid"
  import -window "$window" "$out/$picture.png"
  xdotool key --window "$window" Escape 2>/dev/null || true
  wait "$pid"
  echo "$out/$picture.png"
}

snap cutdemo3-mode1 cutdemo3 '10\n0\n' 1 's*40'
snap cutdemo3-mode2 cutdemo3 '10\n0\n' 2 's*70'
snap cutdemo3-mode3 cutdemo3 '10\n0\n' 3 's*160'
snap cutdemo3-mode4 cutdemo3 '10\n0\n' 4 's*100'
snap cutdemo3-mode5 cutdemo3 '10\n0\n' 5 's*100'
snap cutdemo3-mode6 cutdemo3 '10\n0\n' 6
snap cutdemo2-mode6 cutdemo2 '10\n0\n' 6
snap cutdemo1-mode4 cutdemo1 '10\n0\n' 4 's*50'
snap cutdemo1-mode5 cutdemo1 '10\n0\n' 5
snap unwinddemo-mode1 unwinddemo '' 1 's*150'
snap unwinddemo-mode2 unwinddemo '' 2 's*150'
snap unwinddemo-mode3 unwinddemo '' 3 's*150'
snap unwinddemo-mode4 unwinddemo '' 4 's*80'
snap unwinddemo-mode5 unwinddemo '' 5 's*30'
snap unwinddemo-mode6 unwinddemo '' 6 's*30'
# typed TEXT: the keys that type TEXT into gearlab's entry, Enter before and after.
typed() {
  local keys=(Return) c i
  for ((i = 0; i < ${#1}; i++)); do
    c=${1:i:1}
    case $c in
      ' ') keys+=(space) ;; '.') keys+=(period) ;; '-') keys+=(minus) ;; *) keys+=("$c") ;;
    esac
  done
  printf '%s\n' "${keys[@]}" Return
}

snap gearlab-view1 gearlab '' 1 's*70'
snap gearlab-view2 gearlab '' 2
snap gearlab-view3 gearlab '' 3 's*5'
snap gearlab-help gearlab '' 2 h
# The lesson: the meshing zone of the 10/10 pair labelled, a 3-tooth mate, rack A at 25° with
# its rounding reduced, z = 8 shifted to x_min typed exactly, and a pointed tooth.
snap gearlab-view3-zone gearlab '' 3 f 's*5'
snap gearlab-view3-mate3 gearlab '' 3 'm*7' f 's*3'
snap gearlab-angle25 gearlab '' a a 's*60'
mapfile -t z8 < <(typed 'z 8'; typed 'x 0.5321')
snap gearlab-z8-xmin gearlab '' "${z8[@]}" 's*120'
mapfile -t pointed < <(typed 'z 8'; typed 'x 0.55')
snap gearlab-pointed gearlab '' "${pointed[@]}" 2
# The pinion cutter and the ring gear: the cutter cutting ten teeth; a 12-tooth cutter's fillet
# against the rack of its profile, close up; a ring of 60 teeth cut, finished, and meshing
# with a pinion of 50 (the meshing zone) and of 52 (its tips catch the ring's).
snap gearlab-pinion-view1 gearlab '' c 's*70'
mapfile -t cutter12 < <(typed 'cutter 12')
snap gearlab-pinion-fillet gearlab '' "${cutter12[@]}" 2 'W*14' 'Right*6' 'Up*17'
mapfile -t ring < <(typed 'z 60')
snap gearlab-ring-view1 gearlab '' "${ring[@]}" i 's*60'
snap gearlab-ring-view2 gearlab '' "${ring[@]}" i 2
mapfile -t pinion50 < <(typed 'mate 50')
snap gearlab-ring-view3 gearlab '' "${ring[@]}" i "${pinion50[@]}" 3 f 's*5'
mapfile -t pinion52 < <(typed 'mate 52')
snap gearlab-ring-tip gearlab '' "${ring[@]}" i "${pinion52[@]}" 3 's*5'
