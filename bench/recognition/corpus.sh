#!/usr/bin/env bash
# Makes (once) and prints the path of the benchmarks' Portuguese corpus:
# about 400 000 words from Debian packages, in the program's Windows-1252:
# focalinux-text (Latin-1 already) and fortunes-br (UTF-8).
#   CORPUS=$(bench/recognition/corpus.sh)
set -euo pipefail
DIR=${ZEL_BENCH_DIR:-/tmp/zel-bench-recognition}
mkdir -p "$DIR"
CORPUS=$DIR/corpus.txt
if [ ! -s "$CORPUS" ]; then
  { zcat /usr/share/doc/focalinux/text/*/index.txt.gz
    iconv -f utf-8 -t cp1252//TRANSLIT < /usr/share/games/fortunes/brasil; } > "$CORPUS"
fi
echo "$CORPUS"
