#!/usr/bin/env bash
# Two runs on one folder: while zelcmd listen hears a recording there, a
# second listen and a training on that folder are refused by name and
# change nothing; the first hears its own profile's commands to the end.
# Once it has ended, the folder is free again.
# two_runs_test.sh ZELCMD
set -euo pipefail
ZELCMD=$1
RUNTIME=$(dirname "$ZELCMD")
T=$(mktemp -d)
PIDS=()
trap 'for p in "${PIDS[@]}"; do kill "$p" 2>/dev/null || true; done; [ "${ZEL_TEST_KEEP:-}" = 1 ] && echo "kept $T" || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

say() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2" pad 1.5 1.5; }
say copiar "$T/a.wav"
say colar "$T/b.wav"
sox "$T/a.wav" "$T/b.wav" "$T/a.wav" "$T/fala.wav"
profile() {
  printf '[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=%s\r\nacao=1\r\nargs=CTRL+C\r\nfonemas=%s\r\n[ditado]\r\n' "$1" "$("$ZELCMD" phonemes "$1")" > "$2"
}
profile copiar "$T/um.zpr"
profile colar "$T/outro.zpr"
D=$T/pasta
# The first run writes the argument file; the recording then plays at speaking pace.
"$ZELCMD" listen --profile "$T/um.zpr" --audio "$T/a.wav" --dry-run --folder "$D" > /dev/null 2>&1 || fail "first listen"
printf -- '-audiorealtime yes\r\n' >> "$D/sphinx.arg"

"$ZELCMD" listen --profile "$T/um.zpr" --audio "$T/fala.wav" --dry-run --folder "$D" > "$T/first.out" 2> "$T/first.err" &
PIDS+=($!)
first=$!
for ((i = 0; i < 100; i++)); do grep -q '^Ouvindo' "$T/first.err" && break; sleep 0.1; done
grep -q '^Ouvindo' "$T/first.err" || fail "the first run does not listen: $(cat "$T/first.err")"
cp "$D/dictionary.dic" "$T/dictionary.first"

rc=0
"$ZELCMD" listen --profile "$T/outro.zpr" --audio "$T/b.wav" --dry-run --folder "$D" > "$T/second.out" 2> "$T/second.err" || rc=$?
[ "$rc" = 1 ] || fail "a second listen on the folder: status $rc"
grep -qx "zelcmd: Outra execução do programa usa a pasta $D/" "$T/second.err" || fail "second listen: $(cat "$T/second.err")"
cmp -s "$D/dictionary.dic" "$T/dictionary.first" || fail "the second run wrote over the first's vocabulary"
rc=0
"$ZELCMD" train --forget --folder "$D" > /dev/null 2> "$T/train.err" || rc=$?
[ "$rc" = 1 ] && grep -q "Outra execução do programa usa a pasta" "$T/train.err" || fail "training beside a listen: $rc $(cat "$T/train.err")"

wait "$first" || fail "the first run failed: $(cat "$T/first.err")"
PIDS=()
[ "$(grep -c '^sentence "copiar"' "$T/first.out")" -ge 2 ] || fail "the first run heard: $(cat "$T/first.out")"
grep -q 'colar' "$T/first.out" && fail "the other profile's word reached the first run: $(cat "$T/first.out")"
"$ZELCMD" listen --profile "$T/outro.zpr" --audio "$T/b.wav" --dry-run --folder "$D" > "$T/after.out" 2>&1 \
  || fail "the folder is not free after the first run: $(cat "$T/after.out")"
echo "one run per folder"
