#!/usr/bin/env bash
# Dictation at the default settings (confidence 50). After the activation
# word: "computador" activates commands for
# one second, then a sentence of the dictation text (typed into the profile's
# dictation box as plain sentences) is spoken, at speaking pace, for longer
# than that second. Its speech began while commands were active, so the
# whole sentence is typed; the activation ends after it, and a sentence
# spoken then is ignored.
# dictation_activation_test.sh ZELCMD
set -euo pipefail
ZELCMD=$1
T=$(mktemp -d)
trap '[ "${ZEL_TEST_KEEP:-}" = 1 ] && echo "kept $T" || rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

frase="o gato preto dorme no telhado da casa velha"
outra="a chuva fina molhou as flores do jardim"
printf '[geral]\r\nnumcomandos=1\r\n[cmd0]\r\ncmd=computador\r\nacao=2\r\nargs=\r\nfonemas=%s\r\n[ditado]\r\n%s\r\n%s\r\n' \
  "$("$ZELCMD" phonemes computador)" "$frase" "$outra" > "$T/ditado.zpr"
printf '[geral]\r\ntempoativacao=1\r\nmodnum=0\r\nmodoadv=0\r\n' > "$T/config.ini"

say() { espeak-ng -v pt-br -s 150 --stdout "$1" | sox -q -t wav - -r 16000 -c 1 -b 16 "$2"; }
say computador "$T/1.wav"
say "$frase" "$T/2.wav"
say "$outra" "$T/3.wav"
sox -q -n -r 16000 -c 1 -b 16 "$T/lead.wav" trim 0 1
sox -q -n -r 16000 -c 1 -b 16 "$T/gap.wav" trim 0 0.8
sox -q -n -r 16000 -c 1 -b 16 "$T/pause.wav" trim 0 3
sox "$T/lead.wav" "$T/1.wav" "$T/gap.wav" "$T/2.wav" "$T/pause.wav" "$T/3.wav" "$T/pause.wav" "$T/clean.wav"
sox -m -v 1 "$T/clean.wav" -v 1 "|sox $T/clean.wav -p synth whitenoise vol 0.003" -b 16 "$T/fala.wav"
[ "$(soxi -D "$T/2.wav" | cut -d. -f1)" -ge 2 ] || fail "the sentence is shorter than the activation time"

D=$T/pasta
# The first run writes the argument file; the recording then plays at speaking pace.
"$ZELCMD" listen --profile "$T/ditado.zpr" --settings "$T/config.ini" --audio "$T/1.wav" --dry-run --folder "$D" \
  > /dev/null 2>&1 || fail "first listen"
printf -- '-audiorealtime yes\r\n' >> "$D/sphinx.arg"
"$ZELCMD" listen --profile "$T/ditado.zpr" --settings "$T/config.ini" --audio "$T/fala.wav" --dry-run --folder "$D" \
  > "$T/out" 2> "$T/err" || fail "listen failed: $(cat "$T/err")"
heard=$(grep '^ouvido: ' "$T/out" || true)
echo "$heard" | sed -n 1p | grep -q '^ouvido: computador → comandos ativados' || fail "no activation first: $heard"
# The sentence is typed, whatever the recognizer made of its words.
second=$(echo "$heard" | sed -n 2p)
echo "$second" | grep -qiE '^ouvido: o gato .* → digitado \([0-9]+\)$' || fail "the long sentence was not typed: $heard"
words=$(echo "$second" | sed 's/^ouvido: \(.*\) → .*/\1/')
[ "$(echo "$words" | wc -w)" -ge 7 ] || fail "not the whole sentence: $second"
echo "$heard" | sed -n 3p | grep -q '→ ignorado: comandos desativados' || fail "the activation did not end after it: $heard"
# Its words went out as keys, every letter; nothing of the third sentence did.
typed=$(grep -o 'key down 0x[0-9A-F]* [A-Z]' "$T/out" | sed 's/.* //' | tr -d '\n')
[ "$typed" = "$(echo "$words" | tr -d ' ' | tr a-z A-Z)" ] || fail "typed keys: $typed, heard: $words"
grep -qx 'Ouvindo — comandos desativados' "$T/err" || fail "no status after the end: $(cat "$T/err")"

# Without an activation command commands are always active: both sentences
# are typed, each whole, one after the other.
printf '[geral]\r\nnumcomandos=0\r\n[ditado]\r\n%s\r\n%s\r\n' "$frase" "$outra" > "$T/so_ditado.zpr"
sox "$T/lead.wav" "$T/2.wav" "$T/pause.wav" "$T/3.wav" "$T/pause.wav" "$T/clean2.wav"
sox -m -v 1 "$T/clean2.wav" -v 1 "|sox $T/clean2.wav -p synth whitenoise vol 0.003" -b 16 "$T/fala2.wav"
"$ZELCMD" listen --profile "$T/so_ditado.zpr" --settings "$T/config.ini" --audio "$T/fala2.wav" --dry-run --folder "$D" \
  > "$T/out2" 2> "$T/err2" || fail "listen failed: $(cat "$T/err2")"
heard=$(grep '^ouvido: ' "$T/out2" || true)
[ "$(echo "$heard" | grep -c ' → digitado (')" = 2 ] || fail "not two sentences typed: $heard"
words=$(echo "$heard" | sed 's/^ouvido: \(.*\) → .*/\1/' | tr '\n' ' ')
[ "$(echo "$words" | wc -w)" -ge 14 ] || fail "not the whole sentences: $heard"
typed=$(grep -o 'key down 0x[0-9A-F]* [A-Z]' "$T/out2" | sed 's/.* //' | tr -d '\n')
[ "$typed" = "$(echo "$words" | tr -d ' ' | tr a-z A-Z)" ] || fail "typed keys: $typed, heard: $words"
echo "the long sentence begun while active was typed whole; the activation ended after it; two sentences dictated"
