#!/usr/bin/env bash
# Builds small programs against Kurvo every way users do and runs them:
#
#   static library (build-dir)         shared library (build-dir-shared)
#   - find_package, installed, C++17   - find_package, installed, C++17
#     (every installed header is also  - find_package, build folder, C++20
#     compiled alone)                  - a Designer form promoting a QWidget
#   - find_package, build folder, C++20  to kurvo::TKurvo (uic), build folder
#   - add_subdirectory, C++17          - pkg-config, installed (g++ command line)
#   - FetchContent, C++20
#   - pkg-config, installed (g++ command line)
#
# Each project declares its standard and -Wall -Wextra -Wpedantic -Werror;
# C++17 projects are lifted to C++20 by the package. Each program runs
# off-screen, checks the pixels of the chart it painted and its Qt signals,
# and writes its picture to build-dir/consumer/pictures/, which must then
# be a PNG of the chart's size. Exits non-zero on any failure.
#
# Usage: tests/consumer/run.sh [build-dir]     (default: build/)
# The libraries are built in build-dir and build-dir-shared (brought up to
# date first); the consumers are built in build-dir/consumer/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
shared="$build-shared"
work="$build/consumer"
pictures="$work/pictures"
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
export QT_QPA_PLATFORM=offscreen
rm -rf "$pictures"
mkdir -p "$pictures"

# configure_and_build NAME SOURCE-DIR [cmake arguments...]
configure_and_build() {
  local name=$1 source=$2
  shift 2
  echo "== $name"
  cmake -S "$source" -B "$work/$name" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$work/$name" -j"$jobs"
}

# run_consumer PROGRAM PICTURE: runs it and checks the picture it wrote.
run_consumer() {
  local program=$1 picture="$pictures/$2.png"
  "$program" "$picture"
  if [ "$(head -c 8 "$picture" | od -An -tx1 | tr -d ' \n')" != 89504e470d0a1a0a ]; then
    echo "$picture is not a PNG picture" >&2
    return 1
  fi
}

# install_prefix BUILD-DIR PREFIX: installs and lists what was installed.
install_prefix() {
  rm -rf "$2"
  cmake --install "$1" --prefix "$2" >/dev/null
  (cd "$2" && find . -type f -o -type l | sort)
}

# pkg_config_consumer NAME PREFIX [pkg-config options]: the consumer built by
# one g++ command line, as a Makefile or another build system would.
pkg_config_consumer() {
  local name=$1 prefix=$2
  shift 2
  echo "== $name"
  local pc="$prefix/lib/pkgconfig"
  [ -d "$pc" ] || pc=$(dirname "$(find "$prefix" -name kurvo.pc | head -n 1)")
  local flags
  flags=$(PKG_CONFIG_PATH="$pc" pkg-config "$@" --cflags --libs kurvo)
  mkdir -p "$work/$name"
  # shellcheck disable=SC2086
  g++ -Wall -Wextra -Wpedantic -Werror -I"$here/common/own" "$here/common/consumer.cpp" $flags \
    -Wl,-rpath,"$(PKG_CONFIG_PATH="$pc" pkg-config --variable=libdir kurvo)" -o "$work/$name/kurvo-consumer"
  run_consumer "$work/$name/kurvo-consumer" "$name"
}

echo "== Kurvo, static, in $build"
"$root/scripts/build" "$build" >/dev/null
echo "== Kurvo, shared, in $shared"
"$root/scripts/build" "$shared" -DKURVO_SHARED=ON >/dev/null

install_prefix "$build" "$work/prefix-static"
install_prefix "$shared" "$work/prefix-shared"
if [ ! -f "$work/prefix-shared/share/doc/kurvo/LICENSE" ]; then
  echo "the licence is not installed under share/doc/kurvo" >&2
  exit 1
fi

headers=$(cd "$work/prefix-static/include" && find kurvo -name '*.h' | sort | paste -sd ';' -)

configure_and_build static-installed "$here/installed" -DCMAKE_PREFIX_PATH="$work/prefix-static" \
  -DKURVO_CONSUMER_HEADERS="$headers"
run_consumer "$work/static-installed/kurvo-consumer" static-installed

configure_and_build static-build-tree "$here/installed" -DKurvo_DIR="$build" -DKURVO_CONSUMER_STANDARD=20
run_consumer "$work/static-build-tree/kurvo-consumer" static-build-tree

configure_and_build static-subdir "$here/subdir" -DKURVO_SOURCE="$root"
run_consumer "$work/static-subdir/kurvo-consumer" static-subdir

configure_and_build static-fetchcontent "$here/subdir" -DKURVO_SOURCE="$root" -DKURVO_FETCH=ON \
  -DKURVO_CONSUMER_STANDARD=20
run_consumer "$work/static-fetchcontent/kurvo-consumer" static-fetchcontent

pkg_config_consumer static-pkg-config "$work/prefix-static" --static

configure_and_build shared-installed "$here/installed" -DCMAKE_PREFIX_PATH="$work/prefix-shared"
run_consumer "$work/shared-installed/kurvo-consumer" shared-installed
# The program uses the installed shared library, not a copy of its own.
ldd "$work/shared-installed/kurvo-consumer" | grep "$work/prefix-shared/.*/libkurvo.so" >/dev/null

configure_and_build shared-build-tree "$here/installed" -DKurvo_DIR="$shared" -DKURVO_CONSUMER_STANDARD=20
run_consumer "$work/shared-build-tree/kurvo-consumer" shared-build-tree

configure_and_build shared-designer-form "$here/designer_form" -DKurvo_DIR="$shared"
run_consumer "$work/shared-designer-form/kurvo-form-consumer" shared-designer-form

pkg_config_consumer shared-pkg-config "$work/prefix-shared"
ldd "$work/shared-pkg-config/kurvo-consumer" | grep "$work/prefix-shared/.*/libkurvo.so" >/dev/null

echo "== every consumer ran; pictures in $pictures"
