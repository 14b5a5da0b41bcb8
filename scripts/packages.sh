# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the run and test scripts; does nothing when everything is there.
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if ! command -v sudo >/dev/null; then
      # No way to become root from here: say what is needed and let the caller stop.
      echo "Missing Debian packages: ${missing[*]}" >&2
      echo "Install them as root, then run this again:" >&2
      echo "  su -c 'apt-get install ${missing[*]}'" >&2
      return 1
    fi
    sudo=(sudo)
  fi
  echo "Installing ${missing[*]} ..." >&2
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What building and running a program needs; gearlab draws its Japanese captions with
# Unifont's glyphs and writes its pictures with libpng.
BUILD_PACKAGES=(cmake make g++ libglut-dev libgl-dev libx11-dev libgl1-mesa-dri libpng-dev unifont)
# What the tests need besides: GoogleTest, Google Benchmark, a virtual X server, the DXF
# reader, SVG renderer, polygon library, CAD programs and OpenSCAD that read gearprofile's
# files back, and Emscripten and Chromium for the web pages.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb python3-ezdxf librsvg2-bin python3-shapely openscad librecad inkscape emscripten chromium)
# What the install checks read the package, the manual pages and the menu entries with.
TEST_PACKAGES+=(dpkg-dev file binutils groff-base man-db desktop-file-utils)
# What building the web pages needs (scripts/web.sh); the web tests also drive chromium.
WEB_BUILD_PACKAGES=(cmake make emscripten)
