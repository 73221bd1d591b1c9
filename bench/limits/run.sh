#!/bin/bash
# Time and peak memory of what a big profile costs: load, save and switch-on
# (the recognizer's files alone, and the whole `zelcmd listen` start with the
# engine, on a one-second WAV) for profiles of 1k, 10k and 100k commands and
# one of about 200 MB; then hostile files, whose peak memory above the
# program's own is compared with their size (the bound: 20 times plus a fixed
# margin).
#
# usage: bench/limits/run.sh [BUILD_DIR] [SIZES...]   (default: build, 1000 10000 100000 big)
# needs: /usr/bin/time, sox, awk
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=$(cd "${1:-$ROOT/build}" && pwd)
shift || true
SIZES=${*:-1000 10000 100000 big}
ZELCMD=$BUILD/bin/zelcmd
WORK=${ZEL_BENCH_DIR:-/tmp/zel-bench-limits}
mkdir -p "$WORK"
cd "$WORK"
[ -x "$ZELCMD" ] || { echo "zelcmd not built: $ZELCMD" >&2; exit 1; }

# N commands with distinct two-word phrases made of Portuguese syllables
# (8000 words), each typing a text of ARGLEN letters; no pronunciations, so
# that switch-on makes them as the editor would have.
make_profile() {
  local n=$1 arglen=$2 out=$3
  awk -v n="$n" -v arglen="$arglen" 'BEGIN {
    split("ba be bi bo bu ca ce ci co cu da de di do du fa fe fi fo fu", s, " ")
    pad = ""; for (k = 0; k < arglen; ++k) pad = pad substr("abcdefghij", k % 10 + 1, 1)
    printf "[geral]\r\nnumcomandos=%d\r\ntempotecla=10\r\ntempoativacao=5\r\n", n
    for (i = 0; i < n; ++i) {
      a = i % 8000; b = (int(i / 8000) * 37) % 8000
      w1 = s[a % 20 + 1] s[int(a / 20) % 20 + 1] s[int(a / 400) + 1]
      w2 = s[b % 20 + 1] s[int(b / 20) % 20 + 1] s[int(b / 400) + 1] "s"
      printf "[cmd%d]\r\ncmd=%s %s\r\nacao=3\r\nargs=00%s\r\nfonemas=\r\n", i, w1, w2, pad
    }
    printf "[ditado]\r\n"
  }' > "$out"
}

# "SECONDS PEAK_MB" of a command (its output thrown away).
measure() {
  /usr/bin/time -f '%e %M' -o "$WORK/time.txt" "$@" > /dev/null 2> "$WORK/err.txt" || {
    echo "failed: $* ($(tail -n 2 "$WORK/err.txt"))" >&2
    echo "- -"
    return
  }
  awk '{ printf "%.2f %.0f\n", $1, $2 / 1024 }' "$WORK/time.txt"
}

# Seconds from the start of a `zelcmd listen` until it says "Ouvindo…": the
# switch-on alone, without the second of audio and the ending.
switch_on() {
  local start line
  start=$(date +%s.%N)
  "$@" 2>&1 >/dev/null | while IFS= read -r line; do
    case $line in
      Ouvindo*) awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.2f\n", e - s }' ;;
    esac
  done
}

sox -q -n -r 16000 -c 1 -b 16 one.wav synth 1 whitenoise vol 0.003

printf '%-10s %9s | %-14s | %-14s | %-14s | %-14s | %s\n' profile MB "load s/MB" "save s/MB" "files s/MB" "listen s/MB" "switch-on s"
for size in $SIZES; do
  if [ "$size" = big ]; then n=1000000; arglen=150; else n=$size; arglen=20; fi
  p=profile-$size.zpr
  [ -s "$p" ] || make_profile "$n" "$arglen" "$p"
  mb=$(du -m "$p" | cut -f1)
  load=$(measure "$ZELCMD" profile "$p")
  save=$(measure "$ZELCMD" profile "$p" --save "saved-$size.zpr")
  rm -rf "files-$size" "run-$size"
  files=$(measure "$ZELCMD" model --profile "$p" --out "files-$size")
  listen=$(measure "$ZELCMD" listen --profile "$p" --audio one.wav --dry-run --folder "run-$size")
  rm -rf "run-$size"
  on=$(switch_on "$ZELCMD" listen --profile "$p" --audio one.wav --dry-run --folder "run-$size")
  printf '%-10s %9s | %-14s | %-14s | %-14s | %-14s | %s\n' "$size" "$mb" "$load" "$save" "$files" "$listen" "$on"
  rm -rf "saved-$size.zpr" "files-$size" "run-$size"
done

# Hostile files: peak memory above an empty profile's, per byte of the file.
echo
printf '%-34s %8s %9s %7s\n' "hostile file" "size MB" "extra MB" "ratio"
: > empty.zpr
base=$(measure "$ZELCMD" profile empty.zpr | cut -d' ' -f2)
hostile() {
  local name=$1 file=$2 peak
  shift 2
  peak=$(measure "$@" | cut -d' ' -f2)
  awk -v n="$name" -v s="$(stat -c %s "$file")" -v p="$peak" -v b="$base" \
    'BEGIN { printf "%-34s %8.1f %9.0f %7.1f\n", n, s / 1048576, p - b, (p - b) * 1048576 / s }'
}
# 1.25 million empty command sections, declared.
awk 'BEGIN { printf "[geral]\r\nnumcomandos=1250000\r\n"; for (i = 0; i < 1250000; ++i) printf "[cmd%d]\r\n", i }' > empty-sections.zpr
hostile "1.25M empty [cmdN] sections" empty-sections.zpr "$ZELCMD" profile empty-sections.zpr
# As many blank lines as commands declared.
awk 'BEGIN { printf "[geral]\r\nnumcomandos=10000000\r\n"; for (i = 0; i < 10000000; ++i) printf "\n" }' > blank-lines.zpr
hostile "10M blank lines, 10M declared" blank-lines.zpr "$ZELCMD" profile blank-lines.zpr
# 1.25 million sections with one key each.
awk 'BEGIN { printf "[geral]\r\nnumcomandos=1250000\r\n"; for (i = 0; i < 1250000; ++i) printf "[cmd%d]\r\nacao=1\r\n", i }' > one-key.zpr
hostile "1.25M sections with one key" one-key.zpr "$ZELCMD" profile one-key.zpr
# A modnum.ini of three lines with a huge count and a far section.
printf '[modnum]\r\nnum=2000000000\r\n[num1999999999]\r\ncmd=x\r\n' > modnum-huge.ini
hostile "modnum: huge num, far section" modnum-huge.ini "$ZELCMD" model --profile empty.zpr --modnum modnum-huge.ini --out modnum-out
