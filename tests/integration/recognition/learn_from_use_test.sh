#!/usr/bin/env bash
# Learning from use: a new voice says the desktop profile's commands through
# zelcmd listen, which keeps the ones heard surely; zelcmd train --from-use
# adapts the voice from them, and a command it got wrong is then heard right.
# The setting off removes what was kept.
set -euo pipefail
ZELCMD=$1
PROFILE=$2
T=$(mktemp -d)
[ -n "${KEEP_T:-}" ] || trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

# A voice of its own (espeak-ng's klatt3) in a noisy room.
speak() {
  local out=$1; shift
  local files=() i=0
  for p in "$@"; do
    espeak-ng -v pt-br+klatt3 -s 150 --stdout "$p" | sox -q -t wav - -r 16000 -c 1 -b 16 "$T/p$i.wav" pad 0.5 0.8
    files+=("$T/p$i.wav"); i=$((i + 1))
  done
  sox "${files[@]}" "$T/clean.wav"
  # -R: the same noise every run, so that the results repeat.
  sox -R -m -v 1 "$T/clean.wav" -v 1 "|sox -R $T/clean.wav -p synth whitenoise vol 0.01" -b 16 "$out"
  rm -f "$T"/p*.wav "$T/clean.wav"
}
CMDS=(copiar colar recortar desfazer refazer salvar marcar cima baixo recuar direita início final apagar confirmar
      desistir fechar ponto vírgula parágrafo console)
speak "$T/session.wav" "${CMDS[@]}" "${CMDS[@]}" "${CMDS[@]}"
speak "$T/test.wav" "${CMDS[@]}"
listen() { "$ZELCMD" listen --profile "$PROFILE" --audio "$1" --dry-run --folder "$2" "${@:3}"; }

heard() { grep -q "^sentence \"$2\"" "$1"; }
right() { local n=0; for c in "${CMDS[@]}"; do heard "$1" "$c" && n=$((n + 1)); done; echo $n; }
# Untrained, in a folder of its own: some commands are not heard.
listen "$T/test.wav" "$T/before" > "$T/before.out" 2>&1 || fail "listen: $(cat "$T/before.out")"
missed=()
for c in "${CMDS[@]}"; do heard "$T/before.out" "$c" || missed+=("$c"); done
[ "${#missed[@]}" -gt 0 ] || fail "every command heard untrained: the test shows nothing"

# The session: each command heard surely is kept with its text.
# (No adaptation in the background here: train --from-use does it below.)
listen "$T/session.wav" "$T/run" --adapt-after 0 > "$T/session.out" 2>&1 || fail "session: $(cat "$T/session.out")"
USE="$T/run/gravacoes/uso"
[ -f "$USE/.moro-zel" ] || fail "the store is not marked the program's"
kept=$(grep -c . "$USE/lista.tsv")
[ "$kept" -ge 40 ] || fail "only $kept commands kept: $(cat "$USE/lista.tsv")"
[ "$(ls "$USE"/*.wav | wc -l)" = "$kept" ] || fail "list and recordings differ"
head -1 "$USE/lista.tsv" | tr -d '\r' | grep -qxP '000001\.wav\tcopiar' || fail "first kept: $(head -1 "$USE/lista.tsv")"
# Only commands the program accepted, never what it rejected.
rejected=$(grep -c '^rejected' "$T/session.out" || true)
accepted=$(grep -c '^sentence' "$T/session.out")
[ "$kept" -le "$accepted" ] || fail "$kept kept of $accepted accepted ($rejected rejected)"

# Adapted from what was kept: the command is now heard.
"$ZELCMD" train --from-use --folder "$T/run" > "$T/train.out" 2>&1 || fail "train: $(cat "$T/train.out")"
grep -q "Modelo adaptado em $T/run/voz ($kept frases" "$T/train.out" || fail "summary: $(cat "$T/train.out")"
listen "$T/test.wav" "$T/run" --adapt-after 0 > "$T/after.out" 2>&1 || fail "listen after: $(cat "$T/after.out")"
now=0
for c in "${missed[@]}"; do heard "$T/after.out" "$c" && now=$((now + 1)); done
[ "$now" -gt 0 ] || fail "none of ${missed[*]} heard after learning: $(grep -E '^(sentence|rejected)' "$T/after.out")"
[ "$(right "$T/after.out")" -gt "$(right "$T/before.out")" ] || fail "no more commands right after learning"

# The same session adapts the voice in the background once 20 are kept,
# and the next run hears with it.
listen "$T/session.wav" "$T/bg" --adapt-after 20 > "$T/bg.out" 2>&1 || fail "session adapting: $(cat "$T/bg.out")"
grep -q "^Voz adaptada com 20 comandos ouvidos; ela vale a partir da próxima ativação.$" "$T/bg.out" ||
  fail "no adaptation in the background: $(grep -v '^sentence\|^ouvido' "$T/bg.out")"
[ -f "$T/bg/voz/means" ] || fail "no voice model after the adaptation in the background"
[ "$(cat "$T/bg/gravacoes/uso/adaptado.txt" | tr -d '\r')" != "" ] || fail "the adapted count is not kept"
listen "$T/test.wav" "$T/bg" --adapt-after 0 > "$T/bg-after.out" 2>&1 || fail "listen after: $(cat "$T/bg-after.out")"
[ "$(right "$T/bg-after.out")" -gt "$(right "$T/before.out")" ] ||
  fail "no more commands right after the adaptation in the background: $(right "$T/bg-after.out")"

# Nothing kept: a clear message, the voice as it was.
rc=0; "$ZELCMD" train --from-use --folder "$T/empty" > "$T/none.out" 2>&1 || rc=$?
[ "$rc" != 0 ] || fail "training from nothing succeeded"
grep -q "Nenhum comando guardado para aprender em $T/empty/gravacoes/uso/" "$T/none.out" || fail "message: $(cat "$T/none.out")"

# The setting off: nothing more is kept and what was kept is gone.
printf '[geral]\r\naprenderuso=0\r\n' > "$T/off.ini"
listen "$T/test.wav" "$T/run" --settings "$T/off.ini" > /dev/null 2>&1 || fail "listen with learning off"
[ ! -e "$USE" ] || fail "kept commands not removed with the setting off"
[ -d "$T/run/voz" ] || fail "the adapted voice went with them"
# A folder of the user's own by that name is never touched.
mkdir -p "$T/mine/gravacoes/uso" && echo meu > "$T/mine/gravacoes/uso/notas.txt"
listen "$T/test.wav" "$T/mine" --settings "$T/off.ini" > "$T/mine.out" 2>&1 || fail "listen with a folder of the user's"
[ "$(cat "$T/mine/gravacoes/uso/notas.txt")" = meu ] || fail "the user's folder was touched"
echo OK
