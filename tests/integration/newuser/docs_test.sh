#!/usr/bin/env bash
# The guide and the README speak of what ships: every picture they show is in
# docs/img/, every phrase of the example profiles is in the guide's tables,
# and the files and scripts they name exist.
#   docs_test.sh SOURCE_DIR ZELCMD
set -euo pipefail
src=$1
zelcmd=$2
fail() { echo "FAIL: $*"; exit 1; }

for doc in "$src/docs/guia.md" "$src/README.md"; do
  for img in $(grep -oE '\]\([^)]+\.png\)' "$doc" | sed 's/^](//; s/)$//'); do
    [ -s "$(dirname "$doc")/$img" ] || fail "$doc shows a missing picture: $img"
  done
done
[ "$(grep -c '!\[' "$src/docs/guia.md")" -ge 9 ] || fail "the guide shows fewer than the nine pictures"

# Each profile's table in the guide: the section that names the file, up to the next one.
for profile in "$src"/data/profiles/*.zpr; do
  name=$(basename "$profile")
  table=$(awk -v n="**$name**" 'index($0, n) == 1 { on = 1; next } /^\*\*[a-z]+\.zpr\*\*/ { on = 0 } /^## / { on = 0 } on' \
    "$src/docs/guia.md")
  [ -n "$table" ] || fail "the guide has no table for $name"
  while IFS= read -r phrase; do
    echo "$table" | grep -E '^\|' | cut -d'|' -f2 | tr ',' '\n' | sed 's/^ *//; s/ *$//' | grep -qxF "$phrase" ||
      fail "the guide's table for $name lacks \"$phrase\""
  done < <("$zelcmd" profile "$profile" | awk -F'\t' '$1 == "cmd" { print $3 }')
done

# Paths the README names in the source tree.
for f in scripts/run scripts/test scripts/setup data/generate.sh docs/guia.md docs/atualizar-capturas.sh \
         bench/newuser/run.sh cmake/Packaging.cmake cmake/launcher.sh; do
  grep -qF "$f" "$src/README.md" || continue
  [ -e "$src/$f" ] || fail "README names $f, which does not exist"
done
echo OK
