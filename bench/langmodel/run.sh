#!/bin/bash
# Times "zelcmd model --corpus" against IRSTLM's tlm (Witten-Bell, back-off,
# trigrams) on the same Portuguese corpus of about a million words, made from
# Debian packages (focalinux-text, fortunes-br, manpages-pt-br) and converted
# to Windows-1252. Prints wall time, CPU time and peak memory of both, their
# ratio, and how zelcmd scales to ten times the corpus, in two forms:
#   10x       ten copies of the corpus (ten times the text, same vocabulary);
#   10x-new   ten copies, each with its own word forms (a suffix letter per
#             copy), so that vocabulary and n-grams grow tenfold too: the
#             hardest case for the hash tables and the sort.
# The machine may be shared: CPU time (user+sys) is the steadier figure.
#
# usage: bench/langmodel/run.sh [BUILD_DIR]      (default: build)
# needs: the packages above, irstlm, groff, iconv, /usr/bin/time
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
ZELCMD=$BUILD/bin/zelcmd
TLM=/usr/lib/irstlm/bin/tlm
WORK=${ZEL_BENCH_DIR:-/tmp/zel-bench-langmodel}
mkdir -p "$WORK"
cd "$WORK"

[ -x "$ZELCMD" ] || { echo "zelcmd not built: $ZELCMD" >&2; exit 1; }
[ -x "$TLM" ] || { echo "IRSTLM missing (apt-get install irstlm)" >&2; exit 1; }

# ---- the corpus --------------------------------------------------------
if [ ! -s corpus1.txt ]; then
  : > sources.utf8
  for f in /usr/share/doc/focalinux/text/*/index.txt.gz; do
    zcat "$f" | iconv -f ISO-8859-1 -t UTF-8 >> sources.utf8
  done
  # fortunes: the "%" separator lines are no text
  grep -v '^%$' /usr/share/games/fortunes/brasil >> sources.utf8
  for f in /usr/share/man/pt_BR/man*/*.gz; do
    zcat "$f" | groff -man -Tutf8 -P-c -P-b -P-u -P-o -K utf8 2>/dev/null >> sources.utf8 || true
  done
  iconv -f UTF-8 -t WINDOWS-1252//TRANSLIT -c sources.utf8 > sources.txt
  : > corpus1.txt
  while [ "$(wc -w < corpus1.txt)" -lt 1000000 ]; do cat sources.txt >> corpus1.txt; done
  : > corpus10.txt
  : > corpus10new.txt
  for k in A B C D E F G H I J; do
    cat corpus1.txt >> corpus10.txt
    LC_ALL=C sed -E "s/([A-Za-z]+)/\1$k/g" corpus1.txt >> corpus10new.txt
  done
fi
WORDS1=$(wc -w < corpus1.txt)
WORDS10=$(wc -w < corpus10.txt)

# ---- IRSTLM's input: one sentence a line between <s> and </s> -------------
if [ ! -s irst1.txt ]; then
  LC_ALL=C sed -E 's/^/<s> /; s/$/ <\/s>/' corpus1.txt > irst1.txt
fi

measure() {  # label, command...: prints "label wall_s cpu_s peak_MB"
  local label=$1; shift
  /usr/bin/time -v -o time.txt "$@" > run.log 2>&1 || { cat run.log >&2; exit 1; }
  local wall cpu peak
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {n=split($2,a,":"); s=0; for(i=1;i<=n;i++) s=s*60+a[i]; print s}' time.txt)
  cpu=$(awk -F': ' '/User time/ {u=$2} /System time/ {s=$2} END {printf "%.2f", u+s}' time.txt)
  peak=$(awk -F': ' '/Maximum resident set size/ {printf "%.1f", $2/1024}' time.txt)
  echo "$label $wall $cpu $peak"
}

echo "corpus: $WORDS1 words ($(du -h corpus1.txt | cut -f1)); 10x corpus: $WORDS10 words"
read -r _ IW IC IM < <(measure irstlm "$TLM" -tr=irst1.txt -n=3 -lm=wb -bo=yes -o=irst1.arpa)
read -r _ ZW ZC ZM < <(measure zelcmd "$ZELCMD" model --corpus corpus1.txt --out out1)
read -r _ TW TC TM < <(measure zelcmd10 "$ZELCMD" model --corpus corpus10.txt --out out10)
read -r _ NW NC NM < <(measure zelcmd10new "$ZELCMD" model --corpus corpus10new.txt --out out10new)

printf '%-28s %10s %10s %12s\n' "" "wall (s)" "cpu (s)" "peak (MB)"
printf '%-28s %10s %10s %12s\n' "IRSTLM tlm -n=3 -lm=wb -bo" "$IW" "$IC" "$IM"
printf '%-28s %10s %10s %12s\n' "zelcmd model 1x" "$ZW" "$ZC" "$ZM"
printf '%-28s %10s %10s %12s\n' "zelcmd model 10x" "$TW" "$TC" "$TM"
printf '%-28s %10s %10s %12s\n' "zelcmd model 10x-new" "$NW" "$NC" "$NM"
awk -v zw="$ZW" -v iw="$IW" -v zc="$ZC" -v ic="$IC" -v tw="$TW" -v tc="$TC" -v nw="$NW" -v nc="$NC" -v m="$ZM" 'BEGIN {
  printf "zelcmd / IRSTLM:      wall %.3f, cpu %.3f (target <= 0.25)\n", zw / iw, zc / ic;
  printf "peak memory zelcmd:   %.1f MB (target <= 200)\n", m;
  printf "10x / 1x:             wall %.2f, cpu %.2f (target <= 11)\n", tw / zw, tc / zc;
  printf "10x-new / 1x:         wall %.2f, cpu %.2f\n", nw / zw, nc / zc }'
for d in out1 out10 out10new; do
  echo "$d: $(grep -m3 '^ngram' $d/languagemodel.lm | tr '\r\n' '  ')"
done
