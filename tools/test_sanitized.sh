#!/usr/bin/env bash
# Builds every test with AddressSanitizer and UndefinedBehaviorSanitizer
# (the dev-asan preset, -O1 so the tests run fast) into ./build-asan and
# runs them all. The first report of either ends the test that made it, and
# a leak found when a test program ends fails it (QUILLET_DETECT_LEAKS=0
# turns that off while hunting something else).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-asan
launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the tree, and the tree's place left out of the hash, so
  # that every clone and worktree shares the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Set for the build too: test discovery runs the test programs.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=${QUILLET_DETECT_LEAKS:-1}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export QT_QPA_PLATFORM=offscreen
if [ ! -f "$dir/build.ninja" ]; then
  cmake --preset dev-asan "${launcher[@]}"
fi
cmake --build "$dir" -j "$(nproc)"
cd "$dir"
ctest --output-on-failure -j "$(nproc)"
