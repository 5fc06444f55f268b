#!/usr/bin/env bash
# Builds two small programs against Kurvo the ways users do, one through
# find_package(Kurvo) after cmake --install and one through add_subdirectory.
# Each declares C++17 as its standard and -Wall -Wextra -Wpedantic -Werror,
# includes every installed header, and then runs off-screen and checks the
# pixels of the chart it painted. Exits non-zero on any failure.
#
# Usage: tests/consumer/run.sh [build-dir]     (default: build/)
# The library is installed from build-dir (brought up to date first); the
# consumers are built in build-dir/consumer/.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$root/build}")
work="$build/consumer"
jobs=$(nproc)
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
export QT_QPA_PLATFORM=offscreen

echo "== Kurvo installed from $build"
"$root/scripts/build" "$build" >/dev/null
rm -rf "$work/prefix"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
(cd "$work/prefix" && find . -type f | sort)

# One file that includes every installed header: none may fail to compile
# or warn in a strict C++17 project.
every="$work/every_header.cpp"
(cd "$work/prefix/include" && find kurvo -name '*.h' | sort | sed 's/.*/#include <&>/') >"$every"

echo "== consumer through find_package(Kurvo)"
cmake -S "$here/installed" -B "$work/installed" "${launcher[@]}" -DCMAKE_PREFIX_PATH="$work/prefix" \
  -DKURVO_CONSUMER_EVERY_HEADER="$every" >/dev/null
cmake --build "$work/installed" -j"$jobs"
"$work/installed/kurvo-consumer"

echo "== consumer through add_subdirectory"
cmake -S "$here/subdir" -B "$work/subdir" "${launcher[@]}" -DKURVO_SOURCE="$root" \
  -DKURVO_CONSUMER_EVERY_HEADER="$every" >/dev/null
cmake --build "$work/subdir" -j"$jobs"
"$work/subdir/kurvo-consumer"
