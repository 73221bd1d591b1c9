#!/usr/bin/env bash
# The Windows zelcmd.exe against the Linux zelcmd, on the same input: the
# pronunciations, the four files of a model, a profile's listing, the dry run
# of a sentence and the sentences heard in the same recordings must be the
# same, byte for byte (Windows-only lines: the file names).
# editions_test.sh WINE_RUN ZELCMD.exe LINUX_ZELCMD PROFILES_FOLDER
WINE_RUN=$1 WIN=$2 LIN=$3 PROFILES=$4
source "$(dirname "$0")/lib.sh"
[ -x "$LIN" ] || { echo "no Linux zelcmd at $LIN: build the Linux edition first"; exit 77; }
win() { "$WINE_RUN" "$WIN" "$@"; }

# Pronunciations, accents and all: the arguments travel as UTF-16.
words=("ação é Ç" "computador" "pão-de-ló" "ÁGUA" "tchau" "xícara" "qüinqüênio" "àquele")
win phonemes "${words[@]}" > "$T/w.txt"
"$LIN" phonemes "${words[@]}" > "$T/l.txt"
cmp -s "$T/w.txt" "$T/l.txt" || fail "phonemes differ: $(diff "$T/l.txt" "$T/w.txt")"

# The four files of a model, from every shipped profile and from a corpus.
for p in "$PROFILES"/*.zpr; do
  name=$(basename "$p" .zpr)
  win model --profile "$(winpath "$p")" --out "$(winpath "$T/w-$name")" > /dev/null
  "$LIN" model --profile "$p" --out "$T/l-$name" > /dev/null
  for f in dictionary.dic languagemodel.lm tokens.ubt zellm.zlm; do
    cmp -s "$T/w-$name/$f" "$T/l-$name/$f" || fail "$name: $f differs"
  done
  win profile "$(winpath "$p")" > "$T/w-$name.txt"
  "$LIN" profile "$p" > "$T/l-$name.txt"
  cmp -s "$T/w-$name.txt" "$T/l-$name.txt" || fail "$name: profile listing differs"
done
printf 'Eu gosto de pão.\r\nA ÁGUA está fria.\r\nO pão e a água\r\nÉ hoje, é amanhã.\r\n' > "$T/corpus.txt"
win model --corpus "$(winpath "$T/corpus.txt")" --out "$(winpath "$T/w-corpus")" > /dev/null
"$LIN" model --corpus "$T/corpus.txt" --out "$T/l-corpus" > /dev/null
for f in dictionary.dic languagemodel.lm tokens.ubt zellm.zlm; do
  cmp -s "$T/w-corpus/$f" "$T/l-corpus/$f" || fail "corpus: $f differs"
done

# What a sentence does, printed instead of done.
desktop=$PROFILES/desktop.zpr
sentences=("computador" "três baixo" "copiar" "olá mundo")
win say --profile "$(winpath "$desktop")" --dry-run "${sentences[@]}" > "$T/w-say.txt"
"$LIN" say --profile "$desktop" --dry-run "${sentences[@]}" > "$T/l-say.txt"
# The activation sound is named by the program's folder.
sed -i 's/^  sound ".*"$/  sound BEEP/' "$T/w-say.txt" "$T/l-say.txt"
cmp -s "$T/w-say.txt" "$T/l-say.txt" || fail "say differs: $(diff "$T/l-say.txt" "$T/w-say.txt")"

# The same recordings, heard by both: espeak-ng voices, with a faint noise floor.
speak() { espeak-ng -v "$1" -s "$2" --stdout "$3" | sox -q -t wav - -r 16000 -c 1 -b 16 "$4" pad 0.6 0.9; }
n=0
for voice in pt-br pt-br+m3 pt-br+f2; do
  for phrase in computador copiar "dois baixo" colar desfazer salvar "fechar" "três direita"; do
    n=$((n + 1))
    speak "$voice" 150 "$phrase" "$T/p$n.wav"
  done
done
sox "$T"/p*.wav "$T/clean.wav"
sox -m -v 1 "$T/clean.wav" -v 1 "|sox $T/clean.wav -p synth whitenoise vol 0.003" -b 16 "$T/spoken.wav"
win listen --profile "$(winpath "$desktop")" --audio "$(winpath "$T/spoken.wav")" --dry-run \
  --folder "$(winpath "$T/w-run")" > "$T/w-listen.txt" 2> "$T/w-listen.err" || fail "listen: $(cat "$T/w-listen.err")"
"$LIN" listen --profile "$desktop" --audio "$T/spoken.wav" --dry-run --folder "$T/l-run" > "$T/l-listen.txt" 2>/dev/null
sed -i 's/^  sound ".*"$/  sound BEEP/' "$T/w-listen.txt" "$T/l-listen.txt"
heard=$(grep -c '^sentence ' "$T/l-listen.txt" || true)
[ "$heard" -ge $((n / 2)) ] || fail "Linux heard only $heard of $n: $(cat "$T/l-listen.txt")"
cmp -s "$T/w-listen.txt" "$T/l-listen.txt" || fail "listen differs: $(diff "$T/l-listen.txt" "$T/w-listen.txt")"
cmp -s <(cut -f2- "$T/w-run/historico.log") <(cut -f2- "$T/l-run/historico.log") || fail "history differs"
echo "same on both editions: $n recordings, $heard sentences heard"
