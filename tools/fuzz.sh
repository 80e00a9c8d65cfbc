#!/usr/bin/env bash
# Runs one fuzz target for a number of minutes, starting from its committed
# corpus, then merges what it found back into that corpus (-merge=1: only
# inputs that reach new code), so the next campaign starts from it.
#   bash tools/fuzz.sh csv 20
# The fuzz tree is built (clang, ASan + UBSan) into ./build-fuzz when needed.
# A finding stops the run; its input is left in fuzz/findings/TARGET/.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: tools/fuzz.sh TARGET MINUTES   (TARGET: csv, script, ...)"
target=${1:?$usage}
minutes=${2:?$usage}
if [ ! -f "fuzz/${target}_fuzz.cpp" ]; then
  echo "no fuzz target fuzz/${target}_fuzz.cpp" >&2
  exit 2
fi
if ! [[ "$minutes" =~ ^[0-9]+$ ]] || [ "$minutes" -lt 1 ]; then
  echo "$usage" >&2
  exit 2
fi

dir=build-fuzz
launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the tree, and the tree's place left out of the hash, so
  # that every clone and worktree shares the cache.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUILLET_FUZZ=ON -DQUILLET_TESTS=OFF -DQUILLET_BENCH=OFF "${launcher[@]}"
fi
cmake --build "$dir" -j "$(nproc)" --target "${target}_fuzz"

binary=$dir/fuzz/${target}_fuzz
corpus=fuzz/corpus/$target
findings=fuzz/findings/$target
dictionary=fuzz/dictionaries/$target.dict
mkdir -p "$corpus" "$findings"
fresh=$(mktemp -d)
trap 'rm -rf "$fresh" "$fresh.log"' EXIT

# UBSan halts on its first report, so such a report is a finding like a crash.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export ASAN_OPTIONS=abort_on_error=1
# The timeout is generous: on a shared machine a niced run can wait for the
# processor for many seconds, which is no hang of the target.
options=(-max_total_time=$((minutes * 60)) -timeout=60 -rss_limit_mb=2048
  -print_final_stats=1 -artifact_prefix="$findings/")
if [ -f "$dictionary" ]; then options+=(-dict="$dictionary"); fi

# New inputs go to $fresh; the progress lines ("#1234 NEW ...") are left out.
"$binary" "${options[@]}" "$fresh" "$corpus" 2>&1 | tee "$fresh.log" | grep -v '^#' || true
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$fresh.log" | tail -1)
result=$(grep -E '^SUMMARY: |ERROR: libFuzzer' "$fresh.log" | head -1 || true)
rm -f "$fresh.log"

# Of the new inputs, those that reach code the corpus does not are merged
# into it; the named seeds already there stay as they are (tests read some).
before=$(ls "$corpus" | wc -l)
"$binary" -merge=1 -timeout=60 -rss_limit_mb=2048 -artifact_prefix="$findings/" "$corpus" "$fresh" \
  >/dev/null 2>&1
added=$(($(ls "$corpus" | wc -l) - before))

echo "$target: $minutes min, ${runs:-?} runs, ${result:-clean};" \
  "$added inputs joined the corpus ($(ls "$corpus" | wc -l) now)"
if [ -n "$result" ]; then exit 1; fi
