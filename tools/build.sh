#!/usr/bin/env bash
# Configures (once) and builds Quillet into ./build (or the folder given).
# ccache, when installed, keeps object files between clones of the tree.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the tree, and the tree's place left out of the hash, so
  # that every clone and worktree shares the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
fi
cmake --build "$dir" -j "$(nproc)"
