#!/usr/bin/env bash
# Fails, naming each place, when a C++ file of the tree is not laid out as
# .clang-format says. Fix with: clang-format -i FILE
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
else
  find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 clang-format --dry-run -Werror
fi
