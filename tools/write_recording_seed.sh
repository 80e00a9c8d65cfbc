#!/usr/bin/env bash
# Copies the recordings the tests write into the recording-canvas fuzz corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
cp build/test-output/*.qrec fuzz/corpus/recording_canvas/ 2>/dev/null || true
