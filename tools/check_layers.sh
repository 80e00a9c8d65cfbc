#!/usr/bin/env bash
# Include directions between the project's folders. Every folder may include
# only itself and the folders its rule lists; the engine (report/) and the
# platform seams (platform/ outside platform/qt/) include no Qt header.
# A broken rule prints "file:line: includes X, but FOLDER may include only ...".
set -euo pipefail
cd "$(dirname "$0")/.."

# Folder: what it may include besides itself. Inside report/, each folder
# includes only folders below it in this list.
rules='
platform:
platform/qt: platform
report/base: platform
report/graphics: platform report/base
report/printer: platform report/base
report/expr: platform report/base
report/views: platform report/base report/graphics report/printer report/expr
report/template: platform report/base report/graphics report/printer report/expr report/views
report/script: platform report/base report/expr
report/functions: platform report/base report/expr
report/prepared: platform report/base report/graphics report/printer report/expr report/views report/template
report/formation: platform report/base report/graphics report/printer report/expr report/views report/template report/script report/functions report/prepared
report/data: platform report/base report/graphics report/printer report/expr report/views report/template report/script report/functions report/prepared report/formation
report/component: platform report/base report/graphics report/printer report/expr report/views report/template report/script report/functions report/prepared report/formation report/data
session: platform platform/qt report datasources widgets preview
widgets: platform platform/qt report
sheet: platform report
preview: platform platform/qt report widgets
printing: platform platform/qt report widgets preview
datasources: platform platform/qt report
app: platform platform/qt report session widgets sheet preview printing datasources
cli: platform platform/qt report session sheet datasources widgets preview printing
'

echo "Include rules (folder: may include besides itself):"
echo "$rules" | sed '/^$/d; s/^/  /'

status=0
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  target=$(sed -E 's/.*#include *"([^"]+)".*/\1/' <<<"$rest")
  key_of() {
    case $1 in
      platform/qt/*) echo platform/qt ;;
      report/*/*) cut -d/ -f1-2 <<<"$1" ;;
      */*) cut -d/ -f1 <<<"$1" ;;
      *) echo "" ;;
    esac
  }
  from=$(key_of "$file")
  to=$(key_of "$target")
  [ -n "$to" ] || continue
  [ "$from" = "$to" ] && continue
  allowed=$(echo "$rules" | awk -F': *' -v k="$from" '$1 == k { print $2 }')
  ok=0
  for a in $allowed; do
    if [ "$to" = "$a" ] || [[ $to == "$a"/* ]]; then ok=1; fi
  done
  [ $ok -eq 1 ] && continue
  echo "$file:$line: includes $target, but $from may include only: ${allowed:-nothing else}"
  status=1
done < <(grep -rnE '^ *#include *"[^"]+"' platform report session widgets sheet preview printing app cli datasources \
  --include='*.h' --include='*.cpp' || true)

qt=$(grep -rnE '#include *<Q[A-Za-z]' report platform --include='*.h' --include='*.cpp' \
  | grep -v '^platform/qt/' || true)
if [ -n "$qt" ]; then
  echo "$qt" | sed 's/$/  (a Qt header outside platform\/qt\/: the engine and the seams stay free of Qt)/'
  status=1
fi

[ $status -eq 0 ] && echo "layers clean"
exit $status
