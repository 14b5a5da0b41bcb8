# Installs the Debian packages named as arguments that are not installed yet.
# Sourced by the run and test scripts; does nothing when everything is there.
ensure_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]} ..."
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# What building and running a program needs.
BUILD_PACKAGES=(cmake make g++ libglut-dev libgl-dev libx11-dev libgl1-mesa-dri)
# What the tests need besides: GoogleTest, Google Benchmark, a virtual X server and libpng
# for the pictures of the frame scenes.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb libpng-dev)
