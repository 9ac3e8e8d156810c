#!/usr/bin/env bash
# Sets up a Debian 12 machine for Prismoria, builds the game and its data, then
# either starts the game ("play"), runs every test ("test"), or builds the Debian
# packages into build-deb/ ("deb").
set -euo pipefail
cd "$(dirname "$0")/.."

# What building the game and its data needs.
PACKAGES=(build-essential cmake pkg-config git libsdl2-dev libsdl2-ttf-dev libpng-dev
  libogg-dev libvorbis-dev libarchive-dev zlib1g-dev fonts-comfortaa)
# What the tests, benchmarks and fuzzing need besides.
TEST_PACKAGES=(libgtest-dev libgmock-dev
  libbenchmark-dev xvfb xauth xdotool
  desktop-file-utils appstream x11-utils groff-base libx11-dev
  # SDL's Wayland driver (the libraries it loads when the game starts on a Wayland
  # desktop, window decorations, EGL) and weston, the compositor its test runs under.
  weston libwayland-client0 libwayland-cursor0 libwayland-egl1 libxkbcommon0
  libdecor-0-0 libdecor-0-plugin-1-cairo libegl1 libegl-mesa0 libgl1-mesa-dri
  # What the Wayland test asks weston's output with: its scale, and a dump of its pixels.
  wayland-utils x11-apps
  clang clang-14 libclang-rt-14-dev llvm-14
  # The Debian packages' build and check (their build dependencies are the above).
  dpkg-dev debhelper lintian)

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)

install_packages() {  # install_packages <package...>
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

build() {  # build <dir> [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" "$@"
  cmake --build "$dir" -j "$jobs"
}

# build_debs: the Debian packages of this tree in build-deb/, built (with the tests
# unless DEB_BUILD_OPTIONS says nocheck) from the upstream tarball made of the tree
# and the packaging in debian/; the .deb files and the source package stay there.
build_debs() {
  local opts=" ${DEB_BUILD_OPTIONS:-} " profile= version upstream epoch
  [[ $opts == *" nocheck "* ]] && profile=nocheck
  [[ $opts == *" parallel="* ]] || opts+="parallel=$jobs"
  install_packages dpkg-dev
  if ! dpkg-checkbuilddeps ${profile:+-P$profile} 2>/dev/null; then
    "${sudo[@]}" apt-get update
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get build-dep -y --no-install-recommends \
      ${profile:+--build-profiles=$profile} ./
  fi
  version=$(dpkg-parsechangelog -S Version)
  upstream=${version%-*}
  epoch=$(dpkg-parsechangelog -S Timestamp)
  rm -rf build-deb
  mkdir build-deb
  # The tree without its packaging, build folders and version control, with the
  # same bytes whenever and wherever the same tree is packed.
  tar --exclude=./.git --exclude='./build*' --exclude=./debian --sort=name --mtime="@$epoch" \
    --owner=0 --group=0 --numeric-owner --mode=go-w --transform="s,^\.,prismoria-$upstream," \
    -cf - . | xz -6 -T1 > "build-deb/prismoria_$upstream.orig.tar.xz"
  tar -xf "build-deb/prismoria_$upstream.orig.tar.xz" -C build-deb
  cp -r debian "build-deb/prismoria-$upstream/"
  (cd "build-deb/prismoria-$upstream" &&
    DEB_BUILD_OPTIONS=$(echo $opts) dpkg-buildpackage -us -uc ${profile:+-P$profile})
  rm -rf "build-deb/prismoria-$upstream"
  ls -l build-deb/*.deb
}

mode=${1:-play}
case "$mode" in
  play)
    install_packages "${PACKAGES[@]}"
    # The game, its tools and its data only: no tests, no benchmarks.
    build build -DPRISMORIA_TESTS=OFF -DPRISMORIA_BENCH=OFF
    exec ./build/bin/prismoria
    ;;
  test)
    install_packages "${PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build -DPRISMORIA_WERROR=ON -DPRISMORIA_TESTS=ON -DPRISMORIA_BENCH=ON
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
    # The Debian packages, without their tests (they have just run), and lintian's
    # verdict on them: any error or warning fails the run.
    deb_start=$SECONDS
    DEB_BUILD_OPTIONS="nocheck ${DEB_BUILD_OPTIONS:-}" build_debs
    lintian --pedantic -I --fail-on error,warning build-deb/*.changes
    echo "The Debian packages and lintian took $((SECONDS - deb_start)) s"
    ;;
  deb)
    build_debs
    ;;
  *)
    echo "usage: $0 play|test|deb" >&2
    exit 2
    ;;
esac
