#!/usr/bin/env bash
# The engine stays free of Qt: no file under report/ or platform/ (outside
# platform/qt/) includes a Qt header.
set -euo pipefail
cd "$(dirname "$0")/.."
found=$(grep -rlE '#include *<Q[A-Za-z]' report platform --include='*.h' --include='*.cpp' \
  | grep -v '^platform/qt/' || true)
if [ -n "$found" ]; then
  echo "Qt headers included outside platform/qt/:"
  echo "$found"
  exit 1
fi
echo "layers clean"
