#!/usr/bin/env bash
# Switch-on with a large dictation text: the first 20 000 sentences of a
# Portuguese corpus (focalinux-text and fortunes-br, as run.sh makes it) are
# loaded as the dictation page does (zelcmd model --corpus: the bundle), the
# bundle goes into a profile's dictation box, and zelcmd listen switches on
# over one second of silence. Prints the time from the start to "Ouvindo"
# (switch-on: files generated from the bundle, the engine loaded, listening),
# best of three.
#   bench/recognition/dictation_switchon.sh [BUILD_DIR]
set -euo pipefail
BUILD=${1:-build}
ZELCMD=$BUILD/bin/zelcmd
CORPUS=$("$(dirname "$0")/corpus.sh")
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
awk '/[A-Za-z]/ && n < 20000 { print; n++ }' "$CORPUS" > "$T/corpus20k.txt"
"$ZELCMD" model --corpus "$T/corpus20k.txt" --out "$T/model" > /dev/null
{ printf '[geral]\r\nnumcomandos=0\r\n[ditado]\r\n'; cat "$T/model/zellm.zlm"; } > "$T/ditado.zpr"
sox -q -n -r 16000 -c 1 -b 16 "$T/silence.wav" trim 0 1
echo "corpus: $(wc -l < "$T/corpus20k.txt") sentences; bundle: $(grep -c $'\t' "$T/model/zellm.zlm") lines"
best=""
for run in 1 2 3; do
  start=$(date +%s%N)
  "$ZELCMD" listen --profile "$T/ditado.zpr" --audio "$T/silence.wav" --dry-run --folder "$T/run" 2> "$T/err" > /dev/null &
  pid=$!
  until grep -q '^Ouvindo' "$T/err" 2>/dev/null; do kill -0 "$pid" 2>/dev/null || break; sleep 0.01; done
  ms=$(( ($(date +%s%N) - start) / 1000000 ))
  wait "$pid" || { cat "$T/err"; exit 1; }
  echo "switch-on $run: $ms ms"
  [ -z "$best" ] || [ "$ms" -lt "$best" ] && best=$ms
done
echo "the model switched on: $(grep -a '^ngram' "$T/run/languagemodel.lm" | tr -d '\r' | tr '\n' ' ')"
echo "switch-on with a 20 000-sentence dictation text: best $best ms"
