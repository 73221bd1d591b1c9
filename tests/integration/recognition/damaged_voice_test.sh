#!/usr/bin/env bash
# A damaged trained voice (a file of voz/ cut short, garbled or missing)
# never ends the run: switch-on says what is damaged and hears with the
# installed model; a whole voice is loaded as before.
# damaged_voice_test.sh ZELCMD MODEL_FOLDER
set -euo pipefail
ZELCMD=$1 MODEL=$2
RUNTIME=$(dirname "$ZELCMD")
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

espeak-ng -v pt-br -s 150 --stdout copiar | sox -q -t wav - -r 16000 -c 1 -b 16 "$T/copiar.wav" pad 0.5 0.5

listen() {
  "$ZELCMD" listen --profile "$RUNTIME/profiles/desktop.zpr" --audio "$T/copiar.wav" --dry-run --folder "$T/run" \
    > "$T/out" 2> "$T/err"
}
# Bytes of the installed file, changed one way or another.
damage() {
  local file=$1 how=$2
  rm -rf "$T/run/voz"
  mkdir -p "$T/run/voz"
  cp "$MODEL"/* "$T/run/voz/"
  case $how in
    short) head -c 1000 "$MODEL/$file" > "$T/run/voz/$file" ;;
    garbled) python3 - "$MODEL/$file" "$T/run/voz/$file" <<'PY'
import random, sys
b = bytearray(open(sys.argv[1], 'rb').read())
random.seed(1)
for _ in range(len(b) // 50):
    b[random.randrange(len(b))] = random.randrange(256)
open(sys.argv[2], 'wb').write(b)
PY
    ;;
    missing) rm "$T/run/voz/$file" ;;
  esac
}

# The damages that stopped the engine outright (a crash, or its own exit).
for case in "mdef garbled" "sendump short" "sendump garbled" "transition_matrices short" "means short" "variances missing"; do
  set -- $case
  damage "$1" "$2"
  listen || fail "$1 $2: status $?: $(tail -3 "$T/err")"
  grep -q '^sentence "copiar"' "$T/out" || fail "$1 $2: nothing heard: $(cat "$T/out")"
  grep -q "^zelcmd: O treino de voz em $T/run/voz está danificado: $1 .*O modelo instalado é usado" "$T/err" \
    || grep -q "^zelcmd: O treino de voz em $T/run/voz está danificado: falta o arquivo $1\." "$T/err" \
    || fail "$1 $2: not said: $(cat "$T/err")"
  grep -q 'adapted to the voice' "$T/run/sphinx.log" && fail "$1 $2: the damaged voice was loaded"
done

# A whole copy is a voice the engine loads, without a word.
damage none whole
listen || fail "whole: status $?"
grep -q 'danificado' "$T/err" && fail "a whole voice was called damaged: $(cat "$T/err")"
grep -q "adapted to the voice: $T/run/voz" "$T/run/sphinx.log" || fail "the whole voice was not loaded"
echo "damaged voices: said and left for the installed model"
