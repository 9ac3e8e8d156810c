#!/usr/bin/env bash
# Sets up a Debian 12 machine for Prismoria, builds the game and its data, then
# either starts the game ("play") or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(build-essential cmake pkg-config git libsdl2-dev libsdl2-ttf-dev libpng-dev
  libogg-dev libvorbis-dev libarchive-dev zlib1g-dev libgtest-dev libgmock-dev
  libbenchmark-dev fonts-comfortaa xvfb xauth xdotool
  desktop-file-utils appstream x11-utils groff-base libx11-dev
  # SDL's Wayland driver (the libraries it loads when the game starts on a Wayland
  # desktop, window decorations, EGL) and weston, the compositor its test runs under.
  weston libwayland-client0 libwayland-cursor0 libwayland-egl1 libxkbcommon0
  libdecor-0-0 libdecor-0-plugin-1-cairo libegl1 libegl-mesa0 libgl1-mesa-dri
  # What the Wayland test asks weston's output with: its scale, and a dump of its pixels.
  wayland-utils x11-apps
  clang clang-14 libclang-rt-14-dev llvm-14)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

build() {  # build <dir> [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j "$jobs"
}

mode=${1:-play}
install_packages
case "$mode" in
  play)
    build build
    exec ./build/bin/prismoria
    ;;
  test)
    build build -DPRISMORIA_WERROR=ON
    (cd build && ctest --output-on-failure -j "$jobs")
    # The same tests again with AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-asan -DPRISMORIA_WERROR=ON -DPRISMORIA_SANITIZE=ON -DPRISMORIA_BENCH=OFF
    (cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
       LSAN_OPTIONS=suppressions="$PWD/../tests/lsan.supp" \
       UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
       ctest --output-on-failure -j "$jobs")
    # The libFuzzer targets (clang, with both sanitizers), each for a minute on a
    # copy of its seed inputs, two at a time; any finding fails the run.
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DPRISMORIA_FUZZ=ON -DPRISMORIA_TESTS=OFF \
      -DPRISMORIA_BENCH=OFF -DPRISMORIA_FUZZ_DATA_PACK="$PWD/build/bin/Prismoria.data"
    cmake --build build-fuzz -j "$jobs" --target fuzz_targets
    FUZZ_PARALLEL=2 bash fuzz/run.sh build-fuzz 60
    ;;
  *)
    echo "usage: $0 play|test" >&2
    exit 2
    ;;
esac
