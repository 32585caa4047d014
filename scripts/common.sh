# Shared by the scripts: paths, package installation and the builds.
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${LORVAN_BUILD_DIR:-$ROOT/build}"
WINE=/usr/lib/wine/wine64

PACKAGES="cmake make g++ googletest g++-mingw-w64-x86-64-posix wine64 xvfb xauth
  fonts-dejavu-core culmus xclip imagemagick clang-14 libclang-rt-14-dev
  xdotool desktop-file-utils nlohmann-json3-dev"
# Only the tests need these: LibreOffice reads what the reader puts on the clipboard.
TEST_PACKAGES="libreoffice-writer-nogui"

# The Wine prefix the reader runs in, for the user running the script.
reader_prefix() {
  echo "${WINEPREFIX:-${XDG_DATA_HOME:-$HOME/.local/share}/lorvan/wineprefix}"
}

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs whatever of the build and run packages, and of any packages named
# as arguments, is missing.
ensure_packages() {
  local missing=""
  for p in $PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  echo "Installing:$missing"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
}

# The native build: tools, and the window-free code under the sanitizers.
build_host() {
  cmake -S "$ROOT" -B "$BUILD/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLORVAN_SANITIZE=ON >/dev/null
  cmake --build "$BUILD/host" -j"$(nproc)"
}

# The Win32 build: the reader, its tests and the benchmark.
build_win() {
  cmake -S "$ROOT" -B "$BUILD/win" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
    -DLORVAN_HOST_BIN_DIR="$BUILD/host/bin" >/dev/null
  cmake --build "$BUILD/win" -j"$(nproc)"
}

build_all() {
  build_host && build_win
}
