#!/usr/bin/env bash
# Sets everything up, checks the code's layout, builds, and runs every test
# through ctest; then builds and runs them again under AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
# Layout first: it takes seconds and names every misplaced line.
bash tools/check_format.sh
bash tools/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
cd ..
# The same tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
bash tools/test_sanitized.sh
