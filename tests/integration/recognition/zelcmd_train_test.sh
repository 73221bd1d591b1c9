#!/usr/bin/env bash
# zelcmd train: the shipped prompt sentences spoken by one synthetic voice
# adapt the model, and that voice's commands, never spoken in training, are
# heard better afterwards; a failed training leaves the adapted model alone;
# --forget removes it.
set -euo pipefail
ZELCMD=$1
RUNTIME=$(dirname "$ZELCMD")
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# The program's folder and the recordings have names no ASCII spells.
RUN="$T/Łódź/usuário João"
mkdir -p "$RUN"

# One voice through a telephone-like band, with a faint noise floor.
VOICE=pt-br+f4
say() {
  espeak-ng -v "$VOICE" -s 165 -p 40 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$T/c.wav" sinc 300-3400 pad "$3" "$3" 2>/dev/null
  sox -q -m -v 1 "$T/c.wav" -v 1 "|sox $T/c.wav -p synth whitenoise vol 0.004" -b 16 "$2" 2>/dev/null
}

# --- the prompts: a UTF-8 list, as a user would write it.
mkdir -p "$T/p"
iconv -f CP1252 -t UTF-8 "$RUNTIME/frases_treino.txt" | tr -d '\r' | grep -v '^#' > "$T/frases"
i=0
while IFS= read -r s; do
  i=$((i + 1))
  say "$s" "$T/p/gravação-$i.wav" 0.3
  printf '%s\t%s\n' "gravação-$i.wav" "$s" >> "$T/p/lista.tsv"
done < "$T/frases"
[ "$i" -ge 25 ] || fail "only $i prompt sentences"

# --- a profile of commands the voice never said in training.
CMDS=(imprimir procurar renomear excluir silenciar negrito sublinhar esquivar atualizar restaurar)
{
  printf '[geral]\r\nnumcomandos=%d\r\n' "${#CMDS[@]}"
  for k in "${!CMDS[@]}"; do
    printf '[cmd%d]\r\ncmd=%s\r\nacao=1\r\nargs=ENTER\r\nfonemas=%s\r\n' "$k" "${CMDS[$k]}" "$("$ZELCMD" phonemes "${CMDS[$k]}")"
  done
} > "$T/perfil.zpr"
parts=()
for k in "${!CMDS[@]}"; do say "${CMDS[$k]}" "$T/cmd$k.wav" 0.8; parts+=("$T/cmd$k.wav"); done
sox "${parts[@]}" "$T/cmds.wav"

# Commands heard right, in order.
heard() {
  "$ZELCMD" listen --profile "$T/perfil.zpr" --audio "$T/cmds.wav" --dry-run --folder "$1" > "$T/listen.out" 2> "$T/listen.err" \
    || fail "listen failed: $(cat "$T/listen.err")"
  sed -n 's/^sentence "\(.*\)" confidence.*/\1/p' "$T/listen.out" |
    awk -v want="${CMDS[*]}" 'BEGIN { n = split(want, w, " "); j = 1 }
      { for (k = j; k <= n; k++) if ($0 == w[k]) { ok++; j = k + 1; break } }
      END { print ok + 0 }'
}
BEFORE=$(heard "$RUN")
grep -q 'adapted to the voice' "$RUN/sphinx.log" && fail "an untrained run loaded an adapted model"
cp "$RUN/sphinx.arg" "$T/arg.before"

# --- train.
"$ZELCMD" train --prompts "$T/p/lista.tsv" --folder "$RUN" > "$T/train.out" 2> "$T/train.err" \
  || fail "train failed: $(cat "$T/train.err") $(tail -20 "$RUN/treino.log")"
grep -q "^Modelo adaptado em $RUN/voz ($i frases" "$T/train.out" || fail "no summary: $(cat "$T/train.out")"
grep -q '^comparar as gravações com as frases: [0-9.]* s$' "$T/train.out" || fail "no step times: $(cat "$T/train.out")"
MODEL=$(sed -n 's/^-hmm //p' "$RUNTIME/sphinx/sphinx.arg.default" | tr -d '\r')
cmp -s "$RUN/voz/means" "$MODEL/means" && fail "the means were not adapted"
cmp -s "$RUN/voz/mdef" "$MODEL/mdef" || fail "the model definition was not copied"
[ "$(ls "$RUN" | grep -c '^voz')" = 1 ] || fail "leftovers: $(ls "$RUN")"

AFTER=$(heard "$RUN")
grep -q "adapted to the voice: $RUN/voz" "$RUN/sphinx.log" || fail "the adapted model was not loaded"
cmp -s "$RUN/sphinx.arg" "$T/arg.before" || fail "sphinx.arg changed"
echo "commands heard right: $BEFORE before, $AFTER after training (of ${#CMDS[@]})"
[ "$AFTER" -gt "$BEFORE" ] || fail "not heard better: $BEFORE before, $AFTER after"

# --- a training that fails leaves the adapted model whole.
cp "$RUN/voz/means" "$T/means.trained"
printf 'gravação-1.wav\tO gato preto.\nfalta.wav\tNada aqui.\n' > "$T/p/ruim.tsv"
if "$ZELCMD" train --prompts "$T/p/ruim.tsv" --folder "$RUN" > /dev/null 2> "$T/bad.err"; then fail "a missing recording was accepted"; fi
grep -q "Cannot open file $T/p/falta.wav" "$T/bad.err" || fail "wrong message: $(cat "$T/bad.err")"
cmp -s "$RUN/voz/means" "$T/means.trained" || fail "a failed training changed the model"
[ "$(ls "$RUN" | grep -c '^voz')" = 1 ] || fail "leftovers: $(ls "$RUN")"

# --- takes of loud noise only: nothing to learn from, said so, the model kept.
for k in 1 2 3 4; do
  sox -q -n -r 16000 -c 1 -b 16 "$T/p/ruído-$k.wav" synth 4 whitenoise vol 0.8
  printf 'ruído-%s.wav\t%s\n' "$k" "$(sed -n "${k}p" "$T/frases")" >> "$T/p/ruido.tsv"
done
if "$ZELCMD" train --prompts "$T/p/ruido.tsv" --folder "$RUN" > /dev/null 2> "$T/noise.err"; then fail "noise was taken for a voice"; fi
grep -q "não aproveitou as gravações: só [01] de 4" "$T/noise.err" || fail "noise: $(cat "$T/noise.err")"
cmp -s "$RUN/voz/means" "$T/means.trained" || fail "a training on noise changed the model"

# --- forget.
"$ZELCMD" train --forget --folder "$RUN" | grep -qx 'Treino de voz esquecido.' || fail "forget"
[ ! -e "$RUN/voz" ] || fail "voz still there"
"$ZELCMD" train --forget --folder "$RUN" | grep -qx 'Não havia treino de voz.' || fail "second forget"
[ "$(heard "$RUN")" = "$BEFORE" ] || fail "forgotten, but not heard as before"
if "$ZELCMD" train --folder "$RUN" 2> "$T/usage.err"; then fail "no mode accepted"; fi
grep -q '^zelcmd: uso: zelcmd train' "$T/usage.err" || fail "usage: $(cat "$T/usage.err")"
echo "zelcmd train: ok"
