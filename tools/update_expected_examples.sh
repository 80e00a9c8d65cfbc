#!/usr/bin/env bash
# Refreshes the committed pages of the example reports, examples/expected/NAME.frp,
# after a change to the engine or an example that is meant to change them:
#   bash tools/update_expected_examples.sh [NAME ...]   (all examples when none is named)
# Each example is prepared with its data options from examples/examples.list by
# build/cli/quillet-cli (QUILLET_CLI chooses another), and `quillet-cli diff` shows
# what changed against the file it replaces. Review that, then commit the files.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=${QUILLET_CLI:-build/cli/quillet-cli}
[ -x "$cli" ] || { echo "update_expected_examples: no $cli (build first: bash tools/build.sh)" >&2; exit 2; }
mkdir -p examples/expected
wanted=" $* "
found=0
while IFS='|' read -r name pages options texts description; do
  name=$(echo "$name" | xargs)
  [[ -z $name || $name == \#* ]] && continue
  [[ $# -gt 0 && $wanted != *" $name "* ]] && continue
  found=$((found + 1))
  # The options as a shell splits them, double quotes holding a word together.
  eval "args=($options)"
  out=examples/expected/$name.frp
  new=$(mktemp --suffix=.frp)
  "$cli" prepare "examples/$name.json" -o "$new" "${args[@]}" 2>/dev/null ||
    { rm -f "$new"; echo "update_expected_examples: $name does not prepare" >&2; exit 1; }
  if [ -f "$out" ] && "$cli" diff "$out" "$new" >/dev/null 2>&1; then
    echo "$name: unchanged"
    rm -f "$new"
    continue
  fi
  if [ -f "$out" ]; then
    echo "$name: changed"
    "$cli" diff "$out" "$new" | sed 's/^/  /' | head -n 20 || true
  else
    echo "$name: new"
  fi
  mv "$new" "$out"
  chmod 644 "$out"
done < examples/examples.list
[ "$found" -gt 0 ] || { echo "update_expected_examples: no example named $*" >&2; exit 2; }
