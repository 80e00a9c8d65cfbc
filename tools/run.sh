#!/usr/bin/env bash
# Sets everything up, builds, and starts the quillet program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
bash tools/build.sh
exec ./build/app/quillet
