#!/usr/bin/env bash
# Sets everything up, builds, and runs every test through ctest; then builds
# and runs them again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
cd ..
# The same tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
bash tools/test_sanitized.sh
